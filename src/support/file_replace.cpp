#include "file_replace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv {

int FileErrorCode(int e) {
    switch (e) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR: return 5;
    case EBADF: return 6;
    case EROFS: return 19;
    case EBUSY:
    case ETXTBSY: return 32;
    case EIO: return 34;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 39;
    default: return 1000 + e;
    }
}

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

int WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Keeps the old file's permission bits, so replacing never widens access.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
}

} // namespace

int ReplaceFile(const std::string& path, const void* data, std::size_t size) {
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return FileErrorCode(errno);
    int err = WriteAll(fd, static_cast<const char*>(data), size);
    if (err == 0 && ::fchmod(fd, ModeFor(path)) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return FileErrorCode(err);
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

int ReplaceFile(const std::string& path, std::string_view content) {
    return ReplaceFile(path, content.data(), content.size());
}

int ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return FileErrorCode(errno);
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    const int err = std::ferror(f) ? FileErrorCode(EIO) : 0;
    std::fclose(f);
    return err;
}

} // namespace kiv
