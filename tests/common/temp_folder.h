#pragma once
// A fresh folder under the system's temporary folder, owned by one test. It is
// removed with everything below it when the test ends, also where the test
// took away the owner's write or read rights on the way.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace kiv::test {

struct TempFolder {
    std::filesystem::path path;

    // prefix names the folder ("kiv-archive-3fQx1a") so a left-over one shows whose it was.
    explicit TempFolder(const std::string& prefix = "kiv-test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~TempFolder() {
        if (path.empty()) return;
        namespace fs = std::filesystem;
        std::error_code ec, ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        // A folder is listed before its contents, so its rights come back before it is
        // entered; links are not followed, what they point at is not the test's.
        for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
            if (!it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing "/", as the program keeps data folders.
    std::string Folder() const { return path.string() + "/"; }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

} // namespace kiv::test
