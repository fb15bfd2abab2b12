#include "config/program_config.h"

namespace kiv {

TProgramConfig ReadProgramConfig(const std::string& kivIni) {
    const TProgramSettings settings(kivIni);
    TProgramConfig config;
    config.hourShift = settings.RepBaseHourShift();
    config.exchangePrefix = settings.ExchangePrefix();
    config.eventsMaxNumber = settings.EventsMaxNumber();
    config.modemConnMaxTime = settings.ModemConnMaxTimeForDialog();
    config.modems = settings.ModemProfiles();
    config.modems.emplace_back();
    return config;
}

} // namespace kiv
