#pragma once
// Every file the program replaces goes through ReplaceFile: the new content is
// written to a temporary file in the same folder, flushed to disk and renamed
// over the old file, so a crash or a full disk never leaves a half-written file.
#include <cstddef>
#include <string>
#include <string_view>

namespace kiv {

// File error codes of the program's message table (2 not found, 3 no path,
// 4 too many files, 5 access denied, 19 write protected, 39 disk full, ...).
// Unknown system errors become 1000 + errno, shown as a general I/O error.
[[nodiscard]] int FileErrorCode(int errnoValue);

// 0 on success, else a file error code; on failure the old file is untouched
// and no temporary file is left behind.
[[nodiscard]] int ReplaceFile(const std::string& path, const void* data, std::size_t size);
[[nodiscard]] int ReplaceFile(const std::string& path, std::string_view content);

// Writes all bytes to an open descriptor, going on after interrupted and
// partial writes; 0 or the errno of the failed write. written (when given)
// tells how many bytes went out.
[[nodiscard]] int WriteAll(int fd, const void* data, std::size_t size, std::size_t* written = nullptr);

// Reads a whole file; 0 or a file error code (content is then empty).
[[nodiscard]] int ReadWholeFile(const std::string& path, std::string& content);
// The same with the path taken relative to an open folder (or AT_FDCWD):
// scanning many files of one folder, this saves walking its path each time.
[[nodiscard]] int ReadWholeFileAt(int folderFd, const std::string& path, std::string& content);

} // namespace kiv
