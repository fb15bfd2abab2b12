#include "shell/model/station_tree.h"

#include "config/text_case.h"
#include "shell/model/command_availability.h"

#include <algorithm>

namespace kiv {

namespace {

bool TextBefore(const TTreeNode& a, const TTreeNode& b) {
    const std::string ua = UpperText(a.text);
    const std::string ub = UpperText(b.text);
    if (ua != ub) return ua < ub;
    return a.text < b.text;
}

void SortLevel(std::vector<TTreeNode>& nodes) {
    std::stable_sort(nodes.begin(), nodes.end(), TextBefore);
    for (auto& node : nodes) SortLevel(node.children);
}

TTreeNode MakeNode(std::string text, int kind) {
    TTreeNode node;
    node.text = std::move(text);
    node.kind = kind;
    return node;
}

int ParentTick(const TTreeNode& parent) {
    const auto ticked = std::count_if(parent.children.begin(), parent.children.end(),
                                      [](const TTreeNode& c) { return c.tick == TickTicked; });
    if (ticked == 0) return TickClear;
    if (ticked == static_cast<long>(parent.children.size())) return TickTicked;
    return TickPartly;
}

} // namespace

const TVirtualEntry* VirtualEntryOf(const std::vector<TVirtualEntry>& entries, const std::string& label) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const TVirtualEntry& e) { return e.label == label; });
    return it == entries.end() ? nullptr : &*it;
}

int StationNodeKind(const TRekStacji& station) {
    if (!station.hasProfile) return KindNoProfile;
    if (!station.hasTelephone) return KindStation;
    return station.hasModemProfile ? KindModem : KindPhone;
}

std::string StationNodeText(const TRekStacji& station) { return FiveDigits(station.address) + " " + station.label; }

void TStationTree::Build(const std::vector<TRekStacji>& stations, const std::vector<std::string>& virtualEntries,
                         bool tickMode) {
    roots_.clear();
    if (stations.empty()) return;
    std::vector<std::size_t> groupIndex; // top-level positions of the groups, in order of appearance
    for (const auto& station : stations) {
        TTreeNode node = MakeNode(StationNodeText(station), StationNodeKind(station));
        if (station.groupLabel.empty()) {
            roots_.push_back(std::move(node));
            continue;
        }
        auto it = std::find_if(groupIndex.begin(), groupIndex.end(),
                               [&](std::size_t i) { return roots_[i].text == station.groupLabel; });
        if (it == groupIndex.end()) {
            roots_.push_back(MakeNode(station.groupLabel, KindGroup));
            it = groupIndex.insert(groupIndex.end(), roots_.size() - 1);
        }
        roots_[*it].children.push_back(std::move(node));
    }
    if (tickMode) {
        for (const auto& raw : virtualEntries) {
            if (raw.empty()) continue;
            roots_.push_back(MakeNode(raw.substr(0, raw.find('@')), KindVirtual));
        }
    }
    SortLevel(roots_);
}

const TTreeNode* TStationTree::Node(TNodeRef ref) const {
    if (ref.top < 0 || ref.top >= static_cast<int>(roots_.size())) return nullptr;
    const TTreeNode& top = roots_[static_cast<std::size_t>(ref.top)];
    if (ref.child < 0) return &top;
    if (ref.child >= static_cast<int>(top.children.size())) return nullptr;
    return &top.children[static_cast<std::size_t>(ref.child)];
}

std::vector<TNodeRef> TStationTree::InTreeOrder() const {
    std::vector<TNodeRef> order;
    order.reserve(static_cast<std::size_t>(NodeCount()));
    for (int t = 0; t < static_cast<int>(roots_.size()); ++t) {
        order.push_back({t, -1});
        const int children = static_cast<int>(roots_[static_cast<std::size_t>(t)].children.size());
        for (int c = 0; c < children; ++c) order.push_back({t, c});
    }
    return order;
}

TNodeRef TStationTree::Find(const std::string& text) const {
    for (const TNodeRef ref : InTreeOrder())
        if (Node(ref)->text == text) return ref;
    return {};
}

bool TStationTree::Toggle(TNodeRef ref) {
    if (!Node(ref)) return false;
    TTreeNode& top = roots_[static_cast<std::size_t>(ref.top)];
    TTreeNode& node = ref.child < 0 ? top : top.children[static_cast<std::size_t>(ref.child)];
    if (IsGroupKind(node.kind)) {
        node.tick = node.tick == TickTicked ? TickClear : TickTicked;
        for (auto& child : node.children) child.tick = node.tick;
        return true;
    }
    if (node.kind < KindStation || node.kind > KindVirtual) return false;
    node.tick = node.tick == TickTicked ? TickClear : TickTicked;
    if (ref.child >= 0) top.tick = ParentTick(top);
    return true;
}

int TStationTree::NodeCount() const {
    int count = 0;
    for (const auto& top : roots_) count += 1 + static_cast<int>(top.children.size());
    return count;
}

bool NodeKeyAndLabel(const TTreeNode& node, const std::vector<TVirtualEntry>& entries, std::string& key,
                     std::string& label) {
    key.clear();
    label.clear();
    if (IsStationKind(node.kind)) {
        const auto blank = node.text.find(' ');
        key = node.text.substr(0, blank);
        label = blank == std::string::npos ? std::string() : node.text.substr(blank + 1);
        return true;
    }
    if (node.kind != KindVirtual) return false;
    const TVirtualEntry* entry = VirtualEntryOf(entries, node.text);
    if (!entry) return false;
    key = entry->formula;
    label = entry->label;
    return true;
}

TStationSet ComputeStationSet(const TStationTree& tree, TNodeRef& selected, const std::vector<TVirtualEntry>& entries) {
    TStationSet set;
    std::string key;
    std::string label;
    for (const TNodeRef ref : tree.InTreeOrder()) {
        const TTreeNode& node = *tree.Node(ref);
        if (node.tick != TickTicked || !NodeKeyAndLabel(node, entries, key, label) || key.empty()) continue;
        set.keys.push_back(key);
        set.labels.push_back(label);
    }
    if (!set.keys.empty()) {
        set.setMode = true;
        set.title = "Kiv - zespół stacji";
        set.column = ColStationSet;
        return set;
    }
    if (!tree.Node(selected)) selected = tree.Empty() ? TNodeRef{} : TNodeRef{0, -1};
    const TTreeNode* node = tree.Node(selected);
    if (node && NodeKeyAndLabel(*node, entries, key, label)) {
        set.keys.push_back(key);
        set.labels.push_back(label);
    }
    set.title = set.labels.empty() ? "Kiv" : "Kiv - " + node->text;
    set.column = node ? ColumnOfKind(node->kind) : ColNoStation;
    return set;
}

} // namespace kiv
