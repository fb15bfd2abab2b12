#include "shell/model/old_config.h"

#include "config/ini_file.h"
#include "config/text_case.h"
#include "support/helpers.h"

#include <iterator>

namespace kiv {

namespace {

struct TCopiedKey {
    const char* section;
    const char* key;
};

constexpr TCopiedKey kCopiedKeys[] = {
    {"Main", "Label"},
    {"Main", "TelephoneNumber"},
    {"Hardware", "Brand"},
    {"Hardware", "Type"},
    {"Hardware", "SerialNumber"},
    {"Hardware", "Comment"},
    {"Communication", "ComNumber"},
    {"Communication", "BaudRate"},
    {"Communication", "Parity"},
    {"Communication", "DtrSet"},
    {"Communication", "RtsSet"},
    {"Communication", "ArcSamplesPerBlock"},
    {"Communication", "Repeats"},
    {"Communication", "SilenceTime"},
    {"Communication", "StartTimeout"},
    {"Communication", "CharsTimeout"},
    {"Communication", "ModemProfile"},
    {"Communication", "ReadSingleVn"},
};

// Folder numbers longer than this are no station of the old program, and
// would not fit an int.
constexpr std::size_t kMaxNumberDigits = 6;

// Control characters of a damaged file (NUL, escape codes) would end up in
// the station file and in every window that shows the value.
std::string Printable(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    return std::string(TrimView(out));
}

} // namespace

std::string OldConfigCode(int n) {
    std::string code = ColumnLetters(n);
    if (code.size() == 1) code += '_';
    return code;
}

std::string OldConfigFileName(int n) { return OldConfigCode(n) + "_CFG.INI"; }

int OldFolderNumber(std::string_view folderName) {
    if (!StartsWithNoCase(folderName, "KIV")) return -1;
    std::string_view digits = folderName.substr(3);
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    if (digits.empty() || digits.size() > kMaxNumberDigits) return -1;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::vector<TOldConfigKey> ParseOldConfig(std::string_view text) {
    IniDocument doc;
    doc.Parse(text);
    std::vector<TOldConfigKey> keys;
    keys.reserve(std::size(kCopiedKeys));
    for (const TCopiedKey& copied : kCopiedKeys) {
        std::string value;
        if (!doc.Find(copied.section, copied.key, value)) continue;
        value = Printable(value);
        if (!value.empty()) keys.push_back({copied.section, copied.key, std::move(value)});
    }
    return keys;
}

} // namespace kiv
