#include "transmission/tx_init.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "comm/link_settings.h"
#include "config/text_case.h"
#include "support/gui/form_fields.h"
#include "transmission/tx_fields.h"
#include "transmission/tx_progress.h"

namespace kiv {

TFTxInit::TFTxInit(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : TFTxForm(comm, progress, kTxInitTitle, parent) {
    setObjectName("TFTxInit");
    setWindowTitle("Transmisja danych");
    port_ = new QComboBox(this);
    port_->setObjectName("ComboBox_Port");
    AddComPorts(port_);
    baud_ = new QComboBox(this);
    baud_->setObjectName("ComboBox_Baud");
    for (int rate : kBaudRates) baud_->addItem(QString::number(rate));
    // The serial-device server's rows are named as in the station configuration.
    ipAddress_ = new QLabel(this);
    ipAddress_->setObjectName("Label_IpAddress");
    ipAddress_->setToolTip("Serwer portu szeregowego stacji: IPAddr z pliku stacji");
    remotePort_ = new QLabel(this);
    remotePort_->setObjectName("Label_PortRemote");
    remotePort_->setToolTip("Port TCP serwera portu szeregowego stacji: PortRemote z pliku stacji");
    for (QLabel* label : {ipAddress_, remotePort_}) label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    BuildForm({}, {{"Adres IP:", ipAddress_},
                   {"Numer portu:", remotePort_},
                   {"Port szeregowy:", port_},
                   {"Prędkość transmisji:", baud_}});
    AddLines();
    LogBox()->setToolTip(QString("Zapis przesyłanych ramek do pliku %1 w bieżącym folderze").arg(kTxLogName));
    WatchChanges(port_);
    WatchChanges(baud_);
}

// The DTR and RTS boxes share a row below the parity, and Tab reaches them there.
void TFTxInit::AddLines() {
    dtr_ = new QCheckBox("DTR aktywny", this);
    dtr_->setObjectName("CheckBox_Dtr");
    rts_ = new QCheckBox("RTS aktywny", this);
    rts_->setObjectName("CheckBox_Rts");
    auto* lines = new QHBoxLayout;
    lines->addWidget(dtr_);
    lines->addWidget(rts_);
    lines->addStretch();
    lines_ = lines;
    int parityRow = 0;
    QFormLayout::ItemRole role;
    LinkForm()->getWidgetPosition(ParityCombo(), &parityRow, &role);
    LinkForm()->insertRow(parityRow + 1, lines);
    setTabOrder(ParityCombo(), dtr_);
    setTabOrder(dtr_, rts_);
    WatchChanges(dtr_);
    WatchChanges(rts_);
}

void TFTxInit::ShowLinkRows(bool tcp) {
    LinkForm()->setRowVisible(ipAddress_, tcp);
    LinkForm()->setRowVisible(remotePort_, tcp);
    for (QWidget* serial : std::initializer_list<QWidget*>{port_, baud_, ParityCombo()})
        LinkForm()->setRowVisible(serial, !tcp);
    LinkForm()->setRowVisible(lines_, !tcp);
}

void TFTxInit::FillOwnFields() {
    const TLinkSettings link = LinkSettingsOf(Record(), Args().kivIni);
    const std::string_view port = TrimView(Record().PortRemote);
    ipAddress_->setText(QString::fromStdString(link.host.empty() ? "brak adresu IP w pliku stacji" : link.host));
    remotePort_->setText(port.empty() ? QString("brak numeru portu w pliku stacji")
                                      : QString::fromUtf8(port.data(), static_cast<qsizetype>(port.size())));
    ShowLinkRows(link.tcp);
    SelectText(port_, Record().ComNumber, 0);
    SelectText(baud_, Record().BaudRate, baud_->findText(QStringLiteral("9600")));
    dtr_->setChecked(Record().DtrSet);
    rts_->setChecked(Record().RtsSet);
}

void TFTxInit::EditOwnFields(TRekStacjiFull& edited) const {
    edited.ComNumber = KeptText(port_, Record().ComNumber);
    edited.BaudRate = KeptText(baud_, Record().BaudRate);
    edited.DtrSet = dtr_->isChecked();
    edited.RtsSet = rts_->isChecked();
}

TDirectReadOut TFTxInit::ReadOutJob() const {
    TDirectReadOut job = DirectReadOutOf(EditedRecord(), Args().kivIni, Args().dataFolder, Profile(), Items());
    PutRange(job.input);
    if (LogBox()->isChecked()) job.logFile = TxLogPath(kTxLogName);
    return job;
}

void TFTxInit::StartReadOut() {
    const TDirectReadOut job = ReadOutJob();
    ShowProgress();
    const TReadOutOutcome outcome = RunDirectReadOut(Comm(), Progress(), job);
    if (!outcome.portOpened) {
        // The port line tells what happened; "OK" lets the user close both windows.
        Progress().StopCounter();
        Progress().SetExitEnabled(true);
        SetLastResult(0);
        WaitForClose();
        return;
    }
    ShowResult(outcome.result, outcome.message.text, outcome.message.kind);
}

} // namespace kiv
