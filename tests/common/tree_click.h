#pragma once
// Clicks a node of the main window's station tree the way a user does, so the
// window recomputes its station set, title and command availability.
#include <QTest>
#include <string>

#include "shell/main_window.h"
#include "shell/station_tree_view.h"

namespace kiv::test {

// False when the tree has no node of that text.
[[nodiscard]] inline bool ClickNode(TF_Main& main, const std::string& node) {
    QTreeWidgetItem* item = main.TreeView()->ItemOf(main.Tree().Find(node));
    if (!item) return false;
    QTest::mouseClick(main.TreeView()->viewport(), Qt::LeftButton, {}, main.TreeView()->visualItemRect(item).center());
    return true;
}

} // namespace kiv::test
