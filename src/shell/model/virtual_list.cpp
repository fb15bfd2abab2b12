#include "shell/model/virtual_list.h"

#include "config/ini_file.h"
#include "config/program_settings.h"

#include <algorithm>

namespace kiv {

std::string NextVirtualLabel(const std::vector<std::string>& entries) {
    // Each entry holds few candidates, so the search ends within one more
    // than all of them.
    for (long long n = 1;; ++n) {
        const std::string candidate = kNewVirtualLabel + std::to_string(n);
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const std::string& entry) { return entry.find(candidate) != std::string::npos; }))
            return candidate;
    }
}

std::string NewVirtualEntry(const std::string& label) { return label + "@@0"; }

bool RemoveVirtualEntry(std::vector<std::string>& entries, const std::string& label, std::string& select) {
    const auto at = std::find_if(entries.begin(), entries.end(),
                                 [&](const std::string& entry) { return ParseVirtualEntry(entry).label == label; });
    if (at == entries.end()) return false;
    const auto index = static_cast<std::size_t>(at - entries.begin());
    entries.erase(at);
    select = entries.empty() ? std::string() : ParseVirtualEntry(entries[std::min(index, entries.size() - 1)]).label;
    return true;
}

bool WriteVirtualList(const std::string& kivIni, const std::string& dataFolder,
                      const std::vector<std::string>& entries) {
    const std::string section = VirtualSectionName(dataFolder);
    return EditIniFile(kivIni, false, [&](IniDocument& doc) {
        bool changed = doc.ClearSection(section, true);
        for (std::size_t k = 0; k < entries.size(); ++k)
            changed |= doc.WriteString(section, VirtualEntryKey(static_cast<int>(k) + 1), entries[k]);
        return changed;
    });
}

std::string FirstNonGroupText(const TStationTree& tree) {
    for (const TNodeRef ref : tree.InTreeOrder())
        if (const TTreeNode* node = tree.Node(ref); node && !IsGroupKind(node->kind)) return node->text;
    return {};
}

} // namespace kiv
