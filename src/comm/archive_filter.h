#pragma once
// The archive filter of a station: the [TxFilter] section of its station
// file holds one key per archive short name ("YES"/"NO", missing = YES). The
// filter window edits it (transmission/tx_filter_list.h); a read-out gets the
// names it leaves out, read once before the read-out starts.
#include <string>

namespace kiv {

inline constexpr const char* kTxFilterSection = "TxFilter";

// Whether the station file wants the archive of that short name read.
[[nodiscard]] bool Wanted(const std::string& stationFile, const std::string& shortName);

} // namespace kiv
