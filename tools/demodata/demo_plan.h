#pragma once
// What the demo data folder holds: the fixed list of stations (labels,
// groups, device profiles, ports, telephones), the virtual stations, the
// tariff sets and the modem profile, and where the planted faults (gaps,
// invalid samples, a counter jump) fall inside the generated span. Everything
// here is plain data; demo_series turns a station into samples and
// demo_writer stores them through the program's own writers.
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/timestamp.h"

namespace kiv::demo {

// How a station's gas is used, which shapes its day and its year.
enum class Usage { Households, Heating, Industry, Bakery };

struct StationPlan {
    int address = 0;
    std::string label;
    std::string group;       // empty: no group
    std::string profileFile; // "KM100.FCP"; empty: no device profile
    std::string serial;
    std::string telephone;    // empty: direct line only
    std::string modemProfile; // empty: none
    std::string comNumber;    // port of the direct line
    std::string tariffSet;    // chosen tariff set; empty: none
    int intervalMinutes = 60; // hourly archive interval
    double baseFlow = 0.0;    // mean flow in m3/h over a year
    double pressure = 0.0;    // nominal absolute pressure in bar
    bool hasDpSensor = false;
    Usage usage = Usage::Households;
};

// A stretch of samples left out of every archive of the station.
struct PlantedGap {
    int address = 0;
    TimeStamp first = 0; // first and last sample time left out
    TimeStamp last = 0;
};
// Samples stored with the validity flag cleared (measured values also unreadable).
struct PlantedInvalid {
    int address = 0;
    TimeStamp first = 0;
    TimeStamp last = 0;
};
// The counter reads `amount` more from the sample at `time` on.
struct PlantedJump {
    int address = 0;
    std::string channel;
    TimeStamp time = 0;
    double amount = 0.0;
};

struct DemoPlan {
    std::vector<StationPlan> stations;
    std::vector<PlantedGap> gaps;
    std::vector<PlantedInvalid> invalids;
    std::vector<PlantedJump> jumps;
};

// The fixed stations, with the faults placed inside from..until (midnights:
// the first day's start and the day after the last day).
[[nodiscard]] DemoPlan MakePlan(TimeStamp from, TimeStamp until);

// The station whose direct line is COM1 (the one the simulator plays).
[[nodiscard]] const StationPlan *Com1Station(const DemoPlan &plan);

// Virtual station entries (label, formula, capacity, tariff set) and tariff sets.
struct VirtualPlan {
    std::string label;
    std::string formula;
    std::string capacity;
    std::string tariffSet;
};
[[nodiscard]] std::vector<VirtualPlan> VirtualStations();
[[nodiscard]] std::vector<std::string> TariffSetEntries();

// The single modem profile of the demo.
struct ModemPlan {
    std::string name;
    std::string port;
    int speed = 9600;
    std::string initString;
};
[[nodiscard]] ModemPlan DemoModem();

} // namespace kiv::demo
