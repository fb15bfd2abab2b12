#pragma once
// The request routine every read-out step goes through. A step names what it
// wants by a request kind and its arguments (count, index, time, value);
// DeviceRequest turns them into the kind's data bytes, sends the frame through
// the communication module, pumps the event loop until the exchange is over,
// keeps the progress window's three lamps in step with the exchange and
// repeats the request as often as the attempts allow. The progress window's
// cancel button and a stop request of the program (closing the main window,
// SIGTERM, Ctrl+C) override every outcome. Also here: the device's calendar
// time forms on the wire and the counters a measurement of the line needs.
#include <cstdint>
#include <vector>

#include "comm/tx_result.h"

namespace kiv {

class TFCommModule;
class ITxProgress;

// Bytes on the line, for measuring a read-out against the wire time.
struct TLinkStats {
    long requests = 0;      // frames sent, repeats included
    long bytesSent = 0;
    long bytesReceived = 0; // every byte of the reply, noise included
};

// What a read-out talks through: the module with its port already open, the
// progress window, and optional line counters.
struct TReadLink {
    TFCommModule& module;
    ITxProgress& progress;
    TLinkStats* stats = nullptr;
};

// The arguments a request kind may carry; time -1 = none.
struct TRequestArgs {
    uint8_t kind = 0;
    uint16_t secondAddress = 0;
    uint16_t deviceAddress = 0;
    int32_t attempts = 1;
    int32_t time = -1;
    int32_t value32 = 0;
    uint16_t index16 = 0;
    uint8_t count8 = 0;
};

// The data bytes of a request kind (little-endian index16 and value32;
// calendar times smallest unit first).
[[nodiscard]] std::vector<uint8_t> RequestData(const TRequestArgs& args);
// Kinds whose corrupted reply is final (result 13) rather than sent again.
[[nodiscard]] bool IsLenientKind(uint8_t kind);

// Asks a running read-out to end at its next request, as the cancel button
// does. Safe to call from a signal handler.
void RequestStop();
[[nodiscard]] bool StopRequested();
void ClearStopRequest();

// Sends the request until a good reply, the attempts run out (fewer than one
// counts as one), or a lenient kind got a corrupted reply. On result 15 the
// reply frame (from its 0x68) is in `reply`, otherwise `reply` is empty.
[[nodiscard]] TxResult DeviceRequest(TReadLink& link, const TRequestArgs& args, std::vector<uint8_t>& reply);

// The reply code (byte 7) of a reply frame, or -1 for a reply too short to be a frame.
[[nodiscard]] int ReplyCode(const std::vector<uint8_t>& reply);
// Minimal frame: start, LEN, two addresses, code, CRC, end.
constexpr std::size_t kMinReplyLength = 11;
// Data bytes of a reply between its first data byte `from` and the CRC.
constexpr std::size_t kReplyTail = 3;

// Calendar times on the wire: 6 (second .. year), 5 (minute .. year) or 4
// (hour .. year) one-byte fields, smallest unit first, two-digit years.
// -1 when the fields are not a valid date and time of 1970..2037.
[[nodiscard]] int32_t WireToTime(const uint8_t* fields, int form);
void TimeToWire(int32_t time, int form, uint8_t* fields);

} // namespace kiv
