#pragma once
// The data folder and its history, the five folders used before it (most
// recent first), as Kiv.ini keeps them in Catalogues DataPath and
// DataPath1 ... DataPath5 and the main window shows them as the items of
// "Historia". Folders are kept with a trailing "/" and compared exactly.
#include "config/program_settings.h"

#include <array>
#include <string>

namespace kiv {

using TFolderHistory = std::array<std::string, kDataPathHistorySize>;

struct TDataFolders {
    std::string current;
    TFolderHistory history; // empty texts: no item
};

// "Zmiana folderu danych" (not forced) and the switch after an import
// (forced). The folder left goes to the top of the history; a folder taken
// from the history leaves its place there, any other pushes the oldest one
// out. A forced change to the current folder leaves the history as it is.
// False when nothing changes: the same folder, not forced.
[[nodiscard]] bool ChangeDataFolder(TDataFolders& folders, const std::string& folder, bool forced);

enum class HistoryPick : int {
    Missing, // the item's folder does not exist: nothing changed
    Same,    // the history moved, the data folder is the one chosen already
    Switched // the item's folder is the data folder now
};

// History item k (1 to 5): the folder leaves the history, the items above it
// move down one place and the current folder becomes item 1.
[[nodiscard]] HistoryPick PickHistoryItem(TDataFolders& folders, int k);

// Writes DataPath and each non-empty DataPath1 ... DataPath5 in one
// replacement of Kiv.ini; false when it could not be replaced.
[[nodiscard]] bool SaveDataFolders(const std::string& kivIni, const TDataFolders& folders);

} // namespace kiv
