// kiv-cli fcc DATAFOLDER ADDRESS: the current data file of a station: read-out
// time, profile name, identity texts and the packed value bytes in hex.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "datafiles/fcc.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

int RunFcc(const std::vector<std::string>& args) {
    int address = 0;
    const bool numeric = args.size() == 2 && std::from_chars(args[1].data(), args[1].data() + args[1].size(), address).ptr ==
                                                 args[1].data() + args[1].size();
    if (!numeric || address < 1 || address > 65535) {
        std::fprintf(stderr, "usage: kiv-cli fcc DATAFOLDER ADDRESS (address 1..65535)\n");
        return 64;
    }
    std::string folder = args[0];
    if (!folder.empty() && folder.back() != '/') folder += '/';
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profileName;
    if (fcc.ReadCurrentData(folder, address, count, values, time, profileName) != 0) {
        std::fprintf(stderr, "kiv-cli: no current data file %s\n", FccFileName(folder, address).c_str());
        return 1;
    }
    if (values == nullptr && fcc.identity.empty()) {
        std::fprintf(stderr, "kiv-cli: %s is not a valid current data file\n", FccFileName(folder, address).c_str());
        return 1;
    }
    std::printf("time\t%s\n", StampText(time).c_str());
    std::printf("profile\t%s\n", DecodeText(profileName).c_str());
    for (std::size_t i = 0; i < fcc.identity.size(); ++i)
        std::printf("text%zu\t%s\n", i + 1, DecodeText(fcc.identity[i]).c_str());
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", values[i]);
        hex += byte;
    }
    std::printf("values\t%zu\t%s\n", count, hex.c_str());
    return 0;
}

const CliRegistrar registrar({"fcc", "DATAFOLDER ADDRESS",
                              "prints the current data file of a station: read-out time, profile, identity, values",
                              RunFcc});

} // namespace
} // namespace kiv::cli
