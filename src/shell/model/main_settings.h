#pragma once
// What the main window keeps of Kiv.ini, typed. The start values are read
// once, at the first show. The rest is read again each time the station tree
// is rebuilt: every command that changes one of these values (station or
// virtual station configuration, transporter, import) is followed by a
// rebuild, and the program settings dialog by a fresh read of the hour
// shift, so clicks, keyboard moves and commands answer from the record and
// never open the file.
#include "config/program_settings.h"

#include <string>
#include <vector>

namespace kiv {

struct TStartSettings {
    std::string dataPath;             // Catalogues/DataPath as written
    std::vector<std::string> history; // DataPath1.. up to the first empty one
    std::string cursorPosition;       // Main/CursorPosition
};

[[nodiscard]] TStartSettings ReadStartSettings(const std::string& kivIni);

// The configured folder when it names an existing folder, else the working
// folder; with a trailing "/".
[[nodiscard]] std::string SettleDataFolder(const std::string& configured, const std::string& workingFolder);

struct TMainSettings {
    int hourShift = kDefaultHourShift;         // Report/RepBaseHourShift
    std::vector<std::string> virtualRaw;       // the data folder's virtual entries as written
    std::vector<TVirtualEntry> virtualEntries; // the non-empty ones, parsed

    // The first entry with exactly this label; null when none.
    [[nodiscard]] const TVirtualEntry* Virtual(const std::string& label) const;
};

[[nodiscard]] TMainSettings ReadMainSettings(const std::string& kivIni, const std::string& dataFolder);

} // namespace kiv
