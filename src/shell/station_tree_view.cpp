#include "shell/station_tree_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace kiv {

namespace {
constexpr int kTopRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;
} // namespace

TStationTreeView::TStationTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("TreeView_Stacje"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSortingEnabled(false); // the data arrives sorted
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIconSize(QSize(TickAreaWidth() + kNodeImageSize, kNodeImageSize));
    header()->setStretchLastSection(true);
}

void TStationTreeView::ShowTree(const TStationTree& tree, bool withTicks) {
    withTicks_ = withTicks;
    setUpdatesEnabled(false);
    clear();
    QList<QTreeWidgetItem*> tops;
    tops.reserve(static_cast<qsizetype>(tree.Roots().size()));
    for (int t = 0; t < static_cast<int>(tree.Roots().size()); ++t) {
        const TTreeNode& top = tree.Roots()[static_cast<std::size_t>(t)];
        auto* item = new QTreeWidgetItem;
        item->setData(0, kTopRole, t);
        item->setData(0, kChildRole, -1);
        Decorate(item, top);
        for (int c = 0; c < static_cast<int>(top.children.size()); ++c) {
            auto* child = new QTreeWidgetItem(item);
            child->setData(0, kTopRole, t);
            child->setData(0, kChildRole, c);
            Decorate(child, top.children[static_cast<std::size_t>(c)]);
        }
        tops.push_back(item);
    }
    addTopLevelItems(tops);
    expandAll();
    setUpdatesEnabled(true);
}

void TStationTreeView::Decorate(QTreeWidgetItem* item, const TTreeNode& node) {
    item->setText(0, QString::fromStdString(node.text));
    item->setIcon(0, icons_.Icon(node.kind, node.tick, withTicks_));
}

void TStationTreeView::RefreshTicks(const TStationTree& tree, TNodeRef ref) {
    const TNodeRef topRef{ref.top, -1};
    QTreeWidgetItem* top = ItemOf(topRef);
    const TTreeNode* node = tree.Node(topRef);
    if (!top || !node) return;
    Decorate(top, *node);
    for (int c = 0; c < top->childCount() && c < static_cast<int>(node->children.size()); ++c)
        Decorate(top->child(c), node->children[static_cast<std::size_t>(c)]);
}

TNodeRef TStationTreeView::RefOf(const QTreeWidgetItem* item) const {
    if (!item) return {};
    return {item->data(0, kTopRole).toInt(), item->data(0, kChildRole).toInt()};
}

QTreeWidgetItem* TStationTreeView::ItemOf(TNodeRef ref) const {
    if (!ref.Valid() || ref.top >= topLevelItemCount()) return nullptr;
    QTreeWidgetItem* top = topLevelItem(ref.top);
    if (ref.child < 0) return top;
    return ref.child < top->childCount() ? top->child(ref.child) : nullptr;
}

void TStationTreeView::SelectRef(TNodeRef ref) {
    QTreeWidgetItem* item = ItemOf(ref);
    if (!item) return;
    setCurrentItem(item);
    scrollToItem(item);
}

int TStationTreeView::TickLeft(const QTreeWidgetItem* item) const {
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return visualItemRect(item).left() + margin;
}

QPoint TStationTreeView::TickPoint(TNodeRef ref) const {
    const QTreeWidgetItem* item = ItemOf(ref);
    if (!item) return {};
    return {TickLeft(item) + kNodeImageSize / 2, visualItemRect(item).center().y()};
}

void TStationTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item) return;
    const int x = event->position().toPoint().x();
    const int left = TickLeft(item);
    const bool onTick = withTicks_ && x >= left && x < left + kNodeImageSize;
    emit NodeClicked(RefOf(item), onTick);
}

void TStationTreeView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (currentItem()) emit SpacePressed(CurrentRef());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace kiv
