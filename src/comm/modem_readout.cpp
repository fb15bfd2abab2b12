#include "comm/modem_readout.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "comm/progress.h"
#include "config/program_settings.h"
#include "config/station_stats.h"
#include "support/messages.h"

namespace kiv {
namespace {

// The dials that failed because of the station's end of the line (its
// number, its modem); a port, a dial tone or a cancel is no fault of the station.
bool StationsFault(TModemResult dial) {
    return dial == TModemResult::InitFailed || dial == TModemResult::Busy || dial == TModemResult::NoAnswer ||
           dial == TModemResult::UnknownReply;
}

} // namespace

bool ModemProfileOf(const std::string& kivIni, const std::string& name, TModemProfileLine& line) {
    const TProgramSettings settings(kivIni);
    const std::vector<std::string> names = settings.ModemNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (name.empty() || found == names.end()) return false;
    const int n = static_cast<int>(found - names.begin()) + 1;
    line.port = settings.ModemPort(n);
    line.speed = settings.ModemSpeed(n);
    line.init = ModemInitCommand(settings.ModemInitString(n));
    return true;
}

std::string DialNumberOf(const TRekStacjiFull& station, const std::string& kivIni) {
    // The prefix alone is nothing to dial.
    if (station.TelephoneNumber.empty()) return {};
    const std::string prefix = station.Prefix ? TProgramSettings(kivIni).ExchangePrefix() : std::string();
    return prefix + station.TelephoneNumber;
}

TModemReadOut ModemReadOutOf(const TRekStacjiFull& station, const std::string& kivIni, const std::string& dataFolder,
                             const TRecProfParams& profile, const std::vector<TParamItem>& items,
                             const TModemProfileLine& modem, const std::string& number) {
    TDirectReadOut direct = DirectReadOutOf(station, kivIni, dataFolder, profile, items);
    TModemReadOut job;
    job.dial.link = direct.link;
    job.dial.link.port = modem.port;
    job.dial.link.device = PortDeviceName(kivIni, modem.port);
    job.dial.link.baud = modem.speed;
    job.dial.link.dtr = true;
    job.dial.link.rts = true;
    job.dial.number = number;
    job.dial.profileInit = modem.init;
    job.input = std::move(direct.input);
    return job;
}

TModemOutcome RunModemReadOut(TFCommModule& module, ITxProgress& progress, const TModemReadOut& job) {
    TModemOutcome outcome;
    const TReadOutRunning running;
    module.SetProgress(&progress);
    module.SetLogFile(job.modemLog);
    const auto started = std::chrono::steady_clock::now();
    outcome.dial = module.OpenModem(job.dial);
    if (outcome.dial == TModemResult::PortFailed) outcome.portError = module.OpenError();
    if (outcome.dial != TModemResult::Connected) {
        module.SetLogFile("");
        if (StationsFault(outcome.dial))
            (void)RecordStationAttempt(StationFilePath(job.input.dataFolder, job.input.address),
                                       {0, false, ResultCode(outcome.dial), std::time(nullptr)});
        return outcome;
    }
    outcome.readOut.portOpened = true;
    ReadOverOpenLink(module, progress, job.input, job.txLog, job.modemLog, started, outcome.readOut);
    return outcome;
}

TReadOutMessage ModemResultMessage(TModemResult result) {
    switch (result) {
    case TModemResult::PortBusy: return {"Poprzednie połączenie nie zostało zamknięte", MsgWarning};
    case TModemResult::PortFailed: return {"Błąd inicjacji portu szeregowego", MsgError};
    case TModemResult::InitFailed: return {"Błąd inicjacji modemu", MsgError};
    case TModemResult::NoDialTone: return {"Brak sygnału centrali", MsgInformation};
    case TModemResult::Busy: return {"Numer zajęty", MsgInformation};
    case TModemResult::NoAnswer: return {"Numer nie odpowiada", MsgInformation};
    case TModemResult::UnknownReply: return {"Modem zwrócił nieznaną odpowiedź", MsgWarning};
    case TModemResult::Cancelled:
    case TModemResult::Connected: break;
    }
    return {};
}

} // namespace kiv
