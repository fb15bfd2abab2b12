#pragma once
// The command line of kiv-devsim.
#include <cstdint>
#include <string>
#include <vector>

#include "fault_injection.h"

namespace kiv::devsim {

// One more device behind the modem: its address and its own profile
// (empty: the --profile).
struct ExtraDevice {
    uint16_t address = 0;
    std::string profile;
    bool operator==(const ExtraDevice&) const = default;
};

// A held device's name in a transporter's directory, from "ADDRESS=NAME".
struct DeviceName {
    uint16_t address = 0;
    std::string name;
    bool operator==(const DeviceName&) const = default;
};

struct Options {
    std::string profile;
    int address = 0;
    std::string dataFolder; // empty: generate from the seed
    uint32_t seed = 1;
    std::string device;     // empty: open a pseudo-terminal
    int tcpPort = -1;       // listen on 127.0.0.1:tcpPort instead (0: a free port); -1: no
    int baud = 0;           // 0: not given
    int protocol = 0;       // 0: the profile's
    std::string clock;      // device clock at start, "YYYY-MM-DD hh:mm:ss"; empty: the computer's
    std::string make, type, serial, last; // nameplate overrides
    int hourlyDays = 160;
    int dailyDays = 400;
    int events = 30;
    int gasDayHour = 6;
    int maxValues = 0;
    bool wrongSerial = false;
    bool badClock = false;
    bool ackPositioning = false;
    bool badPointerEcho = false;
    bool earlyDayPosition = false;
    int32_t pointerBase = 100000;
    bool verbose = false;
    FaultSettings faults;
    // A Hayes modem in front of the device (and of the extra devices).
    bool modem = false;
    int connectSpeed = 0;                  // 0: --baud, else 9600
    std::vector<std::string> numbers;      // "NUMBER=ADDRESS" or "NUMBER=WORD"
    std::vector<ExtraDevice> extraDevices; // from "ADDRESS" or "ADDRESS:PROFILE"
    int dialTimeMs = 200;
    int guardTimeMs = 1000;
    int modemErrors = 0;
    bool ignoreDtr = false;
    // A KivGAZ transporter on this address holding the device and the extra
    // devices; 0: none.
    int transporter = 0;
    int slots = 0; // directory slots; 0: one per held device
    std::vector<int> silentEntries;
    std::vector<DeviceName> deviceNames;
};

enum class ParseResult { kRun, kHelp, kError };

[[nodiscard]] ParseResult ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);
[[nodiscard]] std::string HelpText();

} // namespace kiv::devsim
