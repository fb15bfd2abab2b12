#pragma once
// The KivGAZ transporter without windows: the line to it, the directory of
// the devices it holds, the stations added for the unknown ones, and the
// read-out of each listed device. The transporter answers on one line for
// every device it has copied, as if it were that device, so each device is
// read by the ordinary read-out road (ReadOverOpenLink) with its own station
// file and profile. The transporter window (transmission/tx_kivgaz.h) and
// `kiv-cli transporter` run these steps and only show their outcome.
//
// Directory entry, the reply 0xFB to request kind 23 (count 1, entry
// number): byte 13 non-zero and byte 14 equal to 1 mark a used entry, bytes
// 11..12 hold the device address, the device's name runs from byte 18 up to
// a 0 byte or the CRC.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "comm/direct_readout.h"
#include "comm/link_settings.h"
#include "comm/tx_result.h"

namespace kiv {

class ITxProgress;

inline constexpr const char* kKivGazLogName = "KivGAZ.log";
inline constexpr int32_t kKivGazBaud = 115200;
inline constexpr uint8_t kKivGazSamplesPerBlock = 250;
inline constexpr int32_t kKivGazAttempts = 5;
// Past this entry number the next entry ends the directory.
inline constexpr uint16_t kDirectoryLastEntry = 500;

inline constexpr const char* kAddUnknownQuestion =
    "Przenośnik zawiera dane z urządzeń nie istniejących w bazie danych. Czy dodać te urządzenia?";
inline constexpr const char* kConfigureReminder = "Nowe urządzenia wymagają skonfigurowania";
inline constexpr const char* kSerialOpenError = "Błąd otwarcia portu szeregowego";

// Everything the transporter's steps need, gathered by the front-end.
struct TKivGazJob {
    std::string kivIni;
    std::string dataFolder;                // with its trailing "/"
    std::vector<std::string> profileNames; // the catalogue's profile names ...
    std::vector<std::string> profileFiles; // ... and their files
    std::string programFolder;             // where the profile files are, with its "/"
    uint16_t transporterAddress = 65534;
    std::string port = "COM1";
    std::string kivGazLog; // "KivGAZ.log" in the current folder: the per-device lines, always
    std::string frameLog;  // the directory's frames ("KivGAZ.log") when "Log" is ticked, else empty
    std::string txLog;     // the read-outs' frames ("Tx.log") when "Log" is ticked, else empty
};

// The fixed line: 115200 Bd, no parity, DTR and RTS on, silence 50 ms,
// answer 1000 ms, character 100 ms; the port text mapped through Kiv.ini.
[[nodiscard]] TLinkSettings KivGazLink(const std::string& kivIni, const std::string& port);

// One device of the directory.
struct TKivGazItem {
    uint16_t address = 0;
    std::string name;  // UTF-8
    bool known = true; // the data folder has its station
    bool ticked = true;
};

// "00012 Kotłownia", or "00012+Kotłownia" for a device without a station.
[[nodiscard]] std::string KivGazItemText(const TKivGazItem& item);

// A used entry's device (true), or an unused or malformed one (false). An
// entry naming address 0 is not used: no station can have it. The name is
// decoded from UTF-8 or Windows-1250, control characters become blanks.
[[nodiscard]] bool ParseDirectoryEntry(const std::vector<uint8_t>& reply, TKivGazItem& item);

// How the directory read ended.
struct TDirectory {
    std::vector<TKivGazItem> items;
    TxResult lastResult = TxResult::Good; // of the request that ended it
    uint32_t entries = 0;                 // entry requests answered
};

// The request for entry `entry`; the reply frame on TxResult::Good.
using TEntryRequest = std::function<TxResult(uint16_t entry, std::vector<uint8_t>& reply)>;

// Entries 0, 1, 2 ... 65535 until a request fails, a reply is empty or
// carries another code (0x7F ends a directory). Unused entries are skipped,
// an address listed already is skipped too. Past entry 500 the first entry
// added ends the read, so a transporter that keeps listing devices cannot
// hold the line for ever; unused entries past 500 do not end it.
[[nodiscard]] TDirectory ReadDirectoryWith(const TEntryRequest& request);
[[nodiscard]] TDirectory ReadDirectory(TReadLink& link, uint16_t transporterAddress);

// Marks the items whose station folder the data folder lacks; true when any.
bool MarkUnknown(std::vector<TKivGazItem>& items, const std::string& dataFolder);
void DropUnknown(std::vector<TKivGazItem>& items);

// Make, type and serial number of a held device, read through the transporter.
[[nodiscard]] TxResult ReadHeldNameplate(TReadLink& link, uint16_t address, std::vector<std::string>& nameplate);

// The outcome of "Wyszukaj".
struct TKivGazSearch {
    bool portOpened = false;
    std::string portError;
    TDirectory directory;           // as read, each item marked known or not
    std::vector<TKivGazItem> items; // the list after the question
    int added = 0;                  // stations created
};

// "Wyszukaj": opens the line, reads the directory, asks `addUnknown` with
// the marked directory when some device has no station (true: "Tak"),
// creates those stations with their names and nameplates (or drops them
// from the list), closes the line. The directory's frames go to job.frameLog.
[[nodiscard]] TKivGazSearch SearchTransporter(TFCommModule& module, ITxProgress& progress, const TKivGazJob& job,
                                              const std::function<bool(const std::vector<TKivGazItem>&)>& addUnknown);

// What became of one listed device in "OK".
enum class TKivGazCheck {
    NoProfile,    // no profile named, not in the list, or no such file
    BadProfile,   // the profile file does not read
    NotGazModem1, // the profile's protocol is not version 1
    Read,         // read; the outcome tells how it went
};

struct TKivGazRead {
    uint16_t address = 0;
    std::string label;
    TKivGazCheck check = TKivGazCheck::NoProfile;
    TReadOutOutcome outcome;
    // The read-out's own text, as the other windows show it ("Odczyt
    // zakończony", "Brak komunikacji", ...), or the check's text.
    std::string text;
    [[nodiscard]] bool Good() const { return check == TKivGazCheck::Read && outcome.result == TxResult::Good; }
};

// "OK": every ticked item in turn over a line opened once. A device whose
// profile fails the checks is skipped with its line in job.kivGazLog; the
// others are read with 250 samples per block and 5 attempts, the progress
// reset for each with its station label, and the result written to
// job.kivGazLog too. A read-out cancelled by the user ends the whole run.
// The line stays open between the devices and is closed after the last.
// False when the line did not open at the start (nothing was read).
[[nodiscard]] bool ReadListed(TFCommModule& module, ITxProgress& progress, const TKivGazJob& job,
                              const std::vector<TKivGazItem>& items, std::vector<TKivGazRead>& reads);

// What became of the device: the check's text ("Brak zbioru profilu", ...)
// or the read-out's.
[[nodiscard]] std::string KivGazReadText(const TKivGazRead& read);
// Its KivGAZ.log line: "Brak zbioru profilu. Adres urządzenia = 12", ...
[[nodiscard]] std::string KivGazLogText(const TKivGazRead& read);

} // namespace kiv
