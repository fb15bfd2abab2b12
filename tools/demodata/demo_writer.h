#pragma once
// Writes a demo data folder through the program's own writers: the station
// files (config), the month archive files (TArchive::StoreSamples, one batch
// per channel), the events files (StoreEvents), the current data files
// (TFileFCC) and Kiv.ini with the virtual stations, tariff sets and modem
// profile (TProgramSettings). The archive channels are the archived items of
// each station's device profile, read from the compiled .FCP files, so their
// names and descriptors are exactly those a read-out would store. A small
// manifest next to the station folders tells tests and scripts where the
// faults were planted and which station the simulator plays on COM1.
#include <cstdint>
#include <string>

#include "datafiles/timestamp.h"

namespace kiv::demo {

constexpr char kManifestName[] = "demo-manifest.txt";
constexpr char kLastNameplateText[] = "FW 3.04";

struct DemoOptions {
    std::string outFolder;
    std::string profileFolder; // holds KM100.FCP, KM200.FCP and their .EVT files
    uint64_t seed = 1;
    TimeStamp from = 0;  // first day, 00:00:00
    TimeStamp until = 0; // end of the archives: a midnight or a whole hour
    // Non-zero: only this station's file and archives (a simulated device's
    // contents); no Kiv.ini, events, current data or manifest.
    int onlyAddress = 0;
};

// 0, or non-zero with the reason in `error`.
[[nodiscard]] int WriteDemo(const DemoOptions &options, std::string &error);

// Sets [Ports] PORT=DEVICE in the Kiv.ini of a folder; false when it cannot be written.
[[nodiscard]] bool SetPortMapping(const std::string &folder, const std::string &port,
                                  const std::string &device);

} // namespace kiv::demo
