#pragma once
// The list of open windows ("Otwarte okna"). Report and graph windows register
// themselves when shown and unregister when closed; a destroyed window leaves
// the list by itself. The operator opens the list from the "Okna" menu to
// bring a window to the front or to close it.
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <vector>

class QListWidget;
class QPushButton;

namespace kiv {

class TFOpenWinds : public QDialog {
    Q_OBJECT
  public:
    explicit TFOpenWinds(QWidget *parent = nullptr);

    // Adds the window unless it is listed already.
    void RegisterWindow(QWidget *window);
    // Removes the entry at the index; an index outside the list does nothing.
    void UnregisterWindow(int index);
    // -1 when the window is not listed.
    int IndexOf(const QWidget *window) const;
    int Count() const { return static_cast<int>(windows_.size()); }
    QWidget *Window(int index) const;
    QStringList Captions() const;

    QListWidget *List() const { return list_; }
    QPushButton *ShowButton() const { return show_; }
    QPushButton *CloseButton() const { return close_; }
    QPushButton *CancelButton() const { return cancel_; }

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void Forget(QObject *destroyed);
    void Refresh();
    void UpdateButtons();
    void ShowChosen();
    void CloseChosen();

    std::vector<QPointer<QWidget>> windows_;
    QListWidget *list_;
    QPushButton *show_;
    QPushButton *close_;
    QPushButton *cancel_;
};

// The program's one list of open windows.
TFOpenWinds &OpenWindows();

} // namespace kiv
