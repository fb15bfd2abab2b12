#pragma once
// Strings from the binary data files (profiles, current data, events,
// archives) are kept as the bytes the file holds: UTF-8, or Windows-1250 from
// older devices and installations. Every window turns such a string into the
// text it shows through DisplayText, so one string never reads differently
// in two windows.
#include <QString>

#include <string>

namespace kiv {

// The bytes decoded as DecodeText does; text already decoded stays as it is.
[[nodiscard]] QString DisplayText(const std::string& bytes);

// The system's decimal separator, which the windows write numbers with (CSV files included).
[[nodiscard]] std::string SystemDecimalSeparator();

} // namespace kiv
