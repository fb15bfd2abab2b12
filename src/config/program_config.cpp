#include "config/program_config.h"

#include "config/ini_file.h"

#include <array>

namespace kiv {
namespace {

constexpr const char* kModems = "Modems";
constexpr const char* kCommSettings = "CommSettings";
constexpr const char* kReport = "Report";
constexpr const char* kDefaultPort = "COM1";
constexpr const char* kDefaultSpeed = "9600";

// The four key stems of a profile, in the order of the TModemProfile fields.
constexpr std::array<const char*, 4> kStems{"ModemName", "ModemInitString", "ModemPort", "ModemSpeed"};

std::array<const std::string*, 4> Fields(const TModemProfile& p) {
    return {&p.name, &p.initString, &p.port, &p.speed};
}

// One row per name of the profile list; the other values of a row are read
// for its own number, so an empty init string of one profile does not hide
// those of the next. An absent port or speed shows what the modem windows
// use for it.
std::vector<TModemProfile> ReadModemRows(const IniDocument& doc) {
    std::vector<TModemProfile> rows;
    const std::vector<std::string> names = doc.ReadList(kModems, kStems[0], 1);
    for (std::size_t r = 0; r < names.size(); ++r) {
        const std::string n = std::to_string(r + 1);
        rows.push_back({names[r], doc.ReadString(kModems, kStems[1] + n, ""),
                        doc.ReadString(kModems, kStems[2] + n, kDefaultPort),
                        doc.ReadString(kModems, kStems[3] + n, kDefaultSpeed)});
    }
    rows.emplace_back();
    return rows;
}

bool WriteModemRows(IniDocument& doc, const std::vector<TModemProfile>& rows) {
    bool changed = doc.ClearSection(kModems, false);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto values = Fields(rows[r]);
        for (std::size_t f = 0; f < kStems.size(); ++f)
            changed |= doc.WriteString(kModems, kStems[f] + std::to_string(r + 1), *values[f]);
    }
    return changed;
}

} // namespace

TProgramConfig ReadProgramConfig(const std::string& kivIni) {
    IniDocument doc;
    (void)doc.Load(kivIni);
    TProgramConfig config;
    const int shift = doc.ReadInteger(kReport, "RepBaseHourShift", config.hourShift);
    config.hourShift = Clamp(shift, -kHourShiftLimit, kHourShiftLimit, config.hourShift, config.hourShift);
    config.exchangePrefix = doc.ReadString(kCommSettings, "ExchangePrefix", "");
    config.eventsMaxNumber = doc.ReadInteger(kCommSettings, "EventsMaxNumber", config.eventsMaxNumber);
    config.modemConnMaxTime = doc.ReadInteger(kCommSettings, "ModemConnMaxTime", config.modemConnMaxTime);
    config.modems = ReadModemRows(doc);
    return config;
}

bool SaveProgramConfig(const std::string& kivIni, const TProgramConfig& config) {
    return EditIniFile(kivIni, false, [&](IniDocument& doc) {
        bool changed = WriteModemRows(doc, config.modems);
        changed |= doc.WriteString(kCommSettings, "ExchangePrefix", config.exchangePrefix);
        changed |= doc.WriteString(kCommSettings, "EventsMaxNumber", std::to_string(config.eventsMaxNumber));
        changed |= doc.WriteString(kCommSettings, "ModemConnMaxTime", std::to_string(config.modemConnMaxTime));
        changed |= doc.WriteString(kReport, "RepBaseHourShift", std::to_string(config.hourShift));
        return changed;
    });
}

} // namespace kiv
