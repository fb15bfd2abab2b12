#pragma once
// "Import konfiguracji": the old program's station folders KIV1 ... KIV700
// of a source folder become station folders FC_00001 ... of a destination
// folder. Each gets a station file with the keys of its old configuration
// file, and then the device profile its nameplate matches. A folder that
// cannot be imported is skipped and the others go on.
#include "shell/model/profile_match.h"

#include <functional>
#include <string>

namespace kiv {

// RadioGroup_Mode, "Kopiowanie".
enum class ImportMode : int {
    OnlyNew = 0,  // "Tylko nowe": a station folder already there is left alone
    Overwrite = 1 // "Nadpisuj istniejące": the copied keys replace the stored ones
};

// Old configuration files larger than this are no configuration and are skipped.
inline constexpr std::size_t kOldConfigMaxBytes = 1 << 20;

// Imports every old station folder of the source (both folders with their
// trailing "/"), in name order. progress(count) follows each imported
// folder. Returns the number of folders imported.
[[nodiscard]] int ImportOldConfiguration(const std::string& source, const std::string& destination, ImportMode mode,
                                         const TProfileLists& lists, const std::function<void(int)>& progress);

// The import window's status bar: "Liczba skopiowanych katalogów: 007".
[[nodiscard]] std::string ImportStatusText(int count);
// The Polish ending of "katalog" after a count: "" for 1, "i" for 2-4, 22-24,
// ..., "ów" for 0, 5-21, 25-31, ...
[[nodiscard]] std::string FolderCountEnding(int count);
// "Skopiowano " + count + " katalog" + ending.
[[nodiscard]] std::string ImportResultText(int count);

} // namespace kiv
