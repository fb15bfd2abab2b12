#include "file_replace.h"

#include <cerrno>
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

// Keeps the old file's permission bits, so replacing never widens access.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
}

} // namespace

int WriteAll(int fd, const void* data, std::size_t size, std::size_t* written) {
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    int err = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (written) *written = done;
    return err;
}

int ReplaceFile(const std::string& path, const void* data, std::size_t size) {
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return FileErrorCode(errno);
    int err = WriteAll(fd, data, size);
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
    return ReadWholeFileAt(AT_FDCWD, path, content);
}

int ReadWholeFileAt(int folderFd, const std::string& path, std::string& content) {
    content.clear();
    const int fd = ::openat(folderFd, path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileErrorCode(errno);
    // A short read of a regular file is its end, so a small file costs one read.
    constexpr std::size_t kChunk = 16384;
    int err = 0;
    for (;;) {
        const std::size_t old = content.size();
        content.resize(old + kChunk);
        const ssize_t n = ::read(fd, content.data() + old, kChunk);
        if (n < 0 && errno == EINTR) {
            content.resize(old);
            continue;
        }
        if (n < 0) err = FileErrorCode(errno);
        content.resize(old + static_cast<std::size_t>(n < 0 ? 0 : n));
        if (n < static_cast<ssize_t>(kChunk)) break;
    }
    ::close(fd);
    if (err != 0) content.clear();
    return err;
}

} // namespace kiv
