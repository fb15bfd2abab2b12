// kiv-cli fcc FOLDER ADRES: the current data file of a station: read-out
// time, profile name, identity texts and the packed value bytes in hex.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_args.h"
#include "cli_command.h"
#include "datafiles/fcc.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "fcc";

int RunFcc(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    int address = 0;
    std::string folder, error;
    if (!ParseAddress(in.values[1], address, error)) return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk) return Fail(kName, rc, error);
    if (const int rc = FindStation(folder, address, error); rc != kExitOk) return Fail(kName, rc, error);
    const std::string file = FccFileName(folder, address);
    if (const int rc = FindFileOfKind(file, "ZQFCC", "plikiem danych bieżących (.FCC)", error); rc != kExitOk)
        return Fail(kName, rc, error);
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profileName;
    if (fcc.ReadCurrentData(folder, address, count, values, time, profileName) != 0 ||
        (values == nullptr && fcc.identity.empty()))
        return Fail(kName, kExitData, "Brak poprawnego zbioru danych bieżących: " + file);
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

const CliRegistrar registrar({kName, "FOLDER ADRES",
                              "Plik danych bieżących stacji: czas odczytu, profil, identyfikacja i wartości (hex)",
                              RunFcc,
                              {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
                               {"ADRES", "adres stacji, 1..65535"}},
                              {},
                              {"kiv-cli fcc demo 1"}});

} // namespace
} // namespace kiv::cli
