#pragma once
// The station folders of the older, DOS-era program, as the import reads
// them: a folder "KIV" + n (n from 1 to 700) holding the configuration file
// code(n) + "_CFG.INI", an ini file whose keys this program's station file
// takes over one for one. The parser takes the file's bytes as they come
// from an old disk: any encoding, any line ends, damaged or foreign text.
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

inline constexpr int kOldStationMax = 700;

// "A_" for 1 ... "Z_" for 26, "AA" for 27, "BA" for 53 ... "ZX" for 700,
// "__" for any other number.
[[nodiscard]] std::string OldConfigCode(int n);
// code(n) + "_CFG.INI".
[[nodiscard]] std::string OldConfigFileName(int n);

// n of a folder name "KIV" + n (letter case of "KIV" not minded, leading
// zeros allowed); -1 when the rest is not a plain decimal number.
[[nodiscard]] int OldFolderNumber(std::string_view folderName);

// One key the new station file takes over, with its old value.
struct TOldConfigKey {
    const char* section;
    const char* key;
    std::string value; // UTF-8, one line without control characters
};

// The keys of the old configuration that have a value, in the order the
// station file gets them: Main Label, TelephoneNumber; Hardware Brand, Type,
// SerialNumber, Comment; Communication ComNumber ... ReadSingleVn. Text
// that does not parse as ini gives no keys.
[[nodiscard]] std::vector<TOldConfigKey> ParseOldConfig(std::string_view text);

} // namespace kiv
