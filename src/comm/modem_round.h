#pragma once
// The automatic modem round: many stations read through the modem one after
// another without the user, at a set time of day. The automatic modem window
// (TFTxModemA) and `kiv-cli round` share it whole and only gather its inputs
// and show its outcome.
//
// Before the round: the settings of [Modem-auto] in Kiv.ini, clamped as the
// program always has (ReadRoundSettings); the start, today at the time of day
// or tomorrow when that time is past (NextStart); and the search, which lists
// every station with a telephone number, a device profile and a modem profile
// whose newest stored sample (of the profile's column-1 parameter) is at
// least the minimum age old at the start, ticked as its station file's
// AutoModemCheck says. A station reached through a serial-device server
// (ConnType "TCP") needs no telephone number nor modem profile.
//
// The round (RunModemRound) logs to "Modem.log", always: its start, one line
// per station that cannot be dialled or whose dial failed ("Dla stacji
// "Label" numer zajęty", ...), the line faults that end it, and its end. Each
// ticked station gets the round's number of dial attempts; a busy or silent
// number is dialled again at once (after the 2 s pause that precedes every
// dial) until they run out. A connected station is read once through the
// modem road (modem_readout.h), whatever the result. A "TCP" station is not
// dialled but read over a connection to its server (direct_readout.h); a
// connection that is not made is logged ("Dla stacji "Label" błąd
// połączenia ...") and tried again as a busy number is. A port that will
// not open, a missing dial tone and a cancel end the whole round; "Anuluj"
// in the progress window counts whenever it is pressed, between two stations
// and in the pause before a dial too.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/modem_control.h"
#include "comm/tx_result.h"
#include "config/station_db.h"
#include "datafiles/timestamp.h"

namespace kiv {

class TFCommModule;
class ITxProgress;

inline constexpr const char* kRoundTitle = "Modem - auto";
inline constexpr const char* kRoundNothingText = "Brak urządzeń do odczytu";

// [Modem-auto] of Kiv.ini and the round's connection limit, read once.
struct TRoundSettings {
    int startSecond = 0;     // time of day of the start, seconds after midnight
    int minimumAge = 10;     // days, 0..30
    int repeats = 3;         // dial attempts per station, 0..9
    int connMaxMinutes = 10; // [CommSettings] ModemConnMaxTime
};

[[nodiscard]] TRoundSettings ReadRoundSettings(const std::string& kivIni);
// StartTime as "hh:mm:ss", MinimumAge and Repeats; false when Kiv.ini could not be written.
[[nodiscard]] bool WriteRoundSettings(const std::string& kivIni, const TRoundSettings& settings);

// "hh:mm:ss" as seconds after midnight; a part out of range or not a number counts as 0.
[[nodiscard]] int ParseStartTime(const std::string& text);
[[nodiscard]] std::string StartTimeText(int startSecond);
// Today at the time of day, or tomorrow when that is earlier than now.
[[nodiscard]] TimeStamp NextStart(TimeStamp now, int startSecond);
// Whole days from the newest sample to the start; a station without samples
// (newest -1) is older than any minimum age.
[[nodiscard]] int64_t StationAge(TimeStamp start, int64_t newest);

// The stations, the profiles and the files a round works with.
struct TRoundFolder {
    std::string kivIni;
    std::string dataFolder; // with its trailing "/"
    std::vector<std::string> profileNames; // the catalogue's profile names ...
    std::vector<std::string> profileFiles; // ... and their files
    std::string profileFolder;             // where those files are; empty: the program folder
};

// A station of the round's list.
struct TRoundStation {
    uint16_t address = 0;
    std::string label;
    bool ticked = true;
    int attemptsLeft = -1; // dial attempts still to go; -1 before the round
};

// "00012 Label", during the round followed by " [n]".
[[nodiscard]] std::string RoundItemText(const TRoundStation& station);

// "Wyszukaj": the stations of the list worth reading at `start`, in the list's order.
[[nodiscard]] std::vector<TRoundStation> SearchRoundStations(const TRoundFolder& folder,
                                                             const std::vector<TRekStacji>& stations, TimeStamp start,
                                                             int minimumAge);
// Stores each station's tick as AutoModemCheck; false when a station file could not be written.
[[nodiscard]] bool StoreRoundTicks(const std::string& dataFolder, const std::vector<TRoundStation>& stations);

struct TRoundJob {
    TRoundFolder folder;
    std::vector<TRoundStation> stations; // unticked ones are dropped
    int repeats = 3;
    int connMaxMinutes = 10;
    std::string runLog;   // the round's own lines, always
    std::string modemLog; // the AT dialogue; empty: none
    std::string txLog;    // the frames of the read-outs; empty: none
    int pauseMs = 2000;   // before every dial; only tests shorten it
    std::function<void(const std::string&)> onLine; // also told each line of the round's log, when set
};

enum class TRoundEnd : uint8_t {
    Completed,
    PortNotClosed, // a port was open already
    PortFailed,    // the port did not open
    NoDialTone,
    Cancelled,     // by the user, or the program was asked to stop
};

// How one ticked station fared.
struct TRoundStationResult {
    uint16_t address = 0;
    std::string label;
    int dials = 0;
    TxResult readOut = TxResult::NoReply;
    bool read = false;    // connected and read out, whatever the result
    std::string failure;  // why it was not read completely, as a short text; empty when it was
};

struct TRoundOutcome {
    TRoundEnd end = TRoundEnd::Completed;
    std::string portError; // what was tried and why, when the port did not open
    std::vector<TRoundStationResult> stations;
    // Every ticked station read completely.
    [[nodiscard]] bool AllRead() const;
};

// Told of every change of the round's list (items and their attempts left).
using TRoundListener = std::function<void(const std::vector<TRoundStation>&)>;

[[nodiscard]] TRoundOutcome RunModemRound(TFCommModule& module, ITxProgress& progress, const TRoundJob& job,
                                          const TRoundListener& onList = {});

// The line of the round's log: "Dla stacji "Label" " + text.
[[nodiscard]] std::string StationLogText(const std::string& label, const std::string& text);

} // namespace kiv
