#include "capacity/tariff_sets.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "config/virtual_stations.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr const char *kTariff = "Tariff";
constexpr const char *kSetStem = "Set";
constexpr const char *kTariffSetName = "TariffSetName";
constexpr std::size_t kFieldsBeforeName = 3;

std::string SetKey(int n) {
    return kSetStem + std::to_string(n);
}

std::string SetEntry(const TTariffSet &set) {
    std::string entry = set.name;
    for (const std::string &rate : set.rates)
        entry += "@" + rate;
    return entry;
}

} // namespace

std::string EntryField(const std::string &entry, int n) {
    std::size_t start = 0;
    for (int k = 0; k < n; ++k) {
        const std::size_t at = entry.find('@', start);
        if (at == std::string::npos)
            return {};
        start = at + 1;
    }
    return entry.substr(start, entry.find('@', start) - start);
}

std::vector<TTariffSet> ReadTariffSets(const std::string &kivIni) {
    IniDocument doc;
    std::vector<TTariffSet> sets;
    if (doc.Load(kivIni) != 0)
        return sets;
    std::string entry;
    for (int n = 1; doc.Find(kTariff, SetKey(n), entry); ++n) {
        TTariffSet set{EntryField(entry, 0), {}};
        if (set.name.empty())
            break;
        for (std::size_t k = 0; k < set.rates.size(); ++k)
            set.rates[k] = EntryField(entry, static_cast<int>(k) + 1);
        sets.push_back(std::move(set));
    }
    return sets;
}

bool FindTariffSet(const std::string &kivIni, const std::string &name, TTariffSet &set) {
    for (TTariffSet &candidate : ReadTariffSets(kivIni))
        if (candidate.name == name) {
            set = std::move(candidate);
            return true;
        }
    return false;
}

bool TariffNameTaken(const std::vector<TTariffSet> &sets, const std::string &name) {
    return std::any_of(sets.begin(), sets.end(),
                       [&name](const TTariffSet &s) { return EqualsNoCase(s.name, name); });
}

bool AddTariffSet(const std::string &kivIni, const TTariffSet &set) {
    return EditIniFile(kivIni, false, [&set](IniDocument &doc) {
        std::string ignored;
        int n = 1;
        while (doc.Find(kTariff, SetKey(n), ignored))
            ++n;
        return doc.WriteString(kTariff, SetKey(n), SetEntry(set));
    });
}

bool DeleteTariffSet(const std::string &kivIni, const std::string &name) {
    return EditIniFile(kivIni, true, [&name](IniDocument &doc) {
        // An entry written by hand as the name alone is listed as a set without
        // rates; given its separator, it goes as every entry of the name does.
        std::string entry;
        for (int n = 1; doc.Find(kTariff, SetKey(n), entry); ++n)
            if (entry == name)
                (void)doc.WriteString(kTariff, SetKey(n), name + "@");
        return doc.RenumberList(kTariff, kSetStem, name + "@", true);
    });
}

std::string EntryWithTariff(const std::string &entry, const std::string &name) {
    std::string text = entry;
    const std::size_t separators = static_cast<std::size_t>(std::count(text.begin(), text.end(), '@'));
    if (separators < kFieldsBeforeName)
        return text.append(kFieldsBeforeName - separators, '@') + name;
    std::size_t third = 0;
    for (std::size_t k = 0; k < kFieldsBeforeName; ++k)
        third = text.find('@', k == 0 ? 0 : third + 1);
    const std::size_t later = text.find('@', third + 1);
    return text.substr(0, third + 1) + name + (later == std::string::npos ? "" : text.substr(later));
}

std::string ChosenTariffName(const TTariffOwner &owner) {
    if (!owner.isVirtual)
        return ReadIniString(kTariff, kTariffSetName, "", StationFilePath(owner.dataFolder, owner.address));
    const TSumRec sum = LookupSum(owner.kivIni, owner.dataFolder, owner.label);
    return sum.number == 0 ? "" : EntryField(ReadSumEntry(owner.kivIni, owner.dataFolder, sum.number), 3);
}

bool WriteChosenTariffName(const TTariffOwner &owner, const std::string &name) {
    if (!owner.isVirtual)
        return WriteIniString(kTariff, kTariffSetName, name,
                              StationFilePath(owner.dataFolder, owner.address));
    const TSumRec sum = LookupSum(owner.kivIni, owner.dataFolder, owner.label);
    if (sum.number == 0)
        return false;
    const std::string entry = ReadSumEntry(owner.kivIni, owner.dataFolder, sum.number);
    return WriteSumEntry(owner.kivIni, owner.dataFolder, sum.number, EntryWithTariff(entry, name));
}

} // namespace kiv
