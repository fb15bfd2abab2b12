#pragma once
// The station picker TFBrowser ("Wybór stacji"). It is handed a copy of the
// main window's tree nodes with their tick states and hands them back with
// the stations the user ticked; the tick rules are those of station_picker.h.
// The caller reads the picked stations from the ticks (TickedTexts).
#include "shell/model/station_tree.h"
#include "shell/node_icons.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kiv {

class TFBrowser : public QDialog {
    Q_OBJECT
public:
    explicit TFBrowser(QWidget* parent = nullptr);

    // Shows the nodes without waiting.
    void Setup(const std::vector<TTreeNode>& nodes);
    // Setup, then modal; nodes come back with the ticks as the dialog left them.
    void Execute(std::vector<TTreeNode>& nodes);

    [[nodiscard]] const std::vector<TTreeNode>& Nodes() const { return nodes_; }
    [[nodiscard]] QTreeWidget* Tree() const { return tree_; }
    // The row of a node text; null when there is none.
    [[nodiscard]] QTreeWidgetItem* ItemOf(const std::string& text) const;
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

public slots:
    // "Anuluj", Escape and the close box: every tick is cleared.
    void reject() override;

private:
    void OnClicked(QTreeWidgetItem* item);
    void Decorate(QTreeWidgetItem* item, const TTreeNode& node);
    [[nodiscard]] TNodeRef RefOf(const QTreeWidgetItem* item) const;

    std::vector<TTreeNode> nodes_;
    TNodeIcons icons_;
    QTreeWidget* tree_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kiv
