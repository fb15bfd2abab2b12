#include "transmission/tx_filter_list.h"

#include "config/ini_file.h"

namespace kiv {

std::vector<TTxFilterEntry> ArchiveFilterEntries(const std::vector<TParamItem>& items) {
    std::vector<TTxFilterEntry> entries;
    for (const TParamItem& item : items)
        if (item.HasArchive())
            entries.push_back({item.ShortName(), item.FullName(), true});
    return entries;
}

void TTxFilterList::Load(const std::string& stationFile, std::vector<TTxFilterEntry> entries) {
    stationFile_ = stationFile;
    entries_ = std::move(entries);
    IniDocument ini;
    (void)ini.Load(stationFile); // a missing or unreadable file ticks everything
    for (TTxFilterEntry& entry : entries_)
        entry.checked = ini.ReadBool(kTxFilterSection, FilterKey(entry.shortName), true);
    changed_ = false;
}

void TTxFilterList::SetChecked(std::size_t index, bool checked) {
    if (index >= entries_.size())
        return;
    entries_[index].checked = checked;
    changed_ = true;
}

void TTxFilterList::CheckAll() {
    for (TTxFilterEntry& entry : entries_)
        entry.checked = true;
    changed_ = true;
}

void TTxFilterList::Invert() {
    for (TTxFilterEntry& entry : entries_)
        entry.checked = !entry.checked;
    changed_ = true;
}

void TTxFilterList::UncheckAll() {
    for (TTxFilterEntry& entry : entries_)
        entry.checked = false;
    changed_ = true;
}

int TTxFilterList::Save() {
    if (!changed_)
        return 0;
    // One rewrite for all keys: a failure leaves the old file whole.
    IniDocument ini;
    const int loaded = ini.Load(stationFile_);
    if (loaded != 0 && loaded != 2)
        return loaded;
    for (const TTxFilterEntry& entry : entries_)
        ini.WriteString(kTxFilterSection, FilterKey(entry.shortName), BoolToText(entry.checked));
    const int saved = ini.Save(stationFile_);
    if (saved == 0)
        changed_ = false;
    return saved;
}

} // namespace kiv
