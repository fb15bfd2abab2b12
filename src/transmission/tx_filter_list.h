#pragma once
// The archive filter of one station: which archive parameters a read-out
// fetches. Ticks come from the [TxFilter] section of the station file, one
// key per parameter short name ("YES"/"NO", missing = YES); the filter
// window edits them here and writes them back only when the user changed
// anything. The read-out gets what Wanted() says for each archive item.
#include <string>
#include <vector>

#include "comm/archive_filter.h"
#include "datafiles/profile_item.h"

namespace kiv {

struct TTxFilterEntry {
    std::string shortName;
    std::string fullName;
    bool checked = true;

    // The list text: "short name - full name".
    [[nodiscard]] std::string Text() const { return shortName + " - " + fullName; }
};

// The archive list of a profile: items with an hourly or a daily archive
// index, in profile order.
[[nodiscard]] std::vector<TTxFilterEntry> ArchiveFilterEntries(const std::vector<TParamItem>& items);

class TTxFilterList {
public:
    // Entries with their ticks from the station file.
    void Load(const std::string& stationFile, std::vector<TTxFilterEntry> entries);

    [[nodiscard]] const std::vector<TTxFilterEntry>& Entries() const { return entries_; }
    [[nodiscard]] bool Changed() const { return changed_; }

    // Each edit marks the list changed, even one that ends where it began.
    void SetChecked(std::size_t index, bool checked);
    void CheckAll();
    void Invert();
    void UncheckAll();

    // Writes YES/NO for every entry when the list changed; 0 when done or
    // nothing to do, else the file error code (the file then stays as it was).
    [[nodiscard]] int Save();

private:
    std::string stationFile_;
    std::vector<TTxFilterEntry> entries_;
    bool changed_ = false;
};

} // namespace kiv
