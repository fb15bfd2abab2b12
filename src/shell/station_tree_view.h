#pragma once
// The tree view of the main window. It shows a TStationTree (the window owns
// the data) and reports clicks, telling whether the click hit a tick box;
// Space reports a tick toggle of the current node. It changes nothing by
// itself: the window toggles the data and asks the view to refresh. A
// station node's tooltip shows the station's communication statistics, read
// from its station file when the tooltip is due.
#include "shell/node_icons.h"
#include "shell/model/station_tree.h"

#include <QTreeWidget>

#include <functional>
#include <string>

namespace kiv {

class TStationTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TStationTreeView(QWidget* parent = nullptr);

    // Replaces every item by the nodes of the tree.
    void ShowTree(const TStationTree& tree, bool withTicks);
    // Updates the icons of a top-level node and its children.
    void RefreshTicks(const TStationTree& tree, TNodeRef ref);

    [[nodiscard]] TNodeRef RefOf(const QTreeWidgetItem* item) const;
    [[nodiscard]] QTreeWidgetItem* ItemOf(TNodeRef ref) const;
    [[nodiscard]] TNodeRef CurrentRef() const { return RefOf(currentItem()); }
    void SelectRef(TNodeRef ref);
    // A point inside the tick box of the node (for clicks from tests and tools).
    [[nodiscard]] QPoint TickPoint(TNodeRef ref) const;
    // The data folder of the station files, asked for each tooltip; without it no tooltips.
    void SetStatsFolder(std::function<std::string()> dataFolder) { statsFolder_ = std::move(dataFolder); }
    // The tooltip of the item: the station's statistics, empty for other nodes.
    [[nodiscard]] QString StatsTip(const QTreeWidgetItem* item) const;

signals:
    void NodeClicked(kiv::TNodeRef ref, bool onTick);
    void SpacePressed(kiv::TNodeRef ref);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    [[nodiscard]] int TickLeft(const QTreeWidgetItem* item) const;
    void Decorate(QTreeWidgetItem* item, const TTreeNode& node);

    TNodeIcons icons_;
    bool withTicks_ = false;
    std::function<std::string()> statsFolder_;
};

} // namespace kiv
