#pragma once
// The byte-level transmission log: one line per frame sent ("N:") or
// received ("O:"), at most the first 50 bytes, appended to the log file.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace kiv {

constexpr std::size_t kCommLogMaxBytes = 50;
inline constexpr const char* kLogSent = "N:";
inline constexpr const char* kLogReceived = "O:";

// "2026-12-08 18:30:05 N: 68 05 00 ..." followed by CR LF.
[[nodiscard]] std::string FormatCommLogLine(std::time_t when, const uint8_t* bytes, std::size_t count,
                                            const std::string& prefix);

// Appends the line for now to the file, creating it when missing; false
// when the file cannot be written (a log never stops a transmission).
bool WriteCommLog(const std::string& file, const uint8_t* bytes, std::size_t count, const std::string& prefix);

} // namespace kiv
