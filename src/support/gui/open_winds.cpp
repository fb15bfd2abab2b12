#include "open_winds.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kiv {

TFOpenWinds::TFOpenWinds(QWidget *parent)
    : QDialog(parent), list_(new QListWidget(this)), show_(new QPushButton(QStringLiteral("Pokaż"), this)),
      close_(new QPushButton(QStringLiteral("Zamknij"), this)),
      cancel_(new QPushButton(QStringLiteral("Anuluj"), this)) {
    setObjectName(QStringLiteral("TFOpenWinds"));
    setWindowTitle(QStringLiteral("Otwarte okna"));
    list_->setObjectName(QStringLiteral("ListBox_Okna"));
    show_->setObjectName(QStringLiteral("Button_Pokaz"));
    close_->setObjectName(QStringLiteral("Button_Zamknij"));
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    show_->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(show_);
    buttons->addWidget(close_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ShowChosen(); });
    connect(show_, &QPushButton::clicked, this, [this] { ShowChosen(); });
    connect(close_, &QPushButton::clicked, this, [this] { CloseChosen(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

void TFOpenWinds::RegisterWindow(QWidget *window) {
    if (!window || IndexOf(window) >= 0)
        return;
    windows_.emplace_back(window);
    connect(window, &QObject::destroyed, this, [this](QObject *gone) { Forget(gone); });
    if (isVisible())
        Refresh();
}

void TFOpenWinds::UnregisterWindow(int index) {
    if (index < 0 || index >= Count())
        return;
    QWidget *window = windows_[index];
    windows_.erase(windows_.begin() + index);
    if (window)
        disconnect(window, &QObject::destroyed, this, nullptr);
    if (isVisible())
        Refresh();
}

int TFOpenWinds::IndexOf(const QWidget *window) const {
    for (int i = 0; i < Count(); ++i)
        if (windows_[i] == window)
            return i;
    return -1;
}

QWidget *TFOpenWinds::Window(int index) const {
    return index >= 0 && index < Count() ? windows_[index].data() : nullptr;
}

QStringList TFOpenWinds::Captions() const {
    QStringList captions;
    for (const QPointer<QWidget> &window : windows_)
        captions << (window ? window->windowTitle() : QString());
    return captions;
}

void TFOpenWinds::showEvent(QShowEvent *event) {
    Refresh();
    QDialog::showEvent(event);
}

// By the time a window's destroyed signal arrives its guard may already read
// null, so both the guard and the address are checked.
void TFOpenWinds::Forget(QObject *destroyed) {
    std::erase_if(windows_, [destroyed](const QPointer<QWidget> &w) {
        return w.isNull() || static_cast<QObject *>(w.data()) == destroyed;
    });
    if (isVisible())
        Refresh();
}

void TFOpenWinds::Refresh() {
    const int row = std::max(0, list_->currentRow());
    list_->clear();
    list_->addItems(Captions());
    if (list_->count() > 0)
        list_->setCurrentRow(std::min(row, list_->count() - 1));
    UpdateButtons();
}

void TFOpenWinds::UpdateButtons() {
    const bool chosen = Window(list_->currentRow()) != nullptr;
    show_->setEnabled(chosen);
    close_->setEnabled(chosen);
}

// A minimised window comes back in the state it had before (maximised stays maximised).
void TFOpenWinds::ShowChosen() {
    QPointer<QWidget> window = Window(list_->currentRow());
    if (!window)
        return;
    accept();
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// A window may refuse to close (unsaved changes the operator keeps); it then stays listed.
void TFOpenWinds::CloseChosen() {
    const int row = list_->currentRow();
    QPointer<QWidget> window = Window(row);
    if (!window)
        return;
    window->close();
    if (window && !window->isVisible())
        UnregisterWindow(IndexOf(window));
    Refresh();
}

TFOpenWinds &OpenWindows() {
    // Lives as long as the program; the windows it lists come and go.
    static TFOpenWinds *instance = new TFOpenWinds;
    return *instance;
}

} // namespace kiv
