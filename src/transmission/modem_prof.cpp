#include "transmission/modem_prof.h"

#include "comm/comm_module.h"
#include "support/gui/form_fields.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kiv {

TFModemProf::TFModemProf(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), init_(new QLineEdit(this)), port_(new QComboBox(this)),
      speed_(new QComboBox(this)), ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Anuluj"), this)) {
    setObjectName(QStringLiteral("TFModemProf"));
    setWindowTitle(QStringLiteral("Edycja profilu modemu"));
    name_->setObjectName(QStringLiteral("Edit_Nazwa"));
    init_->setObjectName(QStringLiteral("Edit_Init"));
    port_->setObjectName(QStringLiteral("ComboBox_Port"));
    speed_->setObjectName(QStringLiteral("ComboBox_Speed"));
    ok_->setObjectName(QStringLiteral("Button_OK"));
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    // Room for a long AT command without scrolling.
    init_->setMinimumWidth(QFontMetrics(init_->font()).averageCharWidth() * 32);
    AddComPorts(port_);
    for (const int rate : kBaudRates) speed_->addItem(QString::number(rate));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nazwa:"), name_);
    form->addRow(QStringLiteral("Rozkaz inicjujący:"), init_);
    form->addRow(QStringLiteral("Port szeregowy:"), port_);
    form->addRow(QStringLiteral("Prędkość transmisji:"), speed_);
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(name_, &QLineEdit::textChanged, this, &TFModemProf::UpdateOk);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFModemProf::Setup(const TModemProfile& profile) {
    name_->setText(ToQString(profile.name));
    init_->setText(ToQString(profile.initString));
    SelectText(port_, profile.port, port_->findText(QStringLiteral("COM1")));
    SelectText(speed_, profile.speed, speed_->findText(QStringLiteral("9600")));
    UpdateOk();
    name_->setFocus();
}

bool TFModemProf::Execute(TModemProfile& profile) {
    Setup(profile);
    if (exec() != QDialog::Accepted) return false;
    profile = Edited();
    return true;
}

TModemProfile TFModemProf::Edited() const {
    return {name_->text().trimmed().toStdString(), init_->text().trimmed().toStdString(),
            port_->currentText().toStdString(), speed_->currentText().toStdString()};
}

// Blanks alone are no name: Kiv.ini keeps values trimmed.
void TFModemProf::UpdateOk() { ok_->setEnabled(!name_->text().trimmed().isEmpty()); }

} // namespace kiv
