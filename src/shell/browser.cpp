#include "shell/browser.h"

#include "shell/model/station_picker.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kiv {

namespace {
constexpr int kTopRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;
} // namespace

TFBrowser::TFBrowser(QWidget* parent)
    : QDialog(parent), tree_(new QTreeWidget(this)), ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Anuluj"), this)) {
    setObjectName(QStringLiteral("TFBrowser"));
    setWindowTitle(QStringLiteral("Wybór stacji"));
    tree_->setObjectName(QStringLiteral("TreeView_Stacje"));
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setUniformRowHeights(true);
    tree_->setIconSize(QSize(TickAreaWidth() + kNodeImageSize, kNodeImageSize));
    ok_->setObjectName(QStringLiteral("Button_OK"));
    ok_->setDefault(true);
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);
    resize(340, 460);

    connect(tree_, &QTreeWidget::itemClicked, this, &TFBrowser::OnClicked);
    // The keyboard ticks the highlighted station as a click does.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), tree_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] { OnClicked(tree_->currentItem()); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFBrowser::reject);
}

void TFBrowser::Setup(const std::vector<TTreeNode>& nodes) {
    nodes_ = nodes;
    tree_->clear();
    for (int t = 0; t < static_cast<int>(nodes_.size()); ++t) {
        const TTreeNode& top = nodes_[static_cast<std::size_t>(t)];
        auto* item = new QTreeWidgetItem(tree_);
        item->setData(0, kTopRole, t);
        item->setData(0, kChildRole, -1);
        Decorate(item, top);
        for (int c = 0; c < static_cast<int>(top.children.size()); ++c) {
            auto* child = new QTreeWidgetItem(item);
            child->setData(0, kTopRole, t);
            child->setData(0, kChildRole, c);
            Decorate(child, top.children[static_cast<std::size_t>(c)]);
        }
    }
    tree_->expandAll();
    if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
    tree_->setFocus();
}

void TFBrowser::Execute(std::vector<TTreeNode>& nodes) {
    Setup(nodes);
    exec();
    nodes = nodes_;
}

void TFBrowser::Decorate(QTreeWidgetItem* item, const TTreeNode& node) {
    item->setText(0, QString::fromStdString(node.text));
    item->setIcon(0, icons_.Icon(node.kind, node.tick, true));
}

TNodeRef TFBrowser::RefOf(const QTreeWidgetItem* item) const {
    if (!item) return {};
    return {item->data(0, kTopRole).toInt(), item->data(0, kChildRole).toInt()};
}

QTreeWidgetItem* TFBrowser::ItemOf(const std::string& text) const {
    const QList<QTreeWidgetItem*> found =
        tree_->findItems(QString::fromStdString(text), Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void TFBrowser::OnClicked(QTreeWidgetItem* item) {
    const TNodeRef ref = RefOf(item);
    if (PickerToggle(nodes_, ref)) Decorate(item, *PickerNode(nodes_, ref));
}

void TFBrowser::reject() {
    ClearTicks(nodes_);
    QDialog::reject();
}

} // namespace kiv
