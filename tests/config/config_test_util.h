#pragma once
#include "support/file_replace.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace kiv::test {

struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kiv-config-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(path, ec)) {
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(path, ec);
    }
    // The folder with a trailing "/", as the program keeps data folders.
    std::string Folder() const { return path.string() + "/"; }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

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
