#pragma once
#include "common/temp_folder.h"
#include "support/file_replace.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kiv::test {

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_EQ(ReplaceFile(path, bytes), 0);
}

inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), 0);
    return bytes;
}

} // namespace kiv::test
