#include "ini_file.h"

#include "config/text_case.h"
#include "support/file_replace.h"
#include "support/text_encoding.h"

#include <charconv>
#include <ctime>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace kiv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Cuts a UTF-8 text after max code points.
std::string_view CutChars(std::string_view text, std::size_t max) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == max) return text.substr(0, i);
    }
    return text;
}

// A value must stay on its line.
std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

// Text handed in by the program is UTF-8; bytes that are not (a string taken
// straight from a binary file) are Windows-1250. Kept out of the document
// as they are, they would make the whole file read as Windows-1250 next time.
std::string AsText(std::string_view text) { return IsValidUtf8(text) ? std::string(text) : Cp1250ToUtf8(text); }

// The cache of parsed files. A file is trusted from the cache only while its
// inode, size and modification time are those seen when it was parsed; files
// modified in the last two seconds are never cached, because a quick second
// write of the same size could share the coarse time stamp and a reused inode.
class DocumentCache {
public:
    std::shared_ptr<const IniDocument> Get(const std::string& path) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return Empty();
        {
            std::lock_guard lock(mutex_);
            for (auto& e : entries_) {
                if (e.path == path && Same(e.st, st)) {
                    e.lastUse = ++clock_;
                    return e.doc;
                }
            }
        }
        auto doc = std::make_shared<IniDocument>();
        if (doc->Load(path) != 0) return Empty();
        if (st.st_mtime < std::time(nullptr) - 2) Store(path, st, doc);
        return doc;
    }

    void Forget(const std::string& path) {
        std::lock_guard lock(mutex_);
        for (auto& e : entries_) {
            if (e.path == path) e = Entry{};
        }
    }

private:
    struct Entry {
        std::string path;
        struct stat st {};
        std::shared_ptr<const IniDocument> doc;
        unsigned long lastUse = 0;
    };
    static constexpr std::size_t kSlots = 16;

    static bool Same(const struct stat& a, const struct stat& b) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    }
    static std::shared_ptr<const IniDocument> Empty() {
        static const auto empty = std::make_shared<const IniDocument>();
        return empty;
    }
    void Store(const std::string& path, const struct stat& st, std::shared_ptr<const IniDocument> doc) {
        std::lock_guard lock(mutex_);
        if (entries_.size() < kSlots) entries_.resize(kSlots);
        Entry* slot = &entries_[0];
        for (auto& e : entries_) {
            if (e.path == path) { slot = &e; break; }
            if (e.lastUse < slot->lastUse) slot = &e;
        }
        *slot = Entry{path, st, std::move(doc), ++clock_};
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
    unsigned long clock_ = 0;
};

DocumentCache& Cache() {
    static DocumentCache cache;
    return cache;
}

} // namespace

bool EditIniFile(const std::string& path, bool mustExist, const std::function<bool(IniDocument&)>& edit) {
    IniDocument doc;
    const int rc = doc.Load(path);
    if (rc != 0 && (rc != 2 || mustExist)) return false;
    if (!edit(doc)) return true;
    Cache().Forget(path);
    return doc.Save(path) == 0;
}

std::string_view IniSectionName(std::string_view line) {
    line = TrimView(line);
    if (line.empty() || line.front() != '[') return {};
    line.remove_prefix(1);
    // A data folder in a section name may hold "]" itself: the name runs to the last one.
    const std::size_t close = line.rfind(']');
    return TrimView(close == std::string_view::npos ? line : line.substr(0, close));
}

std::string_view IniDocument::Line::Name() const {
    const std::string_view t = text;
    if (kind == LineKind::Header) return IniSectionName(t);
    if (kind == LineKind::Key) return TrimView(t.substr(0, t.find('=')));
    return {};
}

std::string_view IniDocument::Line::RawValue() const {
    const std::string_view t = text;
    return kind == LineKind::Key ? t.substr(t.find('=') + 1) : std::string_view{};
}

IniDocument::Line IniDocument::MakeLine(std::string text) {
    Line line{std::move(text), LineKind::Other};
    const std::string_view trimmed = TrimView(line.text);
    if (!trimmed.empty() && trimmed.front() == '[') line.kind = LineKind::Header;
    else if (line.text.find('=') != std::string::npos) line.kind = LineKind::Key;
    return line;
}

int IniDocument::Load(const std::string& path) {
    std::string bytes;
    const int rc = ReadWholeFile(path, bytes);
    Parse(rc == 0 ? bytes : std::string_view{});
    return rc;
}

void IniDocument::Parse(std::string_view bytes) {
    *this = IniDocument();
    if (bytes.substr(0, kBom.size()) == kBom) {
        bom_ = true;
        bytes.remove_prefix(kBom.size());
    }
    // A byte order mark settles it; without one, text is UTF-8 only when no
    // Windows-1250 Polish text could have given the same bytes.
    std::string converted;
    if (bom_ ? !IsValidUtf8(bytes) : !LooksLikeUtf8(bytes)) {
        encoding_ = IniEncoding::Cp1250;
        converted = Cp1250ToUtf8(bytes);
        bytes = converted;
    }
    const std::size_t firstLf = bytes.find('\n');
    if (firstLf != std::string_view::npos) eol_ = (firstLf > 0 && bytes[firstLf - 1] == '\r') ? "\r\n" : "\n";
    finalEol_ = bytes.empty() || bytes.back() == '\n';
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        lines_.push_back(MakeLine(std::string(text)));
        start = end + 1;
    }
}

std::string IniDocument::Serialize() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].text;
        if (i + 1 < lines_.size() || finalEol_) text += eol_;
    }
    if (encoding_ == IniEncoding::Cp1250) text = Utf8ToCp1250(text);
    // UTF-8 that would not read back as UTF-8 on its own (a label in Cyrillic,
    // say) gets the byte order mark that keeps it so.
    const bool mark = bom_ || (encoding_ == IniEncoding::Utf8 && !LooksLikeUtf8(text));
    return mark ? std::string(kBom) + text : text;
}

int IniDocument::Save(const std::string& path) const { return ReplaceFile(path, Serialize()); }

std::size_t IniDocument::FindSection(std::string_view name) const {
    const std::string text = AsText(name);
    const std::string_view section = TrimView(text);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Header && EqualsNoCase(lines_[i].Name(), section)) return i;
    }
    return std::string::npos;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Header) ++i;
    return i;
}

std::size_t IniDocument::FindKey(std::size_t header, std::string_view name) const {
    const std::string text = AsText(name);
    const std::string_view key = TrimView(text);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Key && EqualsNoCase(lines_[i].Name(), key)) return i;
    }
    return std::string::npos;
}

bool IniDocument::Find(std::string_view section, std::string_view key, std::string& value) const {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return false;
    const std::size_t line = FindKey(header, key);
    if (line == std::string::npos) return false;
    value = CutChars(TrimView(lines_[line].RawValue()), kIniValueMaxChars);
    return true;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    std::string value;
    return Find(section, key, value) ? value : std::string(def);
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key, int def) const {
    std::string value;
    return Find(section, key, value) ? ParseIniInteger(value, def) : def;
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
    std::string value;
    if (!Find(section, key, value)) return def;
    if (EqualsNoCase(value, "YES")) return true;
    if (EqualsNoCase(value, "NO")) return false;
    return def;
}

std::vector<std::string> IniDocument::ReadList(std::string_view section, std::string_view stem, int first) const {
    return ReadNumberedValues(stem, first, [&](const std::string& key) { return ReadString(section, key, ""); });
}

bool IniDocument::WriteString(std::string_view sectionName, std::string_view keyName, std::string_view value) {
    const std::string sectionText = AsText(sectionName);
    const std::string keyText = AsText(keyName);
    const std::string_view section = TrimView(sectionText);
    const std::string_view key = TrimView(keyText);
    const std::string text = OneLine(AsText(value));
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        lines_.push_back(MakeLine("[" + std::string(section) + "]"));
        lines_.push_back(MakeLine(std::string(key) + "=" + text));
        finalEol_ = true;
        return true;
    }
    const std::size_t line = FindKey(header, key);
    if (line != std::string::npos) {
        if (TrimView(lines_[line].RawValue()) == text) return false;
        lines_[line] = MakeLine(std::string(lines_[line].Name()) + "=" + text);
        return true;
    }
    // A new key goes after the section's last non-blank line, so the blank
    // lines that separate it from the next section stay where they were.
    std::size_t at = SectionEnd(header);
    while (at > header + 1 && TrimView(lines_[at - 1].text).empty()) --at;
    if (at == lines_.size()) finalEol_ = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), MakeLine(std::string(key) + "=" + text));
    return true;
}

bool IniDocument::ClearSection(std::string_view section, bool removeHeader) {
    const std::string target = AsText(section);
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    bool inside = false;
    for (auto& line : lines_) {
        if (line.kind == LineKind::Header) {
            inside = line.Name() == target;
            if (inside && removeHeader) continue;
            kept.push_back(std::move(line));
        } else if (!inside) {
            kept.push_back(std::move(line));
        }
    }
    const bool changed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    return changed;
}

bool IniDocument::RenumberList(std::string_view section, std::string_view stem, std::string_view valueToDrop,
                               bool renumber) {
    const std::string target = AsText(section);
    stem = TrimView(stem);
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    bool inside = false;
    bool changed = false;
    int number = 0;
    for (auto& line : lines_) {
        if (TrimView(line.text).empty()) { changed = true; continue; }
        if (line.kind == LineKind::Header) inside = EqualsNoCase(line.Name(), TrimView(target));
        if (inside && line.kind == LineKind::Key && StartsWithNoCase(line.Name(), stem)) {
            // An empty value to drop would match every entry: it drops none.
            const std::string_view value = TrimView(line.RawValue());
            if (!valueToDrop.empty() && value.substr(0, valueToDrop.size()) == valueToDrop) {
                changed = true;
                continue;
            }
            if (renumber) {
                std::string text = std::string(stem) + std::to_string(++number) + "=" + std::string(line.RawValue());
                if (text != line.text) { line = MakeLine(std::move(text)); changed = true; }
            }
        }
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    return changed;
}

int ParseIniInteger(std::string_view text, int def) {
    text = TrimView(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return def;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (ec == std::errc() && end == text.data() + text.size()) ? value : def;
}

std::vector<std::string> ReadNumberedValues(std::string_view stem, int first,
                                            const std::function<std::string(const std::string&)>& read) {
    std::vector<std::string> values;
    for (int i = first;; ++i) {
        std::string value = read(std::string(stem) + std::to_string(i));
        if (value.empty()) break;
        values.push_back(std::move(value));
    }
    return values;
}

std::string ReadIniString(std::string_view section, std::string_view key, std::string_view def,
                          const std::string& file) {
    return Cache().Get(file)->ReadString(section, key, def);
}

bool WriteIniString(std::string_view section, std::string_view key, std::string_view value, const std::string& file) {
    return EditIniFile(file, false, [&](IniDocument& doc) { return doc.WriteString(section, key, value); });
}

int ReadIniInteger(std::string_view section, std::string_view key, int def, const std::string& file) {
    return Cache().Get(file)->ReadInteger(section, key, def);
}

bool ReadIniBool(std::string_view section, std::string_view key, bool def, const std::string& file) {
    return Cache().Get(file)->ReadBool(section, key, def);
}

const char* BoolToText(bool flag) { return flag ? "YES" : "NO"; }

std::vector<std::string> ReadIniList(std::string_view section, std::string_view stem, const std::string& file,
                                     int first) {
    return Cache().Get(file)->ReadList(section, stem, first);
}

bool WriteIniList(std::string_view section, std::string_view stem, const std::string& file,
                  const std::vector<std::string>& list, int first) {
    return EditIniFile(file, false, [&](IniDocument& doc) {
        bool changed = false;
        for (std::size_t k = 0; k < list.size(); ++k) {
            changed |= doc.WriteString(section, std::string(stem) + std::to_string(first + static_cast<int>(k)), list[k]);
        }
        return changed;
    });
}

bool ClearIniSection(std::string_view section, bool removeHeader, const std::string& file) {
    return EditIniFile(file, true, [&](IniDocument& doc) { return doc.ClearSection(section, removeHeader); });
}

bool RenumberIniList(std::string_view section, std::string_view stem, std::string_view valueToDrop, bool renumber,
                     bool renumberToo, const std::string& file) {
    return EditIniFile(file, true, [&](IniDocument& doc) {
        return doc.RenumberList(section, stem, valueToDrop, renumber && renumberToo);
    });
}

int Clamp(int value, int low, int high, int ifAbove, int ifBelow) {
    if (value > high) return ifAbove;
    if (value < low) return ifBelow;
    return value;
}

} // namespace kiv
