#include "capacity/virtual_definition.h"

#include "config/program_settings.h"
#include "config/text_case.h"
#include "config/virtual_stations.h"

#include <cctype>
#include <charconv>

namespace kiv {
namespace {

constexpr std::size_t kAddressDigits = 5;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "00012 ..." : five digits and a blank, as a station node begins.
bool IsStationText(const std::string& text) {
    if (text.size() <= kAddressDigits || text[kAddressDigits] != ' ') return false;
    for (std::size_t i = 0; i < kAddressDigits; ++i)
        if (!IsDigit(text[i])) return false;
    return true;
}

const TRekStacji* StationOf(const TStationDb& stations, std::string_view digits) {
    int address = 0;
    const auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), address);
    if (digits.empty() || ec != std::errc() || stop != digits.data() + digits.size()) return nullptr;
    const int index = stations.Find(address);
    return index < 0 ? nullptr : &stations.Station(index);
}

std::string Address(const std::string& memberText) { return std::string(TrimView(memberText).substr(0, kAddressDigits)); }

bool Listed(const std::vector<std::string>& list, const std::string& address) {
    for (const std::string& member : list)
        if (Address(member) == address) return true;
    return false;
}

bool Listed(const TMemberLists& members, const std::string& address) {
    return Listed(members.plus, address) || Listed(members.minus, address);
}

} // namespace

std::string CleanFormula(std::string_view formula) {
    std::string clean;
    for (const char c : formula)
        if (IsDigit(c) || c == '+' || c == '-') clean += c;
    if (!clean.empty() && IsDigit(clean.front())) clean.insert(clean.begin(), '+');
    return clean;
}

std::string MemberText(const TRekStacji& station) { return FiveDigits(station.address) + " " + station.label; }

TMemberLists MembersOf(const std::string& cleanFormula, const TStationDb& stations) {
    TMemberLists members;
    std::size_t at = 0;
    while (at < cleanFormula.size()) {
        const char sign = cleanFormula[at++];
        const std::size_t end = std::min(cleanFormula.find_first_of("+-", at), cleanFormula.size());
        const TRekStacji* station = StationOf(stations, std::string_view(cleanFormula).substr(at, end - at));
        at = end;
        if (!station) continue;
        (sign == '-' ? members.minus : members.plus).push_back(MemberText(*station));
    }
    return members;
}

std::string BuildFormula(const TMemberLists& members) {
    std::string formula;
    for (const std::string& member : members.plus) formula += "+" + Address(member);
    for (const std::string& member : members.minus) formula += "-" + Address(member);
    return formula;
}

bool IsChosenMember(const std::string& nodeText, const TMemberLists& members) {
    return IsStationText(nodeText) && Listed(members, nodeText.substr(0, kAddressDigits));
}

std::vector<std::string> PickedMembers(const std::vector<std::string>& picked, const TStationDb& stations,
                                       const TMemberLists& members) {
    std::vector<std::string> added;
    for (const std::string& text : picked) {
        if (!IsStationText(text)) continue;
        const std::string address = text.substr(0, kAddressDigits);
        const TRekStacji* station = StationOf(stations, address);
        if (!station || Listed(members, address) || Listed(added, address)) continue;
        added.push_back(MemberText(*station));
    }
    return added;
}

std::string DefinitionEntry(const std::string& oldEntry, const std::string& label, const std::string& formula) {
    if (oldEntry.empty()) return label + "@" + formula + "@0";
    TVirtualEntry entry = ParseVirtualEntry(oldEntry);
    entry.label = label;
    entry.formula = formula;
    return FormatVirtualEntry(entry);
}

TDefinitionResult SaveDefinition(const TDefinitionEdit& edit) {
    TDefinitionResult done;
    done.label = std::string(TrimView(edit.label));
    if (done.label.empty()) return {DefinitionSave::NoLabel, {}, {}};
    if (done.label.find('@') != std::string::npos) return {DefinitionSave::LabelHasSeparator, {}, {}};
    done.number = edit.number == 0 ? NextSumNumber(edit.kivIni, edit.dataFolder) : edit.number;
    if (done.label != edit.openedLabel) {
        const int owner = LookupSum(edit.kivIni, edit.dataFolder, done.label).number;
        if (owner != 0 && owner != done.number) return {DefinitionSave::LabelTaken, {}, {}};
    }
    const std::string old = ReadSumEntry(edit.kivIni, edit.dataFolder, done.number);
    const std::string entry = DefinitionEntry(old, done.label, BuildFormula(edit.members));
    done.result = WriteSumEntry(edit.kivIni, edit.dataFolder, done.number, entry) ? DefinitionSave::Saved
                                                                                 : DefinitionSave::WriteFailed;
    return done;
}

} // namespace kiv
