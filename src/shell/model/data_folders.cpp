#include "shell/model/data_folders.h"

#include "config/ini_file.h"

#include <algorithm>
#include <filesystem>

namespace kiv {

namespace {

constexpr const char* kCatalogues = "Catalogues";
constexpr const char* kDataPath = "DataPath";

// The folder at place `at` leaves the history (at == size: the oldest is
// dropped), the ones above it move down and `top` becomes the first.
void MoveDown(TFolderHistory& history, std::size_t at, const std::string& top) {
    if (at >= history.size()) at = history.size() - 1;
    for (std::size_t i = at; i > 0; --i) history[i] = history[i - 1];
    history[0] = top;
}

} // namespace

bool ChangeDataFolder(TDataFolders& folders, const std::string& folder, bool forced) {
    if (folder == folders.current) return forced;
    const auto found = std::find(folders.history.begin(), folders.history.end(), folder);
    MoveDown(folders.history, static_cast<std::size_t>(found - folders.history.begin()), folders.current);
    folders.current = folder;
    return true;
}

HistoryPick PickHistoryItem(TDataFolders& folders, int k) {
    if (k < 1 || k > kDataPathHistorySize) return HistoryPick::Missing;
    const std::string chosen = folders.history[static_cast<std::size_t>(k - 1)];
    std::error_code ec;
    if (chosen.empty() || !std::filesystem::is_directory(chosen, ec)) return HistoryPick::Missing;
    MoveDown(folders.history, static_cast<std::size_t>(k - 1), folders.current);
    if (chosen == folders.current) return HistoryPick::Same;
    folders.current = chosen;
    return HistoryPick::Switched;
}

bool SaveDataFolders(const std::string& kivIni, const TDataFolders& folders) {
    // One replacement: a failure leaves the data folder and its history as
    // they were, never the one written without the other.
    return EditIniFile(kivIni, false, [&](IniDocument& doc) {
        bool changed = doc.WriteString(kCatalogues, kDataPath, folders.current);
        for (std::size_t i = 0; i < folders.history.size(); ++i)
            if (!folders.history[i].empty())
                changed |= doc.WriteString(kCatalogues, kDataPath + std::to_string(i + 1), folders.history[i]);
        return changed;
    });
}

} // namespace kiv
