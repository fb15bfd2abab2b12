#pragma once
// The ini access layer. Every setting of the program and of each station lives
// in a Windows-style ini file. Callers name the file by its full path on every
// call; the layer reads the file, answers from a small cache that is checked
// against the file's identity, size and modification time, and writes by
// editing the file's lines in memory and replacing the whole file through
// kiv::ReplaceFile. Lines the edit does not touch keep their exact text, the
// file keeps its encoding (UTF-8, or Windows-1250 from older installations)
// and its line endings. A file is UTF-8 when it has a byte order mark or when
// its bytes could not be Polish Windows-1250 text (LooksLikeUtf8); UTF-8 that
// the second test would miss is saved with a byte order mark. IniDocument is the same machinery for callers that
// read or change many keys of one file at once (the station database).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

constexpr std::size_t kIniValueMaxChars = 2048;

enum class IniEncoding { Utf8, Cp1250 };

class IniDocument {
public:
    // An empty document, written as UTF-8 with CR LF line ends when saved.
    IniDocument() = default;

    // 0 or a file error code; a missing file (2) leaves an empty document.
    [[nodiscard]] int Load(const std::string& path);
    void Parse(std::string_view bytes);
    // The file's bytes in its own encoding.
    [[nodiscard]] std::string Serialize() const;
    // 0 or a file error code; the old file stays untouched on failure.
    [[nodiscard]] int Save(const std::string& path) const;

    // Section and key names are compared without regard to case; the value is
    // trimmed and cut at kIniValueMaxChars characters.
    [[nodiscard]] bool Find(std::string_view section, std::string_view key, std::string& value) const;
    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    [[nodiscard]] int ReadInteger(std::string_view section, std::string_view key, int def) const;
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    [[nodiscard]] std::vector<std::string> ReadList(std::string_view section, std::string_view stem, int first) const;

    // Edits; each returns whether the text changed.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Section name compared exactly, case included; blank lines inside the section go too.
    bool ClearSection(std::string_view section, bool removeHeader);
    // Inside the section (header compared without regard to case) drops the
    // stem keys whose value begins with valueToDrop, optionally renumbers the
    // remaining stem keys from 1 in file order; drops every blank line.
    bool RenumberList(std::string_view section, std::string_view stem, std::string_view valueToDrop, bool renumber);

    [[nodiscard]] IniEncoding Encoding() const { return encoding_; }
    [[nodiscard]] bool UsesCrLf() const { return eol_ == "\r\n"; }
    [[nodiscard]] bool Empty() const { return lines_.empty(); }

private:
    enum class LineKind : unsigned char { Other, Header, Key };
    struct Line {
        std::string text; // UTF-8, without its line end
        LineKind kind = LineKind::Other;
        std::string_view Name() const;
        std::string_view RawValue() const;
    };
    static Line MakeLine(std::string text);
    // Index of the first header of that section, or npos.
    std::size_t FindSection(std::string_view section) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;
    std::size_t SectionEnd(std::size_t header) const;

    std::vector<Line> lines_;
    IniEncoding encoding_ = IniEncoding::Utf8;
    std::string eol_ = "\r\n";
    bool bom_ = false;
    bool finalEol_ = true;
};

// Loads the file (a missing one as empty unless mustExist), applies the edit
// and, when the edit reports a change, replaces the file once. Callers that
// change several keys use it so the file is rewritten once and completely or
// not at all.
[[nodiscard]] bool EditIniFile(const std::string& file, bool mustExist, const std::function<bool(IniDocument&)>& edit);

// The name of a section header line: from its "[" to its last "]", trimmed
// (to the line's end when no "]" follows); empty for any other line.
[[nodiscard]] std::string_view IniSectionName(std::string_view line);

// Decimal integer with optional sign and surrounding blanks; def otherwise.
[[nodiscard]] int ParseIniInteger(std::string_view text, int def);

// The values of stem+first, stem+first+1, ... up to the first empty or missing
// one; read(key) gives a key's value, "" where it has none.
[[nodiscard]] std::vector<std::string> ReadNumberedValues(std::string_view stem, int first,
                                                          const std::function<std::string(const std::string&)>& read);

[[nodiscard]] std::string ReadIniString(std::string_view section, std::string_view key, std::string_view def,
                                        const std::string& file);
[[nodiscard]] bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                                  const std::string& file);
[[nodiscard]] int ReadIniInteger(std::string_view section, std::string_view key, int def, const std::string& file);
// "YES" gives true and "NO" false, in any letter case; anything else the default.
[[nodiscard]] bool ReadIniBool(std::string_view section, std::string_view key, bool def, const std::string& file);
[[nodiscard]] const char* BoolToText(bool flag);
// Values of stem+first, stem+first+1, ... up to the first empty one.
[[nodiscard]] std::vector<std::string> ReadIniList(std::string_view section, std::string_view stem,
                                                   const std::string& file, int first = 1);
// Writes item k as stem+(first+k), all in one replacement of the file.
[[nodiscard]] bool WriteIniList(std::string_view section, std::string_view stem, const std::string& file,
                                const std::vector<std::string>& list, int first = 1);
[[nodiscard]] bool ClearIniSection(std::string_view section, bool removeHeader, const std::string& file);
// The list is renumbered only when both flags are set.
[[nodiscard]] bool RenumberIniList(std::string_view section, std::string_view stem, std::string_view valueToDrop,
                                   bool renumber, bool renumberToo, const std::string& file);
// value when low <= value <= high, else ifAbove or ifBelow.
[[nodiscard]] int Clamp(int value, int low, int high, int ifAbove, int ifBelow);

} // namespace kiv
