// kiv-cli stations DATAFOLDER: the station list and the groups of a data folder.
#include "cli_command.h"

#include "config/station_db.h"

#include <cstdio>
#include <sys/stat.h>

namespace kiv::cli {
namespace {

int RunStations(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kiv-cli stations DATAFOLDER\n");
        return 64;
    }
    struct stat st {};
    if (::stat(args[0].c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "kiv-cli: \"%s\" is not a folder\n", args[0].c_str());
        return 1;
    }
    TStationDb db;
    db.Build(args[0]);
    for (const auto& s : db.Stations()) {
        std::printf("%s\t%s\t%s\t%d\t%d\t%d\n", FiveDigits(s.address).c_str(), s.label.c_str(), s.groupLabel.c_str(),
                    s.hasProfile ? 1 : 0, s.hasModemProfile ? 1 : 0, s.hasTelephone ? 1 : 0);
    }
    for (std::size_t k = 0; k < db.Groups().size(); ++k) {
        std::printf("group\t%s\t%d\n", db.Groups()[k].c_str(), db.GroupCounts()[k]);
    }
    return 0;
}

const CliRegistrar registrar({"stations", "DATAFOLDER",
                              "one line per station: address, label, group, has profile, has modem profile, "
                              "has telephone (tab separated, flags 0/1); then \"group\", label and count per group",
                              RunStations});

} // namespace
} // namespace kiv::cli
