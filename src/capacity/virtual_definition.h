#pragma once
// The definition of a virtual station below its window TFOblDef. Data flows
// in one direction per step: opening cleans the stored member formula
// (CleanFormula) and turns it into the two member lists the window shows
// (MembersOf), keeping only members the station list still has; "Dodaj"
// filters what the station picker returns (PickedMembers); "OK" builds the
// formula from the two lists and rewrites the entry under the key found at
// opening, keeping the ordered capacity, the tariff set name and any later
// fields (SaveDefinition). A member is shown as a station node is:
// five-digit address, one blank, the station's label.
#include "config/station_db.h"

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// Only digits, "+" and "-" stay; a leading digit gets a "+" in front.
[[nodiscard]] std::string CleanFormula(std::string_view formula);

// "00012 Kotłownia".
[[nodiscard]] std::string MemberText(const TRekStacji& station);

struct TMemberLists {
    std::vector<std::string> plus;  // "In plus"
    std::vector<std::string> minus; // "In minus"
    bool operator==(const TMemberLists&) const = default;
};
// The members of a cleaned formula in formula order; a member whose digits
// are no number or whose address the station list lacks is left out.
[[nodiscard]] TMemberLists MembersOf(const std::string& cleanFormula, const TStationDb& stations);

// "+" and the first five characters of each trimmed "In plus" entry, then "-"
// and those of each "In minus" entry.
[[nodiscard]] std::string BuildFormula(const TMemberLists& members);

// Whether a node of the picker stands for a station already in either list,
// which the picker then shows partly ticked and unchangeable.
[[nodiscard]] bool IsChosenMember(const std::string& nodeText, const TMemberLists& members);
// The texts the picker returned that name a station of the list and are in
// neither list yet, in picker order; groups and virtual stations ticked in
// the main window are no members.
[[nodiscard]] std::vector<std::string> PickedMembers(const std::vector<std::string>& picked,
                                                     const TStationDb& stations, const TMemberLists& members);

// The stored entry rewritten with a new label and formula: everything after
// the old formula stays as it was; without an old entry the capacity is "0".
[[nodiscard]] std::string DefinitionEntry(const std::string& oldEntry, const std::string& label,
                                          const std::string& formula);

enum class DefinitionSave { Saved, NoLabel, LabelHasSeparator, LabelTaken, WriteFailed };

struct TDefinitionEdit {
    std::string kivIni;
    std::string dataFolder;
    int number = 0;          // the entry found at opening; 0: a new entry after the last one
    std::string openedLabel; // the label the window was opened with
    std::string label;       // as typed
    TMemberLists members;
};
struct TDefinitionResult {
    DefinitionSave result = DefinitionSave::WriteFailed;
    int number = 0;    // where the entry went
    std::string label; // the label saved, trimmed
};
// "OK": refuses an empty label, one holding the field separator "@", and a
// changed label another virtual station of the folder already has; then
// writes the entry.
[[nodiscard]] TDefinitionResult SaveDefinition(const TDefinitionEdit& edit);

} // namespace kiv
