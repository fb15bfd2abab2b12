#pragma once
// The one road of a direct read-out, from the settings a front-end gathered
// to the message it shows: open the port with the link settings (or connect
// to the serial-device server of a "TCP" station), start the
// transmission log, read the device (device_readout.h), close the port and
// turn the result into its message. The direct transmission window and
// `kiv-cli read` call RunDirectReadOut and only gather its inputs and show its
// outcome; the port is closed on every path out, also when the read-out was
// cancelled or the program was asked to stop (RequestStop). The modem road
// (modem_readout.h) shares the second half, from the open link on.
#include <chrono>
#include <string>

#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "config/station_db.h"

namespace kiv {

class ITxProgress;

struct TDirectReadOut {
    TLinkSettings link;
    TReadOutInput input;
    std::string logFile; // the transmission log; empty: none
};

// The link fields of a station file; the port text maps to a device through
// the [Ports] section of Kiv.ini. ConnType "TCP" connects to IPAddr:PortRemote.
[[nodiscard]] TLinkSettings LinkSettingsOf(const TRekStacjiFull& station, const std::string& kivIni);
// Whether the station is reached through a serial-device server (ConnType "TCP", in any case).
[[nodiscard]] bool IsTcpStation(const TRekStacjiFull& station);

// Everything a station's read-out needs from the files, read once: the link
// and the settings of its station file and of Kiv.ini. The profile comes
// from the caller, who has looked it up.
[[nodiscard]] TDirectReadOut DirectReadOutOf(const TRekStacjiFull& station, const std::string& kivIni,
                                             const std::string& dataFolder, const TRecProfParams& profile,
                                             const std::vector<TParamItem>& items);

struct TReadOutOutcome {
    TxResult result = TxResult::NoReply;
    bool portOpened = false;
    std::string portError; // what was tried and why, when the port did not open
    TReadOutReport report;
    TReadOutMessage message;
    TLinkStats stats;
    double seconds = 0; // from opening the port to closing it
};

[[nodiscard]] TReadOutOutcome RunDirectReadOut(TFCommModule& module, ITxProgress& progress, const TDirectReadOut& job);

// What becomes of the link once a device is read: closed (a modem hung up),
// or left open for the next device on the same line (the transporter).
enum class TLinkAfterRead { Close, KeepOpen };

// The part of every road once the link is open: the exit button enabled
// while the device is read with `readLog` as the log, the port closed (a
// modem hung up) with `closeLog` unless kept open, the result's message.
// `started` is when the road began, for the outcome's seconds.
void ReadOverOpenLink(TFCommModule& module, ITxProgress& progress, const TReadOutInput& input,
                      const std::string& readLog, const std::string& closeLog,
                      std::chrono::steady_clock::time_point started, TReadOutOutcome& outcome,
                      TLinkAfterRead after = TLinkAfterRead::Close);

// Marks a read-out as running for as long as it lives.
class TReadOutRunning {
public:
    TReadOutRunning();
    ~TReadOutRunning();
    TReadOutRunning(const TReadOutRunning&) = delete;
    TReadOutRunning& operator=(const TReadOutRunning&) = delete;
};

// Whether a read-out holds the line now; the program waits for it to end
// before it quits (RequestStop makes that quick).
[[nodiscard]] bool ReadOutRunning();

} // namespace kiv
