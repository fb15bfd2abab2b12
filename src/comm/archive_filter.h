#pragma once
// The archive filter of a station: the [TxFilter] section of its station
// file holds one key per archive short name ("YES"/"NO", missing = YES). The
// filter window edits it (transmission/tx_filter_list.h); a read-out gets the
// names it leaves out, read once before the read-out starts.
#include <string>

namespace kiv {

inline constexpr const char* kTxFilterSection = "TxFilter";

// The key of a short name: the name as the profile holds it (bytes) turned
// into text, so that Windows-1250 bytes which happen to be valid UTF-8 are
// not taken for other letters.
[[nodiscard]] std::string FilterKey(const std::string& shortName);

// Whether the station file wants the archive of that short name read.
[[nodiscard]] bool Wanted(const std::string& stationFile, const std::string& shortName);

} // namespace kiv
