#pragma once
// The read-out of one device over a link a front-end has opened. ReadDevice
// runs the steps in a fixed order: the device clock, the optional DP/TZ table
// dumps, the nameplate with the check that the device is the one the profile
// and the station file expect, the current data (written to the station's
// FCC file), then the events and the archives (archive_readout.h). Every
// step reports on the progress interface only, so the read-out runs the same
// under a window, on the command line and in tests. Everything the settings
// files say is read by the caller before the read-out starts (TReadOutSettings)
// and nothing reads them again while it runs. The result is one TxResult;
// ReadOutMessage gives the text a front-end shows for it. direct_readout.h
// wraps this in the whole road from opening the port to the message.
#include <cstdint>
#include <utility>
#include <set>
#include <string>
#include <vector>

#include "comm/archive_readout.h"
#include "comm/device_request.h"
#include "datafiles/archive.h"
#include "datafiles/profile.h"

namespace kiv {

// The device identity stored in the station file's [Hardware] section.
struct TStoredHardware {
    std::string brand;
    std::string type;
    std::string serialNumber;
    [[nodiscard]] bool Empty() const { return brand.empty() && type.empty() && serialNumber.empty(); }
};

// What Kiv.ini and the station file say about a read-out.
struct TReadOutSettings {
    int eventsMax = kEventsMaxDefault; // 0 to kEventsMaxLimit
    bool dumpDP = false;
    bool dumpTZ = false;
    std::set<std::string> skippedArchives; // short names the station's filter leaves out
    TStoredHardware hardware;
};

// Reads them once: [CommSettings] and [Debug] of Kiv.ini, the filter and
// [Hardware] of the station file, for the archive items of the profile.
[[nodiscard]] TReadOutSettings ReadOutSettingsFrom(const std::string& kivIni, const std::string& stationFile,
                                                   const std::vector<TParamItem>& items);

struct TReadOutInput {
    uint16_t address = 0;
    uint8_t samplesPerBlock = 250; // archive samples one block request asks for
    int32_t attempts = 5;
    TRecProfParams profile;
    std::vector<TParamItem> items;
    TReadOutSettings settings;
    std::string dataFolder;  // with its trailing "/"
    int32_t endTime = -1;    // -1: not given
    int32_t startTime = -1;
    TArchiveWriter archiveWriter; // empty: the station's archive files
};

// What a read-out got: the device's identity as soon as the nameplate is
// read, and what reached the data files.
struct TReadOutReport {
    TDevSign sign;
    // Archive short name and the count of stored samples newer than the
    // archive held before, in reading order.
    std::vector<std::pair<std::string, long>> samplesStored;
    long eventsStored = 0;
    int64_t newestSample = -1; // time of the newest sample stored, -1: none
};

// The current-data list: items with a parameter number, by that number (at most 1000).
[[nodiscard]] std::vector<TParamItem> CurrentDataList(const std::vector<TParamItem>& items);
// The archive list: items with an hourly or daily archive index, in profile order.
[[nodiscard]] std::vector<TParamItem> ArchiveList(const std::vector<TParamItem>& items);

[[nodiscard]] TxResult ReadDevice(TReadLink& link, const TReadOutInput& input, TReadOutReport& report);

// Whether a reply frame carries the code that answers a request of `kind`.
[[nodiscard]] bool GoodReply(const std::vector<uint8_t>& reply, uint8_t kind);

// The first `count` NUL-ended strings of a nameplate reply, from byte 8 up to
// the CRC, as the device sent them; missing ones are empty.
[[nodiscard]] std::vector<std::string> NameplateStrings(const std::vector<uint8_t>& reply, std::size_t count);

// The clock line: "YYYY-MM-DD hh:mm:ss [system +N sek]" with N = device time
// - computer time, or "[błąd zegara w urządzeniu]" for an invalid time.
[[nodiscard]] std::string ClockLine(int32_t deviceTime, int64_t computerTime);

// Make and type match when equal without blanks and letter case; the serial number must be equal.
[[nodiscard]] bool IdentityMatches(const TRecProfParams& profile, const TDevSign& sign);

// The message a front-end shows for a result (title "Transmisja"); empty text: none.
struct TReadOutMessage {
    std::string text;
    int kind = 0; // MsgKind
};
[[nodiscard]] TReadOutMessage ReadOutMessage(TxResult result, const TDevSign& sign);
inline constexpr const char* kReadOutTitle = "Transmisja";

} // namespace kiv
