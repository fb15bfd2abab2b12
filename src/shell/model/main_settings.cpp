#include "shell/model/main_settings.h"

#include "shell/model/station_tree.h"
#include "support/helpers.h"

#include <filesystem>

namespace kiv {

TStartSettings ReadStartSettings(const std::string& kivIni) {
    const TProgramSettings settings(kivIni);
    return {settings.DataPath(0), settings.DataPathHistory(), settings.CursorPosition()};
}

std::string SettleDataFolder(const std::string& configured, const std::string& workingFolder) {
    std::error_code ec;
    const bool usable = !configured.empty() && std::filesystem::is_directory(configured, ec);
    return PathWithSeparator(usable ? configured : workingFolder);
}

const TVirtualEntry* TMainSettings::Virtual(const std::string& label) const {
    return VirtualEntryOf(virtualEntries, label);
}

TMainSettings ReadMainSettings(const std::string& kivIni, const std::string& dataFolder) {
    const TProgramSettings settings(kivIni);
    TMainSettings main;
    main.hourShift = settings.RepBaseHourShift();
    main.virtualRaw = settings.VirtualEntries(dataFolder);
    for (const auto& raw : main.virtualRaw)
        if (!raw.empty()) main.virtualEntries.push_back(ParseVirtualEntry(raw));
    return main;
}

} // namespace kiv
