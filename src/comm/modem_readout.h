#pragma once
// The one road of a manual modem read-out, from what the modem window
// gathered to what it shows: the AT dialogue logged to its own log
// ("Modem.log"), OpenModem, and once connected the second half of the direct
// road (ReadOverOpenLink): the read-out logged to the transmission log
// ("Tx.log") and the hang-up back in the modem's log. Also here: a modem
// profile of Kiv.ini as a dial needs it, the number dialled for a station and
// the messages of the dial results.
#include <string>
#include <vector>

#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "comm/direct_readout.h"
#include "config/station_db.h"

namespace kiv {

class ITxProgress;

// One modem profile of Kiv.ini's [Modems], read for dialling.
struct TModemProfileLine {
    std::string port = "COM1";
    int32_t speed = 9600;
    std::string init; // as ModemInitCommand gives it
};

// The profile with that name; false when no profile has it.
[[nodiscard]] bool ModemProfileOf(const std::string& kivIni, const std::string& name, TModemProfileLine& line);
// The station's telephone number, behind the exchange prefix when the
// station uses it; empty when the station has no number.
[[nodiscard]] std::string DialNumberOf(const TRekStacjiFull& station, const std::string& kivIni);

struct TModemReadOut {
    TModemDial dial;
    TReadOutInput input;
    std::string modemLog; // the AT dialogue; empty: none
    std::string txLog;    // the frames of the read-out; empty: none
};

// The read-out of a station through a modem profile: the station's parity,
// times and read-out settings, the profile's port and speed.
[[nodiscard]] TModemReadOut ModemReadOutOf(const TRekStacjiFull& station, const std::string& kivIni,
                                           const std::string& dataFolder, const TRecProfParams& profile,
                                           const std::vector<TParamItem>& items, const TModemProfileLine& modem,
                                           const std::string& number);

struct TModemOutcome {
    TModemResult dial = TModemResult::PortBusy;
    std::string portError; // what was tried and why, when the port did not open
    TReadOutOutcome readOut; // the read-out, when the modem connected
};

// Every try lands in the station's statistics: a connected one through the
// read-out, a dial the station's end failed (init, busy, no answer, unknown
// reply) as a try that did not reach the device.
[[nodiscard]] TModemOutcome RunModemReadOut(TFCommModule& module, ITxProgress& progress, const TModemReadOut& job);

// The message for a dial that did not connect (title kModemTitle); empty text: none.
[[nodiscard]] TReadOutMessage ModemResultMessage(TModemResult result);

} // namespace kiv
