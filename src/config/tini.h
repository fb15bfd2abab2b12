#pragma once
// TIni: a read-only ini reader for files that one pass asks many times (the
// event definition files). The file is read once into a buffer; lookups scan
// that buffer, and the last section found and the last section missed are
// remembered, so asking again for either costs no scan.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class TIni {
public:
    static constexpr std::size_t kBufferSize = 100001;

    TIni() = default;
    // Reads at most kBufferSize bytes; a file that cannot be opened leaves the
    // reader empty, so every lookup yields its default.
    explicit TIni(const std::string& path);

    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key, std::string_view def);
    [[nodiscard]] int ReadInteger(std::string_view section, std::string_view key, int def);
    [[nodiscard]] std::vector<std::string> ReadList(std::string_view section, std::string_view stem, int first = 1);

    [[nodiscard]] bool Loaded() const { return loaded_; }
    // True when the file was longer than the buffer and its end was not read.
    [[nodiscard]] bool Truncated() const { return truncated_; }
    // How many times the buffer was scanned for a section header.
    [[nodiscard]] std::size_t SectionScans() const { return sectionScans_; }

private:
    bool FindSection(std::string_view section);
    bool FindKey(std::string_view key, std::string& value);
    // The next line from pos_ (line ends CR or LF, runs of them skipped).
    bool NextLine(std::string_view& line);

    std::string buffer_; // UTF-8 text of the file
    std::size_t pos_ = 0;
    std::size_t sectionStart_ = 0;
    std::string lastFound_;
    std::string lastMissing_;
    bool hasFound_ = false;
    bool hasMissing_ = false;
    bool loaded_ = false;
    bool truncated_ = false;
    std::size_t sectionScans_ = 0;
};

} // namespace kiv
