#pragma once
// Tariff sets: named groups of the five rates of the optimisation, kept in
// Kiv.ini [Tariff] as Set1, Set2, ... = name "@" five rates, the rates as
// the rate fields' texts. The list is read to the first missing key or empty
// name; a new set takes the first missing key; deleting one rewrites the
// section with the rest renumbered from Set1. Each station remembers the name
// of its set: a plain station in [Tariff] TariffSetName of its station file,
// a virtual station in the fourth field of its entry, the fields after it
// kept. Standard library only.
#include "capacity/optimisation.h"

#include <string>
#include <vector>

namespace kiv {

struct TTariffSet {
    std::string name;
    TRateTexts rates;
};

// The n-th "@"-separated field (from 0); empty when the entry has fewer separators.
[[nodiscard]] std::string EntryField(const std::string &entry, int n);

[[nodiscard]] std::vector<TTariffSet> ReadTariffSets(const std::string &kivIni);
// The set of that name exactly; false when there is none.
[[nodiscard]] bool FindTariffSet(const std::string &kivIni, const std::string &name, TTariffSet &set);
// Whether a set bears the name, compared without regard to letter case.
[[nodiscard]] bool TariffNameTaken(const std::vector<TTariffSet> &sets, const std::string &name);
// Written under the first missing key; false when Kiv.ini could not be replaced.
[[nodiscard]] bool AddTariffSet(const std::string &kivIni, const TTariffSet &set);
// Drops the set of that name (also an entry of the name alone, without any
// "@", as one may be written by hand) and renumbers the others in file order.
[[nodiscard]] bool DeleteTariffSet(const std::string &kivIni, const std::string &name);

// The station whose set is remembered.
struct TTariffOwner {
    std::string kivIni;
    std::string dataFolder;
    bool isVirtual = false;
    int address = 0;   // a plain station
    std::string label; // a virtual station
};
[[nodiscard]] std::string ChosenTariffName(const TTariffOwner &owner);
// False when the file could not be replaced or the virtual station has no entry.
[[nodiscard]] bool WriteChosenTariffName(const TTariffOwner &owner, const std::string &name);
// A virtual entry with its fourth field set to the name: separators appended
// up to three, or the old fourth field replaced and the later ones kept.
[[nodiscard]] std::string EntryWithTariff(const std::string &entry, const std::string &name);

} // namespace kiv
