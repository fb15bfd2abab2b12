#include "profile_source.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>

#include "support/text_encoding.h"

namespace kiv {

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

template <typename T>
bool ParseNumber(const std::string& s, T& value) {
    const char* end = s.data() + s.size();
    const auto result = std::from_chars(s.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

enum class Section { None, Profile, Groups, Item };

// Keeps the state of one compile; every setter returns an error text or "".
class Compiler {
public:
    explicit Compiler(TProfileSource& out) : out_(out) {}

    std::string Line(const std::string& line);
    std::string Finish();

private:
    std::string ProfileKey(const std::string& key, const std::string& value);
    std::string GroupEntry(const std::string& name, const std::string& caption);
    std::string ItemKey(const std::string& key, const std::string& value);
    std::string CheckItem();

    TProfileSource& out_;
    Section section_ = Section::None;
    bool haveName_ = false;
    bool haveProtocol_ = false;
    bool inItem_ = false;
    std::set<std::string> itemKeys_;
    std::set<std::string> groupNames_;
    std::set<int32_t> paramNumbers_;
    std::set<std::string> archivedNames_;
};

// Windows-1250 bytes of `value` when they fit in `room`.
std::string Stored(const std::string& value, std::size_t room, std::string& error) {
    std::string bytes = Utf8ToCp1250(value);
    if (bytes.size() > room)
        error = "\"" + value + "\" is longer than " + std::to_string(room) + " characters";
    return bytes;
}

std::string Compiler::Line(const std::string& raw) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') return {};
    if (line.front() == '[') {
        if (line.back() != ']') return "section header without closing ]";
        const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
        if (inItem_) {
            if (std::string e = CheckItem(); !e.empty()) return e;
            inItem_ = false;
        }
        if (name == "profile") section_ = Section::Profile;
        else if (name == "groups") section_ = Section::Groups;
        else if (name == "item") {
            section_ = Section::Item;
            inItem_ = true;
            itemKeys_.clear();
            if (out_.items.size() >= static_cast<std::size_t>(kMaxProfileItems))
                return "more than " + std::to_string(kMaxProfileItems) + " items";
            TParamItem item;
            item.SetColumnIndex(-1);
            item.SetParamNumber(-1);
            item.SetHourIndex(-1);
            item.SetDayIndex(-1);
            item.SetCondFirst(-1);
            item.SetCondSecond(-1);
            item.SetFactorBelow(1.0f);
            item.SetFactorAbove(1.0f);
            out_.items.push_back(item);
        } else
            return "unknown section [" + name + "]";
        return {};
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) return "expected key = value";
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    switch (section_) {
    case Section::Profile: return ProfileKey(Lower(key), value);
    case Section::Groups: return GroupEntry(key, value);
    case Section::Item: return ItemKey(Lower(key), value);
    case Section::None: break;
    }
    return "key outside a section";
}

std::string Compiler::ProfileKey(const std::string& key, const std::string& value) {
    static const std::map<std::string, std::size_t> texts = {
        {"name", 0}, {"make", 1}, {"type", 2}, {"serial", 3}, {"text5", 4}};
    if (const auto it = texts.find(key); it != texts.end()) {
        std::string error;
        out_.params.texts[it->second] = Stored(value, 0xFF00, error);
        if (it->second == 0) haveName_ = !value.empty();
        return error;
    }
    if (key == "protocol") {
        int version = 0;
        if (!ParseNumber(value, version) || (version != 1 && version != 2)) return "protocol must be 1 or 2";
        out_.params.profileByte = static_cast<uint8_t>(version);
        haveProtocol_ = true;
        return {};
    }
    if (key == "number") {
        if (!ParseNumber(value, out_.params.profileNumber)) return "number must be a whole number";
        return {};
    }
    return "unknown profile key " + key;
}

std::string Compiler::GroupEntry(const std::string& name, const std::string& caption) {
    std::string error;
    const std::string stored = Stored(name, TParamItem::kGroupName.room, error);
    if (!error.empty()) return "group name " + error;
    if (stored.empty()) return "empty group name";
    if (!groupNames_.insert(stored).second) return "group " + name + " declared twice";
    out_.groups.push_back(stored + "=" + Utf8ToCp1250(caption));
    return {};
}

// "INDEX TYPE" of an archive, or "none".
std::string ArchiveKey(const std::string& value, int32_t& index, uint8_t& type) {
    const auto words = Words(value);
    if (words.size() == 1 && Lower(words[0]) == "none") {
        index = -1;
        type = 0;
        return {};
    }
    int code = 0;
    if (words.size() != 2 || !ParseNumber(words[0], index) || !ParseNumber(words[1], code))
        return "archive must be \"INDEX TYPE\" or \"none\"";
    if (index < 0) return "archive index must be 0 or more (use \"none\")";
    if (code < 1 || code > 10) return "archive sample type must be 1..10";
    type = static_cast<uint8_t>(code);
    return {};
}

std::string Compiler::ItemKey(const std::string& key, const std::string& value) {
    if (!itemKeys_.insert(key).second) return "key " + key + " given twice in one item";
    TParamItem& item = out_.items.back();
    using Setter = void (TParamItem::*)(std::string_view);
    static const std::map<std::string, std::pair<Setter, TParamItem::Field>> texts = {
        {"short", {&TParamItem::SetShortName, TParamItem::kShortName}},
        {"full", {&TParamItem::SetFullName, TParamItem::kFullName}},
        {"unit", {&TParamItem::SetUnit, TParamItem::kUnit}},
        {"group", {&TParamItem::SetGroupName, TParamItem::kGroupName}},
        {"kind", {&TParamItem::SetKind, TParamItem::kKind}},
        {"paired", {&TParamItem::SetPairedName, TParamItem::kPairedName}},
        {"graph", {&TParamItem::SetGraphTitle, TParamItem::kGraphTitle}},
        {"flow", {&TParamItem::SetFlowName, TParamItem::kFlowName}},
        {"flowunit", {&TParamItem::SetFlowUnit, TParamItem::kFlowUnit}},
    };
    if (const auto it = texts.find(key); it != texts.end()) {
        std::string error;
        const std::string stored = Stored(value, it->second.second.room, error);
        if (!error.empty()) return key + " " + error;
        (item.*(it->second.first))(stored);
        return {};
    }
    int32_t number = 0;
    if (key == "column" || key == "param") {
        if (!ParseNumber(value, number)) return key + " must be a whole number";
        key == "column" ? item.SetColumnIndex(number) : item.SetParamNumber(number);
        return {};
    }
    if (key == "type") {
        int code = 0;
        if (!ParseNumber(value, code) || code < 1 || code > 12) return "type must be 1..12";
        item.SetTypeCode(static_cast<uint8_t>(code));
        return {};
    }
    if (key == "hourly" || key == "daily") {
        int32_t index = -1;
        uint8_t type = 0;
        if (std::string e = ArchiveKey(value, index, type); !e.empty()) return e;
        if (key == "hourly") {
            item.SetHourIndex(index);
            item.SetHourTypeCode(type);
        } else {
            item.SetDayIndex(index);
            item.SetDayTypeCode(type);
        }
        return {};
    }
    if (key == "condition") {
        const auto words = Words(value);
        int32_t first = -1, second = -1;
        if (words.size() != 2 || !ParseNumber(words[0], first) || !ParseNumber(words[1], second))
            return "condition must be two parameter numbers";
        item.SetCondFirst(first);
        item.SetCondSecond(second);
        return {};
    }
    if (key == "scale") {
        const auto words = Words(value);
        float threshold = 0, below = 0, above = 0;
        if (words.size() != 3 || !ParseNumber(words[0], threshold) || !ParseNumber(words[1], below) ||
            !ParseNumber(words[2], above))
            return "scale must be \"THRESHOLD BELOW ABOVE\"";
        item.SetThreshold(threshold);
        item.SetFactorBelow(below);
        item.SetFactorAbove(above);
        return {};
    }
    return "unknown item key " + key;
}

std::string Compiler::CheckItem() {
    const TParamItem& item = out_.items.back();
    if (item.ShortName().empty()) return "item without short name";
    if (!item.GroupName().empty() && groupNames_.count(item.GroupName()) == 0)
        return "item " + item.ShortName() + ": group " + item.GroupName() + " is not in [groups]";
    if (item.ParamNumber() >= 0) {
        if (item.TypeCode() == 0) return "item " + item.ShortName() + ": a current value needs a type";
        if (!paramNumbers_.insert(item.ParamNumber()).second)
            return "item " + item.ShortName() + ": parameter number " + std::to_string(item.ParamNumber()) +
                   " used twice";
    }
    if (item.HasArchive() && !archivedNames_.insert(item.ShortName()).second)
        return "archived short name " + item.ShortName() + " used twice";
    return {};
}

std::string Compiler::Finish() {
    if (inItem_) {
        if (std::string e = CheckItem(); !e.empty()) return e;
    }
    if (!haveName_) return "[profile] needs a name";
    if (!haveProtocol_) return "[profile] needs protocol = 1 or 2";
    if (out_.items.empty()) return "no [item]";
    return {};
}

} // namespace

bool CompileProfileSource(const std::string& text, TProfileSource& out, std::string& error) {
    out = TProfileSource();
    error.clear();
    Compiler compiler(out);
    std::istringstream in(DecodeText(text));
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (std::string e = compiler.Line(line); !e.empty()) {
            error = "line " + std::to_string(number) + ": " + e;
            return false;
        }
    }
    if (std::string e = compiler.Finish(); !e.empty()) {
        error = "at end: " + e;
        return false;
    }
    TFCProfileRdWr writer;
    if (writer.BuildProfile(out.params, out.items.data(), static_cast<int>(out.items.size()), out.groups).empty()) {
        error = "at end: texts and groups too long for the profile header";
        return false;
    }
    return true;
}

} // namespace kiv
