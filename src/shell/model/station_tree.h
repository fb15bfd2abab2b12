#pragma once
// The main window's station tree as plain data: groups, stations and virtual
// stations with their node kind and tick state. The window mirrors it in a
// tree view; building, ticking and deriving the station set happen here so
// they can be checked without any widget.
#include "config/program_settings.h"
#include "config/station_db.h"

#include <string>
#include <vector>

namespace kiv {

// Image index of a node; a group shows kind 1 while selected.
enum NodeKind : int {
    KindGroup = 0,
    KindGroupSelected = 1,
    KindStation = 5,   // device profile, no telephone number
    KindNoProfile = 6, // no device profile
    KindModem = 7,     // profile, telephone number and modem profile
    KindPhone = 8,     // profile and telephone number, no modem profile
    KindVirtual = 9,
};

// State image index of a node.
enum TickState : int { TickClear = 2, TickPartly = 3, TickTicked = 4 };

struct TTreeNode {
    std::string text;
    int kind = KindStation;
    int tick = TickClear;
    std::vector<TTreeNode> children;
};

// A node of the two-level tree: top-level index and child index (-1 for the
// top-level node itself). An invalid reference has top -1.
struct TNodeRef {
    int top = -1;
    int child = -1;
    [[nodiscard]] bool Valid() const { return top >= 0; }
    bool operator==(const TNodeRef&) const = default;
};

[[nodiscard]] int StationNodeKind(const TRekStacji& station);
// "00012 Label".
[[nodiscard]] std::string StationNodeText(const TRekStacji& station);
[[nodiscard]] inline bool IsGroupKind(int kind) { return kind == KindGroup || kind == KindGroupSelected; }
[[nodiscard]] inline bool IsStationKind(int kind) { return kind >= KindStation && kind <= KindPhone; }

class TStationTree {
public:
    // Groups and stations from the list; with tick mode also the virtual
    // stations (raw entries of the data folder's virtual section). Every
    // level is sorted by text.
    void Build(const std::vector<TRekStacji>& stations, const std::vector<std::string>& virtualEntries,
               bool tickMode);
    void Clear() { roots_.clear(); }

    [[nodiscard]] const std::vector<TTreeNode>& Roots() const { return roots_; }
    [[nodiscard]] bool Empty() const { return roots_.empty(); }
    [[nodiscard]] const TTreeNode* Node(TNodeRef ref) const;
    // Every node in tree order (each top-level node followed by its children).
    [[nodiscard]] std::vector<TNodeRef> InTreeOrder() const;
    // The first node in tree order with exactly this text; invalid when none.
    [[nodiscard]] TNodeRef Find(const std::string& text) const;
    // Toggles the node's tick as a click on its tick box does; the group of a
    // station follows its children. False when the node takes no tick.
    bool Toggle(TNodeRef ref);
    // Number of nodes, children included.
    [[nodiscard]] int NodeCount() const;

private:
    std::vector<TTreeNode> roots_;
};

// What the selection stands for: the station set (ticked nodes, or the
// selected node when nothing is ticked), the window title and the column of
// the availability table.
struct TStationSet {
    std::vector<std::string> keys;
    std::vector<std::string> labels;
    bool setMode = false;
    std::string title;
    int column = 0; // an AvailabilityColumn
};

// The first entry with exactly this label; null when none.
[[nodiscard]] const TVirtualEntry* VirtualEntryOf(const std::vector<TVirtualEntry>& entries,
                                                  const std::string& label);

// Key and label of one node: a station gives its five digits and label, a
// virtual station its member formula and label (via the entries). False for
// a group or a virtual station without entry or without members.
[[nodiscard]] bool NodeKeyAndLabel(const TTreeNode& node, const std::vector<TVirtualEntry>& entries,
                                   std::string& key, std::string& label);

// Recomputes the station set. When nothing is ticked and no node is
// selected, the first node becomes the selected one (selected is updated).
[[nodiscard]] TStationSet ComputeStationSet(const TStationTree& tree, TNodeRef& selected,
                                            const std::vector<TVirtualEntry>& entries);

} // namespace kiv
