#include "shell/station_tree_view.h"

#include "comm/readout_stats.h"
#include "config/station_db.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>

namespace kiv {

namespace {
constexpr int kTopRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;
constexpr int kAddressRole = Qt::UserRole + 2;

// The address at the front of a station node's text ("00012 Label"), or 0.
int NodeAddress(const TTreeNode& node) {
    if (!IsStationKind(node.kind)) return 0;
    bool ok = false;
    const int address = QString::fromStdString(node.text.substr(0, node.text.find(' '))).toInt(&ok);
    return ok && address >= 1 && address <= kMaxStationAddress ? address : 0;
}
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
    item->setData(0, kAddressRole, NodeAddress(node));
}

QString TStationTreeView::StatsTip(const QTreeWidgetItem* item) const {
    const int address = item ? item->data(0, kAddressRole).toInt() : 0;
    if (address == 0 || !statsFolder_) return {};
    const TStationStats stats = ReadStationStats(StationFilePath(statsFolder_(), address));
    return item->text(0) + QStringLiteral("\n") + QString::fromStdString(StationStatsTip(stats));
}

bool TStationTreeView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = StatsTip(itemAt(help->pos()));
    if (tip.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
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
