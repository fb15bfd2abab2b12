// kiv-cli stations FOLDER: the station list and the groups of a data folder.
#include "cli_args.h"
#include "cli_command.h"

#include "config/station_db.h"

#include <cstdio>

namespace kiv::cli {
namespace {

constexpr const char* kName = "stations";

int RunStations(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    std::string folder, error;
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk) return Fail(kName, rc, error);
    TStationDb db;
    db.Build(folder);
    if (db.Stations().empty())
        return Fail(kName, kExitNoInput, "w folderze danych " + folder + " nie ma żadnej stacji (folderu FC_nnnnn)");
    for (const auto& s : db.Stations()) {
        std::printf("%s\t%s\t%s\t%d\t%d\t%d\n", FiveDigits(s.address).c_str(), s.label.c_str(), s.groupLabel.c_str(),
                    s.hasProfile ? 1 : 0, s.hasModemProfile ? 1 : 0, s.hasTelephone ? 1 : 0);
    }
    for (std::size_t k = 0; k < db.Groups().size(); ++k) {
        std::printf("group\t%s\t%d\n", db.Groups()[k].c_str(), db.GroupCounts()[k]);
    }
    return kExitOk;
}

const CliRegistrar registrar({kName, "FOLDER",
                              "Stacje folderu danych, wiersz na stację: adres, nazwa, grupa, czy ma profil "
                              "urządzenia, profil modemu, telefon (tabulatory, 0/1); potem \"group\", nazwa i "
                              "liczba stacji każdej grupy",
                              RunStations,
                              {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"}},
                              {},
                              {"kiv-cli stations demo"}});

} // namespace
} // namespace kiv::cli
