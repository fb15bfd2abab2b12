#pragma once
// The read-out of one device over a link a front-end has opened. ReadDevice
// runs the steps in a fixed order: the device clock, the optional DP/TZ table
// dumps, the nameplate with the check that the device is the one the profile
// and the station file expect, the current data (written to the station's
// FCC file), then the events and the archives (archive_readout.h). Every
// step reports on the progress interface only, so the read-out runs the same
// under a window, on the command line and in tests. The result is one code;
// ReadOutMessage gives the text a front-end shows for it.
#include <cstdint>
#include <string>
#include <vector>

#include "comm/archive_readout.h"
#include "comm/device_request.h"
#include "datafiles/archive.h"
#include "datafiles/profile.h"

namespace kiv {

enum ReadOutResult : uint8_t {
    RdNoCommunication = 1,
    RdChannelNoise = 2,
    RdSendTimeout = 3,
    RdProtocolNotInProgram = 4,
    RdProtocolNotInDevice = 5,
    RdBadClockReply = 6,
    RdBadTime = 7,
    // Everything was read, but some of it could not be written to the data
    // files (an archive month, the events or the current data file).
    RdNotStored = 8,
    RdWrongProfile = 10,
    RdWrongSerial = 11,
    RdUnknownDevice = 12,
    RdLenientNoise = 13,
    RdCancelled = 14,
    RdSuccess = 15,
};

struct TReadOutInput {
    uint16_t address = 0;
    uint8_t samplesPerBlock = 250; // archive samples one block request asks for
    int32_t attempts = 5;
    TRecProfParams profile;
    std::vector<TParamItem> items;
    std::string settingsFile; // Kiv.ini
    std::string stationFile;
    std::string dataFolder; // with its trailing "/"
    int32_t endTime = -1;   // -1: not given
    int32_t startTime = -1;
    TArchiveWriter archiveWriter; // empty: the station's archive files
};

// The current-data list: items with a parameter number, by that number (at most 1000).
[[nodiscard]] std::vector<TParamItem> CurrentDataList(const std::vector<TParamItem>& items);
// The archive list: items with an hourly or daily archive index, in profile order.
[[nodiscard]] std::vector<TParamItem> ArchiveList(const std::vector<TParamItem>& items);

// Reads the device; `sign` receives its identity as soon as the nameplate is read.
[[nodiscard]] uint8_t ReadDevice(TReadLink& link, const TReadOutInput& input, TDevSign& sign);

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
[[nodiscard]] TReadOutMessage ReadOutMessage(uint8_t result, const TDevSign& sign);
inline constexpr const char* kReadOutTitle = "Transmisja";

} // namespace kiv
