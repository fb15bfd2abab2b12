#pragma once
// The two lists of the program settings dialog, without widgets. Station
// groups: "Dodaj" adds a group to the shown list and the group list only (it
// lasts until the station list is next loaded); "Edytuj" renames it in every
// station file at once, whatever the dialog does afterwards. Modem profiles:
// the grid's rows, always ending in the empty row that, saved as it is, ends
// the profile list in Kiv.ini.
#include "config/program_config.h"
#include "config/station_db.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kiv {

enum class GroupEdit {
    Cancelled,   // empty or unchanged name
    Clash,       // the name is listed already
    Done,
    WriteFailed, // renamed, but some station file could not be replaced
};

// The trimmed name appended to shown and to the station database's group
// list; a name equal to a shown or a listed one without regard to letter
// case clashes.
[[nodiscard]] GroupEdit AddStationGroup(std::vector<std::string>& shown, TStationDb& db, const std::string& name);
// Renames shown[index]: every station of that group gets the new GroupLabel
// in its station file and its list entry. A name equal to another shown item
// exactly clashes.
[[nodiscard]] GroupEdit RenameStationGroup(std::vector<std::string>& shown, TStationDb& db,
                                           const std::string& dataFolder, std::size_t index,
                                           const std::string& name);

// Rows that hold a profile: every row but the empty last one.
[[nodiscard]] inline bool IsProfileRow(const std::vector<TModemProfile>& rows, int row) {
    return row >= 0 && static_cast<std::size_t>(row) + 1 < rows.size();
}
// The row of the profile with exactly this name, other than `except`; -1 when none.
[[nodiscard]] int FindModemProfile(const std::vector<TModemProfile>& rows, const std::string& name, int except = -1);
// Inserts before the empty last row; returns the new row.
int InsertModemProfile(std::vector<TModemProfile>& rows, const TModemProfile& profile);
void RemoveModemProfile(std::vector<TModemProfile>& rows, int row);

} // namespace kiv
