#include "transmission/tx_progress.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kiv {

// A round indicator lamp with its caption beside it.
class TTxLamp : public QWidget {
public:
    TTxLamp(const QString& caption, QColor onColor, QWidget* parent) : QWidget(parent), onColor_(onColor) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(18, 0, 0, 0);
        row->addWidget(new QLabel(caption, this));
        setMinimumHeight(18);
    }
    void SetOn(bool on) {
        if (on_ == on)
            return;
        on_ = on;
        update();
    }
    bool On() const { return on_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::darkGray);
        painter.setBrush(on_ ? onColor_ : palette().color(QPalette::Window).darker(130));
        const int d = 12;
        painter.drawEllipse(2, (height() - d) / 2, d, d);
    }

private:
    QColor onColor_;
    bool on_ = false;
};

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

Qt::CheckState ToQt(TxCheck state) {
    switch (state) {
    case TxCheck::Checked: return Qt::Checked;
    case TxCheck::Grayed: return Qt::PartiallyChecked;
    case TxCheck::Unchecked: break;
    }
    return Qt::Unchecked;
}

} // namespace

TFTxProgress::TFTxProgress(QWidget* parent)
    : QDialog(parent), connection_(new QLabel(this)), status_(new QLabel(this)), clock_(new QLabel(this)),
      bar_(new QProgressBar(this)), counter_(new QLabel(FormatElapsed(0).c_str(), this)),
      list_(new QListWidget(this)), exit_(new QPushButton(kExitCancel, this)) {
    setWindowTitle("Postęp transmisji");
    setModal(false);

    auto* lines = new QFormLayout;
    lines->addRow("Łącze", connection_);
    lines->addRow("Status", status_);
    lines->addRow("Zegar urządzenia", clock_);
    lines->addRow("Postęp bieżący", bar_);
    lines->addRow("Czas trwania", counter_);
    bar_->setRange(0, 100);
    bar_->setValue(0);

    auto* lampRow = new QHBoxLayout;
    lamps_[0] = new TTxLamp("Nadawanie", Qt::red, this);
    lamps_[1] = new TTxLamp("Czekanie", Qt::yellow, this);
    lamps_[2] = new TTxLamp("Odbiór", Qt::green, this);
    for (TTxLamp* lamp : lamps_)
        lampRow->addWidget(lamp);

    auto* listBox = new QGroupBox("Pomiary", this);
    auto* listLayout = new QVBoxLayout(listBox);
    listLayout->addWidget(list_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exit_);
    exit_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lines);
    layout->addLayout(lampRow);
    layout->addWidget(listBox, 1);
    layout->addLayout(buttons);
    resize(460, 420);

    tick_.setInterval(250);
    connect(&tick_, &QTimer::timeout, this, &TFTxProgress::Tick);
    connect(exit_, &QPushButton::clicked, this, &TFTxProgress::PressExit);
}

void TFTxProgress::Reset(const std::string& stationLabel) {
    setWindowTitle(Q("Postęp transmisji - " + stationLabel));
    connection_->clear();
    status_->clear();
    clock_->clear();
    bar_->setValue(0);
    list_->clear();
    for (TTxLamp* lamp : lamps_)
        lamp->SetOn(false);
    cancel_ = closed_ = false;
    limitReached_ = false;
    exit_->setEnabled(false);
    exit_->setText(kExitCancel);
    show();
    StartCounter();
}

void TFTxProgress::SetConnection(const std::string& text) { connection_->setText(Q(text)); }
void TFTxProgress::SetStatus(const std::string& text) { status_->setText(Q(text)); }
void TFTxProgress::SetClock(const std::string& text) { clock_->setText(Q(text)); }
void TFTxProgress::SetBar(int percent) { bar_->setValue(std::clamp(percent, 0, 100)); }

void TFTxProgress::StartCounter() {
    elapsed_.start();
    stoppedAt_ = 0;
    counter_->setText(FormatElapsed(0).c_str());
    tick_.start();
}

void TFTxProgress::StopCounter() {
    stoppedAt_ = ElapsedSeconds();
    elapsed_.invalidate();
    tick_.stop();
    counter_->setText(FormatElapsed(stoppedAt_).c_str());
}

void TFTxProgress::SetCounterLimit(int seconds) { limit_ = std::max(seconds, 0); }

int TFTxProgress::ElapsedSeconds() const {
    return elapsed_.isValid() ? static_cast<int>(elapsed_.elapsed() / 1000) : stoppedAt_;
}

void TFTxProgress::Tick() {
    const int seconds = ElapsedSeconds();
    counter_->setText(FormatElapsed(seconds).c_str());
    if (limit_ > 0 && seconds >= limit_)
        limitReached_ = true;
}

void TFTxProgress::SetLamp(TxLamp lamp, bool on) { lamps_[static_cast<int>(lamp)]->SetOn(on); }

void TFTxProgress::FillCheckList(const std::vector<std::string>& names) {
    list_->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(Q(name), list_);
        // The list reports progress; the user does not tick it.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
}

void TFTxProgress::MarkItem(int index, TxCheck state) {
    QListWidgetItem* item = list_->item(index);
    if (item == nullptr)
        return;
    item->setCheckState(ToQt(state));
    item->setForeground(state == TxCheck::Grayed ? palette().color(QPalette::Disabled, QPalette::Text)
                                                 : palette().color(QPalette::Text));
    if (index + 1 < list_->count()) {
        list_->setCurrentRow(index + 1);
        list_->scrollToItem(list_->item(index + 1));
    }
}

void TFTxProgress::SetExitEnabled(bool enabled) { exit_->setEnabled(enabled); }
void TFTxProgress::SetExitCaption(const std::string& caption) { exit_->setText(Q(caption)); }

void TFTxProgress::PressExit() {
    if (!exit_->isEnabled())
        return;
    if (exit_->text() == kExitOk) {
        closed_ = true;
        hide();
    } else {
        cancel_ = true;
    }
}

QString TFTxProgress::ConnectionText() const { return connection_->text(); }
QString TFTxProgress::StatusText() const { return status_->text(); }
QString TFTxProgress::ClockText() const { return clock_->text(); }
QString TFTxProgress::CounterText() const { return counter_->text(); }
int TFTxProgress::BarValue() const { return bar_->value(); }
bool TFTxProgress::LampOn(TxLamp lamp) const { return lamps_[static_cast<int>(lamp)]->On(); }

void TFTxProgress::closeEvent(QCloseEvent* event) {
    if (!event->spontaneous()) {
        tick_.stop();
        event->accept();
        return;
    }
    PressExit();
    if (closed_)
        event->accept();
    else
        event->ignore();
}

// Escape must not hide a running read-out's window; it presses the exit button.
void TFTxProgress::reject() { PressExit(); }

} // namespace kiv
