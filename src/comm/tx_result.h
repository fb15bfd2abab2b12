#pragma once
// The one result type of the link: an exchange, a request and a whole
// read-out all end with a TxResult. The numbers are what the program has
// always shown and what `kiv-cli read` exits with, so they never change: an
// exchange that got nothing ends with 1 and a read-out whose first request got
// nothing ends with the same 1 ("Brak komunikacji"). Also here: the named
// states of one request/reply exchange.
#include <cstdint>

namespace kiv {

enum class TxResult : uint8_t {
    NoReply = 1,              // nothing within the answer timeout
    BadFrame = 2,             // bytes came, but no good frame among them
    SendTimeout = 3,          // the port did not finish sending within 5000 ms
    ProtocolNotInProgram = 4,
    ProtocolNotInDevice = 5,
    BadClockReply = 6,
    BadTime = 7,
    // Everything was read, but some of it could not be written to the data
    // files (an archive month, the events or the current data file).
    NotStored = 8,
    WrongProfile = 10,
    WrongSerial = 11,
    UnknownDevice = 12,
    LenientNoise = 13,        // a corrupted reply to a kind that is not sent again
    Cancelled = 14,           // the user pressed cancel, or the program is asked to stop
    Good = 15,
};

[[nodiscard]] constexpr int ResultCode(TxResult result) { return static_cast<int>(result); }

// One exchange, from the request being queued to its result.
enum class TxState : uint8_t {
    Idle = 0,
    Silence = 1,     // waiting for the line to be quiet
    RtsOn = 2,       // half duplex: RTS raised, waiting before sending
    Sending = 3,
    RtsOff = 4,      // half duplex: sent, waiting before dropping RTS
    AwaitAnswer = 5,
    Receiving = 6,
    Checking = 7,
    Done = 8,
};

} // namespace kiv
