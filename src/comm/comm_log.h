#pragma once
// The byte-level transmission log: one line per frame sent ("N:") or
// received ("O:"), every byte of it in hexadecimal behind a time with
// milliseconds, appended to the log file, so that a failed exchange can be
// read back from it whole. A note line (a port that would not open) carries
// text instead of bytes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv {

inline constexpr const char* kLogSent = "N:";
inline constexpr const char* kLogReceived = "O:";

using TLogClock = std::chrono::system_clock;

// "2026-12-08 18:30:05.123 N: 68 05 00 ..." followed by CR LF, local time.
[[nodiscard]] std::string FormatCommLogLine(TLogClock::time_point when, const uint8_t* bytes, std::size_t count,
                                            const std::string& prefix);

// Appends the line for now to the file, creating it when missing; false
// when the file cannot be written (a log never stops a transmission).
bool WriteCommLog(const std::string& file, const uint8_t* bytes, std::size_t count, const std::string& prefix);
// Appends "<time> <text>".
bool WriteCommNote(const std::string& file, const std::string& text);

} // namespace kiv
