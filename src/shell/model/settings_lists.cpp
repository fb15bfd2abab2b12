#include "shell/model/settings_lists.h"

#include "config/text_case.h"

#include <algorithm>

namespace kiv {

namespace {

bool ListedNoCase(const std::vector<std::string>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& g) { return EqualsNoCase(g, name); });
}

} // namespace

GroupEdit AddStationGroup(std::vector<std::string>& shown, TStationDb& db, const std::string& name) {
    const std::string group(TrimView(name));
    if (group.empty()) return GroupEdit::Cancelled;
    // A group taken off the shown list is still in the group list and its
    // station files: a second one beside it would split it in two.
    if (ListedNoCase(shown, group) || ListedNoCase(db.Groups(), group)) return GroupEdit::Clash;
    shown.push_back(group);
    db.AddGroup(group);
    return GroupEdit::Done;
}

GroupEdit RenameStationGroup(std::vector<std::string>& shown, TStationDb& db, const std::string& dataFolder,
                             std::size_t index, const std::string& name) {
    if (index >= shown.size()) return GroupEdit::Cancelled;
    const std::string from = shown[index];
    const std::string to(TrimView(name));
    if (to.empty() || to == from) return GroupEdit::Cancelled;
    for (std::size_t k = 0; k < shown.size(); ++k)
        if (k != index && shown[k] == to) return GroupEdit::Clash;

    std::vector<int> members;
    for (const auto& s : db.Stations())
        if (s.groupLabel == from) members.push_back(s.address);
    bool allWritten = true;
    for (const int address : members) {
        const std::string file = StationFilePath(dataFolder, address);
        TRekStacjiFull read;
        ReadFullStationRecord(file, address, read);
        TRekStacjiFull renamed = read;
        renamed.GroupLabel = to;
        bool changed = false;
        allWritten &= db.SaveFullRecord(file, renamed, read, changed);
    }
    db.RenameGroup(from, to);
    shown[index] = to;
    return allWritten ? GroupEdit::Done : GroupEdit::WriteFailed;
}

int FindModemProfile(const std::vector<TModemProfile>& rows, const std::string& name, int except) {
    for (int r = 0; IsProfileRow(rows, r); ++r)
        if (r != except && rows[static_cast<std::size_t>(r)].name == name) return r;
    return -1;
}

int InsertModemProfile(std::vector<TModemProfile>& rows, const TModemProfile& profile) {
    if (rows.empty() || !rows.back().Empty()) rows.emplace_back();
    rows.insert(rows.end() - 1, profile);
    return static_cast<int>(rows.size()) - 2;
}

void RemoveModemProfile(std::vector<TModemProfile>& rows, int row) {
    if (IsProfileRow(rows, row)) rows.erase(rows.begin() + row);
}

} // namespace kiv
