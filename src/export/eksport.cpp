#include "export/eksport.h"

#include "support/gui/display_text.h"
#include "support/gui/folder_chooser.h"
#include "support/messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kiv {
namespace {

constexpr const char *kNoDataMessage = "Brak danych do eksportu w wybranym okresie";

QString Q(const std::string &text) { return QString::fromStdString(text); }

} // namespace

TFEksport::TFEksport(QWidget *parent)
    : QDialog(parent), lstacja_(new QLabel(this)), lokres_(new QLabel(this)), listaNazw_(new QListWidget(this)),
      checkAll_(new QPushButton("+", this)), checkNon_(new QPushButton("-", this)),
      ok_(new QPushButton("OK", this)), progress_(new QProgressBar(this)) {
    setObjectName("TFEksport");
    setWindowTitle("Eksport");
    lstacja_->setObjectName("Lstacja");
    lokres_->setObjectName("LOkres");
    listaNazw_->setObjectName("ListaNazw");
    checkAll_->setObjectName("BitBtn_CheckAll");
    checkAll_->setToolTip("zaznacz wszystko");
    checkNon_->setObjectName("BitBtn_CheckNon");
    checkNon_->setToolTip("odznacz wszystko");
    ok_->setObjectName("ButtonOK");
    ok_->setDefault(true);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(checkAll_);
    buttons->addWidget(checkNon_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstacja_);
    layout->addWidget(lokres_);
    layout->addWidget(listaNazw_);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    resize(300, 420);
    connect(checkAll_, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(checkNon_, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(ok_, &QPushButton::clicked, this, &TFEksport::OnOk);
}

TExportOutcome TFEksport::Run(const TExportArgs &args) {
    const TExportRequest request{args.keyLabels, args.dataFolder, args.start,     args.end,
                                 args.lower,     args.upper,      args.hourShift, SystemDecimalSeparator()};
    TExportPeriod period;
    if (!ShiftPeriod(request, period))
        return {};
    dataFolder_ = args.dataFolder;
    std::string folder;
    const TFolderAsk ask = [this, &folder](std::string &chosen) {
        if (!AskFolder(chosen))
            return false;
        folder = chosen;
        return true;
    };
    TExportOutcome outcome;
    if (args.format == "DZN") {
        outcome = ExportDzn(request, period, ask);
    } else {
        const TCsvNames offered = CsvParameterNames(request, period);
        if (offered.names.empty()) {
            (void)MessageDlg("", kNoDataMessage, MsgInformation, BtnOk);
            return {};
        }
        Setup(args.format, period, offered.names);
        if (exec() != Accepted)
            return {};
        outcome = ExportCsv(request, period, offered, TickedNames(), ask);
    }
    Report(outcome, folder);
    return outcome;
}

void TFEksport::Setup(const std::string &format, const TExportPeriod &period, const std::vector<std::string> &names) {
    lstacja_->setText(Q("Konwersja do formatu " + format));
    lokres_->setText(Q(ExportPeriodText(period)));
    listaNazw_->clear();
    for (const std::string &name : names) {
        auto *item = new QListWidgetItem(Q(name), listaNazw_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    listaNazw_->setCurrentRow(0);
}

std::vector<std::string> TFEksport::TickedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < listaNazw_->count(); ++i)
        if (listaNazw_->item(i)->checkState() == Qt::Checked)
            names.push_back(listaNazw_->item(i)->text().toStdString());
    return names;
}

void TFEksport::TickAll(bool ticked) {
    for (int i = 0; i < listaNazw_->count(); ++i)
        listaNazw_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TFEksport::OnOk() { done(TickedNames().empty() ? Rejected : Accepted); }

bool TFEksport::AskFolder(std::string &folder) {
    QString chosen;
    if (!ChooseFolder("Wybierz katalog danych", Q(dataFolder_), chosen, parentWidget()))
        return false;
    folder = chosen.toStdString();
    return true;
}

// Without a word at the end the user could not tell an export of nothing
// from one that wrote every file, nor a complete export from one that left
// out files or archives, each told by its own message somewhere on the way.
void TFEksport::Report(const TExportOutcome &outcome, const std::string &folder) {
    if (outcome.cancelled)
        return;
    const bool complete = outcome.failed.empty() && outcome.unreadable.empty();
    if (outcome.written.empty() && complete) {
        if (outcome.refused == 0)
            (void)MessageDlg("", kNoDataMessage, MsgInformation, BtnOk);
        return;
    }
    std::string text = "Zapisano plików: " + std::to_string(outcome.written.size());
    if (!folder.empty())
        text += " w katalogu " + folder;
    if (!outcome.failed.empty())
        text += "\nNie zapisano plików: " + std::to_string(outcome.failed.size());
    if (!outcome.unreadable.empty())
        text += "\nNie wyeksportowano archiwów, których nie udało się odczytać: " +
                std::to_string(outcome.unreadable.size());
    (void)MessageDlg("", text, complete ? MsgInformation : MsgWarning, BtnOk);
}

} // namespace kiv
