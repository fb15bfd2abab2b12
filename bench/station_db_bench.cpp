// Building the station list from a data folder of many stations, each with a
// station file of the size a configured station has.
#include "config/station_db.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string StationText(int address) {
    const std::string n = std::to_string(address);
    return "[Main]\r\nLabel=Stacja pomiarowa nr " + n + " Łódź\r\nGroupLabel=Sieć " + std::to_string(address % 37) +
           "\r\nTelephoneNumber=" + (address % 3 ? "0426" + n : "") +
           "\r\n\r\n[Hardware]\r\nDeviceProfile=MacMat II v2.10\r\nSerialNumber=" + n +
           "\r\nBrand=Plum\r\nType=MacMat II\r\n\r\n[Communication]\r\nModemProfile=Modem biurowy\r\nPrefix=NO\r\n"
           "ConnType=COM\r\nComNumber=COM1\r\nBaudRate=9600\r\nParity=None\r\nDtrSet=YES\r\nRtsSet=YES\r\n"
           "IPAddr=\r\nPortRemote=\r\nPortLocal=\r\nArcSamplesPerBlock=250\r\nRepeats=5\r\nSilenceTime=0\r\n"
           "StartTimeout=1000\r\nCharsTimeout=100\r\nAutoModemCheck=YES\r\n\r\n[Calculations]\r\nCalcVnMode=0\r\n"
           "CalcVn0Index=0\r\nCalcVn1Index=1\r\n\r\n[Reports]\r\nVIntegrityCrit=0\r\n\r\n[Measurements]\r\n"
           "PeakFlow=120\r\n\r\n[TxFilter]\r\nQ=YES\r\nP=YES\r\nT=YES\r\nVn=YES\r\nVm=NO\r\n";
}

// A data folder with the given number of stations, made once per size and
// removed at exit.
const std::string& DataFolder(int stations) {
    static std::map<int, std::string> made;
    static struct Cleanup {
        ~Cleanup() {
            for (const auto& [count, folder] : made) {
                std::error_code ec;
                fs::remove_all(folder, ec);
            }
        }
    } cleanup;
    auto it = made.find(stations);
    if (it != made.end()) return it->second;
    std::string pattern = (fs::temp_directory_path() / "kiv-stations-XXXXXX").string();
    const std::string folder = std::string(::mkdtemp(pattern.data())) + "/";
    for (int a = 1; a <= stations; ++a) {
        fs::create_directory(kiv::StationFolderPath(folder, a));
        std::ofstream(kiv::StationFilePath(folder, a), std::ios::binary) << StationText(a);
    }
    return made.emplace(stations, folder).first->second;
}

void BM_BuildStationDb(benchmark::State& state) {
    const int stations = static_cast<int>(state.range(0));
    const std::string& folder = DataFolder(stations);
    kiv::TStationDb db;
    db.Build(folder); // warms the file cache
    for (auto _ : state) {
        db.Build(folder);
        benchmark::DoNotOptimize(db.Count());
    }
    if (db.Count() != stations) state.SkipWithError("station count differs");
    state.SetItemsProcessed(state.iterations() * stations);
}
BENCHMARK(BM_BuildStationDb)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace
