#include "support/file_replace.h"

#include "common/file_size_limit.h"
#include "common/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kiv;
using kiv::test::TempFolder;
namespace fs = std::filesystem;

TEST(ReplaceFile, WritesAndReplacesWithoutLeavingTemporaries) {
    TempFolder dir;
    const std::string file = (dir.path / "a.bin").string();
    ASSERT_EQ(ReplaceFile(file, "first"), 0);
    ASSERT_EQ(ReplaceFile(file, "second"), 0);
    std::string content;
    ASSERT_EQ(ReadWholeFile(file, content), 0);
    EXPECT_EQ(content, "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(ReplaceFile, WriteFailingMidwayLeavesOldFileIntact) {
    TempFolder dir;
    const std::string file = (dir.path / "a.bin").string();
    ASSERT_EQ(ReplaceFile(file, "old content"), 0);
    int code = 0;
    {
        const test::FileSizeLimit limit(16);
        code = ReplaceFile(file, std::string(4096, 'x'));
    }
    EXPECT_EQ(code, 39);
    std::string content;
    ASSERT_EQ(ReadWholeFile(file, content), 0);
    EXPECT_EQ(content, "old content");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(ReplaceFile, MissingFolderIsCodeTwo) {
    TempFolder dir;
    EXPECT_EQ(ReplaceFile((dir.path / "no" / "a.bin").string(), "x"), 2);
}

TEST(ReadWholeFile, MissingFileIsCodeTwo) {
    std::string content;
    EXPECT_EQ(ReadWholeFile("/nonexistent/kiv/file", content), 2);
}
