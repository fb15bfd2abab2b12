#include "transmission/tx_modem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "config/program_settings.h"
#include "support/messages.h"
#include "transmission/tx_fields.h"
#include "transmission/tx_progress.h"

namespace kiv {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TFTxModem::TFTxModem(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : TFTxForm(comm, progress, kModemTitle, parent) {
    setObjectName("TFTxModem");
    setWindowTitle("Modem");
    telephone_ = new QLabel(this);
    telephone_->setObjectName("Label_TelNr");
    telephone_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    modem_ = new QComboBox(this);
    modem_->setObjectName("ComboBox_ModProf");
    modem_->setMinimumContentsLength(18);
    BuildForm({{"Numer telefonu:", telephone_}}, {{"Profil modemu:", modem_}});
    LogBox()->setToolTip(
        QString("Zapis rozmowy z modemem do pliku %1 i przesyłanych ramek do pliku %2 w bieżącym folderze")
            .arg(kModemLogName, kTxLogName));
    WatchChanges(modem_);
}

void TFTxModem::FillOwnFields() {
    number_ = DialNumberOf(Record(), Args().kivIni);
    telephone_->setText(Q(number_));
    modem_->clear();
    for (const std::string& name : TProgramSettings(Args().kivIni).ModemNames()) modem_->addItem(Q(name));
    modem_->setCurrentIndex(modem_->findText(Q(Record().ModemProfile), Qt::MatchExactly));
}

void TFTxModem::EditOwnFields(TRekStacjiFull& edited) const {
    // A station whose profile is not in the list keeps it until another is chosen.
    if (modem_->currentIndex() >= 0) edited.ModemProfile = modem_->currentText().toStdString();
}

void TFTxModem::StartReadOut() {
    TModemProfileLine line;
    if (!ChosenModem(line)) return;
    if (number_.empty()) {
        (void)MessageDlg(kModemTitle, kNoTelephoneText, MsgWarning, BtnOk);
        return;
    }
    RunReadOut(line);
}

bool TFTxModem::ChosenModem(TModemProfileLine& line) const {
    const std::string name = modem_->currentIndex() >= 0 ? modem_->currentText().toStdString() : std::string();
    if (ModemProfileOf(Args().kivIni, name, line)) return true;
    (void)MessageDlg(kModemTitle, kNoModemProfileText, MsgWarning, BtnOk);
    return false;
}

TModemReadOut TFTxModem::ReadOutJob(const TModemProfileLine& line) const {
    TModemReadOut job =
        ModemReadOutOf(EditedRecord(), Args().kivIni, Args().dataFolder, Profile(), Items(), line, number_);
    PutRange(job.input);
    if (LogBox()->isChecked()) {
        job.modemLog = TxLogPath(kModemLogName);
        job.txLog = TxLogPath(kTxLogName);
    }
    return job;
}

void TFTxModem::RunReadOut(const TModemProfileLine& line) {
    const TModemReadOut job = ReadOutJob(line);
    ShowProgress();
    OkButton()->setEnabled(false);
    const TModemOutcome outcome = RunModemReadOut(Comm(), Progress(), job);
    OkButton()->setEnabled(true);
    lastDial_ = ResultCode(outcome.dial);
    if (outcome.dial != TModemResult::Connected) {
        ShowDialResult(outcome);
        return;
    }
    ShowResult(outcome.readOut.result, outcome.readOut.message.text, outcome.readOut.message.kind);
}

void TFTxModem::ShowDialResult(const TModemOutcome& outcome) {
    SetLastResult(0);
    const TReadOutMessage message = ModemResultMessage(outcome.dial);
    if (!message.text.empty()) {
        // The port's own reason goes with it, on a line of its own: the
        // progress window that showed it closes with the message.
        const std::string reason = outcome.portError.empty() ? "" : "\n" + outcome.portError;
        (void)MessageDlg(kModemTitle, message.text + reason, message.kind, BtnOk);
    }
    Progress().CloseWindow();
    Finish();
}

QString TFTxModem::TelephoneText() const { return telephone_->text(); }

} // namespace kiv
