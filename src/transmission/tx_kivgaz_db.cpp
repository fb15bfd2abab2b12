#include "transmission/tx_kivgaz_db.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/comm_module.h"
#include "comm/transporter.h"
#include "support/gui/form_fields.h"
#include "support/messages.h"
#include "transmission/tx_kivgaz_fields.h"

namespace kiv {

TFTxKivGazDB::TFTxKivGazDB(TFCommModule& comm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), comm_(comm) {
    setObjectName("TFTxKivGazDB");
    setWindowTitle("Programowanie przenośnika KivGAZ");
    fields_ = new TKivGazFields(this);
    line_ = new QLabel(this);
    line_->setObjectName("Label_Lacze");
    line_->setMinimumWidth(300);
    line_->setWordWrap(true);
    auto* lineForm = new QFormLayout;
    lineForm->addRow("Łącze:", line_);
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button_OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Anuluj", this);
    cancel_->setObjectName("Button_Anuluj");
    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("Button_Stop");
    apply_ = new QPushButton("Zastosuj", this);
    apply_->setObjectName("Button_Zastosuj");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields_);
    layout->addLayout(lineForm);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(ok_, &QPushButton::clicked, this, &TFTxKivGazDB::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxKivGazDB::reject);
    connect(stop_, &QPushButton::clicked, this, &TFTxKivGazDB::Stop);
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (!fields_->Save(kivIni_)) return;
        unsaved_ = false;
        apply_->setEnabled(false);
    });
    connect(fields_, &TKivGazFields::changed, this, [this] {
        unsaved_ = true;
        apply_->setEnabled(!open_);
    });
}

void TFTxKivGazDB::Setup(const std::string& kivIni) {
    kivIni_ = kivIni;
    fields_->Load(kivIni);
    unsaved_ = false;
    line_->clear();
    line_->setToolTip("");
    SetOpen(open_);
}

void TFTxKivGazDB::Run(const std::string& kivIni) {
    Setup(kivIni);
    exec();
}

QString TFTxKivGazDB::LineText() const {
    return line_->text();
}

void TFTxKivGazDB::SetOpen(bool open) {
    open_ = open;
    fields_->SetLocked(open);
    ok_->setEnabled(!open);
    cancel_->setEnabled(!open);
    stop_->setEnabled(open);
    apply_->setEnabled(!open && unsaved_);
}

bool TFTxKivGazDB::AskToSave() {
    if (!unsaved_) return true;
    const int answer = MessageDlg(kKivGazTitle, "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
    if (answer == ResCancel) return false;
    if (answer != ResYes) return true;
    if (!fields_->Save(kivIni_)) return false;
    unsaved_ = false;
    return true;
}

void TFTxKivGazDB::accept() {
    if (open_ || !AskToSave()) return;
    comm_.SetProgress(nullptr);
    comm_.SetLogFile("");
    if (!comm_.OpenDirect(KivGazLink(kivIni_, fields_->Port()))) {
        // The line holds the short text; what was tried and why is at hand on the pointer.
        line_->setText("Błąd otwarcia portu");
        line_->setToolTip(ToQString(comm_.OpenError()));
        SetOpen(false);
        return;
    }
    line_->setText(ToQString("Port otwarty, " + std::to_string(kKivGazBaud) + "Bd"));
    line_->setToolTip("");
    SetOpen(true);
    stop_->setFocus();
}

void TFTxKivGazDB::Stop() {
    if (!open_) return;
    comm_.ClosePort();
    line_->setText("Port zamknięty");
    SetOpen(false);
}

void TFTxKivGazDB::reject() {
    if (open_) return;
    if (unsaved_ && MessageDlg(kKivGazTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes) return;
    QDialog::reject();
}

} // namespace kiv
