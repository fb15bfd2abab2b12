#include "capacity/moc_zamowiona.h"

#include "support/messages.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace kiv {

namespace {
constexpr const char* kTitle = "Moc zamówiona";
} // namespace

TFMocZamowiona::TFMocZamowiona(QWidget* parent)
    : QDialog(parent), station_(new QLabel(this)), field_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)), cancel_(new QPushButton(QStringLiteral("Anuluj"), this)) {
    setObjectName(QStringLiteral("TFMocZamowiona"));
    setWindowTitle(QString::fromUtf8(kTitle));
    station_->setObjectName(QStringLiteral("Label_Stacja"));
    field_->setObjectName(QStringLiteral("Edit_Moc"));
    field_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), field_));
    field_->setAlignment(Qt::AlignRight);
    field_->setFixedWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
    ok_->setObjectName(QStringLiteral("Button1"));
    cancel_->setObjectName(QStringLiteral("Button2"));

    auto* value = new QHBoxLayout;
    value->addWidget(new QLabel(QString::fromUtf8(kTitle) + QLatin1Char(':'), this));
    value->addWidget(field_);
    value->addWidget(new QLabel(QStringLiteral("m3/h"), this));
    value->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(station_);
    layout->addLayout(value);
    layout->addLayout(buttons);
    setMinimumWidth(320);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textEdited, this, [this] { changed_ = true; });
    connect(ok_, &QPushButton::clicked, this, &TFMocZamowiona::accept);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        field_->clear();
        changed_ = false;
        QDialog::reject();
    });
}

bool TFMocZamowiona::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the field only moves on to "OK" (the dialog would press its
    // default button); a second Enter presses it.
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ok_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFMocZamowiona::Setup(const TCapacitySubject& subject) {
    subject_ = subject;
    station_->setText(QStringLiteral("Stacja: ") + QString::fromStdString(subject.nodeText));
    shown_ = ReadCapacity(subject);
    field_->setText(QString::fromStdString(shown_.value));
    changed_ = false;
    field_->setFocus();
    field_->selectAll();
}

void TFMocZamowiona::Execute(const TCapacitySubject& subject) {
    Setup(subject);
    exec();
}

bool TFMocZamowiona::Store() {
    const CapacityStore result = StoreCapacity(subject_, shown_, field_->text().toStdString());
    if (result == CapacityStore::WriteFailed) {
        (void)MessageDlg(kTitle, CapacityStoreMessage(result, subject_, shown_), MsgError, BtnOk);
        field_->setFocus();
        return false;
    }
    // Nowhere to keep the value: told, and the window closes as after a store.
    if (result == CapacityStore::NoEntry)
        (void)MessageDlg(kTitle, CapacityStoreMessage(result, subject_, shown_), MsgWarning, BtnOk);
    changed_ = false;
    return true;
}

void TFMocZamowiona::accept() {
    if (Store()) QDialog::accept();
}

void TFMocZamowiona::reject() {
    if (changed_ && MessageDlg("", "Zapamiętać wartość mocy ?", MsgConfirmation, BtnYes | BtnNo) == ResYes) {
        if (Store()) QDialog::accept();
        return;
    }
    changed_ = false;
    QDialog::reject();
}

} // namespace kiv
