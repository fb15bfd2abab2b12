#include "shell/model/station_picker.h"

namespace kiv {

std::vector<TTreeNode> PickerNodes(const std::vector<TTreeNode>& roots,
                                   const std::function<bool(const std::string&)>& chosen) {
    std::vector<TTreeNode> nodes = roots;
    const auto fix = [&chosen](TTreeNode& node) {
        if (IsStationKind(node.kind) && chosen(node.text)) node.tick = TickPartly;
    };
    for (TTreeNode& top : nodes) {
        fix(top);
        for (TTreeNode& child : top.children) fix(child);
    }
    return nodes;
}

TTreeNode* PickerNode(std::vector<TTreeNode>& nodes, TNodeRef ref) {
    if (!ref.Valid() || static_cast<std::size_t>(ref.top) >= nodes.size()) return nullptr;
    TTreeNode& top = nodes[static_cast<std::size_t>(ref.top)];
    if (ref.child < 0) return &top;
    return static_cast<std::size_t>(ref.child) < top.children.size() ? &top.children[static_cast<std::size_t>(ref.child)]
                                                                     : nullptr;
}

bool PickerToggle(std::vector<TTreeNode>& nodes, TNodeRef ref) {
    TTreeNode* node = PickerNode(nodes, ref);
    if (!node || !IsStationKind(node->kind) || node->tick == TickPartly) return false;
    node->tick = node->tick == TickTicked ? TickClear : TickTicked;
    return true;
}

void ClearTicks(std::vector<TTreeNode>& nodes) {
    for (auto& node : nodes) {
        node.tick = TickClear;
        ClearTicks(node.children);
    }
}

std::vector<std::string> TickedTexts(const std::vector<TTreeNode>& nodes) {
    std::vector<std::string> texts;
    for (const auto& node : nodes) {
        if (node.tick == TickTicked) texts.push_back(node.text);
        for (const auto& child : node.children)
            if (child.tick == TickTicked) texts.push_back(child.text);
    }
    return texts;
}

} // namespace kiv
