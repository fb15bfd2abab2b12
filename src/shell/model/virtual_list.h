#pragma once
// "Dodaj stację wirtualną" and "Usuń stację wirtualną" on the data folder's
// list of virtual station entries (label "@" member formula "@" ordered
// capacity ...), and the node the main window selects afterwards.
#include "shell/model/station_tree.h"

#include <string>
#include <vector>

namespace kiv {

inline constexpr char kNewVirtualLabel[] = "Nowa stacja wirtualna ";

// "Nowa stacja wirtualna " + n for the first n that no entry contains
// anywhere in its text ("... 12" holds "... 1", so 2 comes next).
[[nodiscard]] std::string NextVirtualLabel(const std::vector<std::string>& entries);
// A new virtual station: no members, ordered capacity 0.
[[nodiscard]] std::string NewVirtualEntry(const std::string& label);

// Removes the first entry labelled `label`; false when none is. select: the
// label of the entry now in its place, or of the new last one; empty when
// no entry is left.
[[nodiscard]] bool RemoveVirtualEntry(std::vector<std::string>& entries, const std::string& label,
                                      std::string& select);

// The data folder's virtual station section replaced by the entries, keys
// Sum1 ... without gaps, in one replacement of Kiv.ini; no section at all
// when the list is empty. False when Kiv.ini could not be written; it is
// then as it was.
[[nodiscard]] bool WriteVirtualList(const std::string& kivIni, const std::string& dataFolder,
                                    const std::vector<std::string>& entries);

// The text of the first node in tree order that is not a group; empty when none.
[[nodiscard]] std::string FirstNonGroupText(const TStationTree& tree);

} // namespace kiv
