#pragma once
// The tick rules of the station picker "Wybór stacji". The picker works on a
// copy of the main window's tree nodes; the caller marks the stations it has
// already chosen as partly ticked, which makes them unchangeable. A click
// ticks or unticks a station; groups, virtual stations and partly ticked
// stations stay as they are. Leaving with "Anuluj" clears every tick.
#include "shell/model/station_tree.h"

#include <functional>
#include <string>
#include <vector>

namespace kiv {

// A copy of the tree's roots for the picker, every station whose node text
// `chosen` accepts marked partly ticked.
[[nodiscard]] std::vector<TTreeNode> PickerNodes(const std::vector<TTreeNode>& roots,
                                                 const std::function<bool(const std::string&)>& chosen);

// The node of the reference; null when there is none.
[[nodiscard]] TTreeNode* PickerNode(std::vector<TTreeNode>& nodes, TNodeRef ref);
// True when the tick changed.
bool PickerToggle(std::vector<TTreeNode>& nodes, TNodeRef ref);
void ClearTicks(std::vector<TTreeNode>& nodes);
// The texts of the ticked nodes, in tree order.
[[nodiscard]] std::vector<std::string> TickedTexts(const std::vector<TTreeNode>& nodes);

} // namespace kiv
