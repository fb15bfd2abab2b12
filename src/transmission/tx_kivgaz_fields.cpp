#include "transmission/tx_kivgaz_fields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include "comm/transporter.h"
#include "config/program_settings.h"
#include "support/gui/form_fields.h"
#include "support/messages.h"

namespace kiv {

TKivGazFields::TKivGazFields(QWidget* parent) : QGroupBox("Przenośnik", parent) {
    address_ = MakeSpin(this, "SpinEdit_Address", 1, 65535);
    port_ = new QComboBox(this);
    port_->setObjectName("ComboBox_Port");
    AddComPorts(port_);
    auto* speed = new QLabel(QString::number(kKivGazBaud), this);
    speed->setObjectName("Label_Speed");
    auto* parity = new QLabel("None", this);
    parity->setObjectName("Label_Parity");
    auto* form = new QFormLayout(this);
    form->addRow("Adres przenośnika:", address_);
    form->addRow("Port szeregowy:", port_);
    form->addRow("Prędkość transmisji:", speed);
    form->addRow("Kontrola parzystości:", parity);
    connect(address_, &QSpinBox::valueChanged, this, [this] {
        if (!filling_) emit changed();
    });
    connect(port_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        MarkUserChanged(port_);
        emit changed();
    });
}

void TKivGazFields::Load(const std::string& kivIni) {
    const TProgramSettings settings(kivIni);
    filling_ = true;
    MarkUserChanged(port_, false);
    address_->setValue(settings.KivGazAddress());
    storedPort_ = settings.KivGazComNumber();
    SelectText(port_, storedPort_, 0);
    filling_ = false;
}

bool TKivGazFields::Save(const std::string& kivIni) const {
    const TProgramSettings settings(kivIni);
    if (settings.SetKivGazAddress(Address()) && settings.SetKivGazComNumber(Port())) return true;
    (void)MessageDlg(kKivGazTitle, "Nie można zapisać ustawień przenośnika w pliku " + kivIni, MsgError, BtnOk);
    return false;
}

int TKivGazFields::Address() const {
    return address_->value();
}

std::string TKivGazFields::Port() const {
    const std::string port = KeptText(port_, storedPort_);
    return port.empty() ? port_->itemText(0).toStdString() : port;
}

void TKivGazFields::SetLocked(bool locked) {
    address_->setEnabled(!locked);
    port_->setEnabled(!locked);
}

} // namespace kiv
