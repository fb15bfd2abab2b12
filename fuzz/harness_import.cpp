// Fuzz body of the old configuration import: the configuration file of one
// old station folder, parsed alone and imported into a data folder twice
// (only new, then overwriting), the station file it made read back.
#include "harness.h"

#include <filesystem>

#include "config/station_db.h"
#include "shell/model/config_import.h"
#include "shell/model/old_config.h"

namespace kiv::fuzz {

int FuzzImport(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseOldConfig(text);
    const std::string source = Scratch() + "old/", destination = Scratch() + "new/";
    std::error_code ec;
    std::filesystem::remove_all(source, ec);
    std::filesystem::remove_all(destination, ec);
    std::filesystem::create_directories(source + "KIV7", ec);
    std::filesystem::create_directories(destination, ec);
    WriteFile(source + "KIV7/" + OldConfigFileName(7), text);
    const TProfileLists lists{{"Kivmet KM-100"}, {"Kivmet"}, {"KM-100"}, {""}};
    for (ImportMode mode : {ImportMode::OnlyNew, ImportMode::Overwrite})
        (void)ImportOldConfiguration(source, destination, mode, lists, [](int) {});
    TRekStacjiFull record;
    ReadFullStationRecord(StationFilePath(destination, 7), 7, record);
    return 0;
}

} // namespace kiv::fuzz
