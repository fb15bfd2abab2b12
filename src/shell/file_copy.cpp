#include "shell/file_copy.h"

#include "config/station_db.h"
#include "shell/model/data_copy.h"
#include "support/gui/form_fields.h"
#include "support/helpers.h"
#include "support/messages.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace kiv {

namespace {

constexpr int kAddressRole = Qt::UserRole;
constexpr int kMonths = 12;

QListWidgetItem* AddTickItem(QListWidget* list, const QString& text, int value) {
    auto* item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(kAddressRole, value);
    return item;
}

QGroupBox* Boxed(QWidget* parent, const QString& caption, QWidget* inside, QWidget* below = nullptr) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(inside, below ? 0 : 1);
    if (below) {
        layout->addWidget(below);
        layout->addStretch();
    }
    return box;
}

// The column of buttons as wide as the longest caption with two average
// characters of room on either side; the style alone leaves the captions
// touching the edges.
void GiveCaptionsRoom(std::initializer_list<QPushButton*> buttons) {
    int width = 0;
    for (const QPushButton* button : buttons) {
        const QFontMetrics metrics(button->font());
        width = std::max(width, metrics.horizontalAdvance(button->text()) + 4 * metrics.averageCharWidth());
    }
    for (QPushButton* button : buttons) button->setMinimumWidth(width);
}

} // namespace

TFFileCopy::TFFileCopy(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFFileCopy"));
    setWindowTitle(QStringLiteral("Wybierz stacje do kopiowania"));
    stations_ = new QListWidget(this);
    stations_->setObjectName(QStringLiteral("Lista"));
    months_ = new QListWidget(this);
    months_->setObjectName(QStringLiteral("Mce"));
    for (int m = 1; m <= kMonths; ++m) AddTickItem(months_, QString::fromStdString(ZeroPad(m, 2)), m);
    months_->setFixedSize(months_->fontMetrics().horizontalAdvance(QStringLiteral("00")) * 5,
                          months_->sizeHintForRow(0) * (kMonths + 1) + 2 * months_->frameWidth());
    year_ = MakeSpin(this, "AbNumSpin", kCopyYearLow, kCopyYearHigh);

    auto* yearRow = new QWidget(this);
    auto* yearLayout = new QHBoxLayout(yearRow);
    yearLayout->setContentsMargins(0, 0, 0, 0);
    yearLayout->addWidget(new QLabel(QStringLiteral("Rok:"), yearRow));
    yearLayout->addWidget(year_, 1);

    checkAll_ = FormButton(this, "Button_ZaznaczWszystko", QStringLiteral("zaznacz wszystkio"));
    QPushButton* uncheckAll = FormButton(this, "Button_OdznaczWszystko", QStringLiteral("odznacz wszystko"));
    copy_ = FormButton(this, "Button_Kopiuj", QStringLiteral("Kopiuj"));
    copy_->setDefault(true);
    QPushButton* cancel = FormButton(this, "Button_Anuluj", QStringLiteral("Anuluj"));
    GiveCaptionsRoom({checkAll_, uncheckAll, copy_, cancel});
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {checkAll_, uncheckAll}) buttons->addWidget(button);
    buttons->addStretch();
    for (QPushButton* button : {copy_, cancel}) buttons->addWidget(button);

    auto* lists = new QHBoxLayout;
    lists->addWidget(Boxed(this, QStringLiteral("Stacje"), stations_), 1);
    lists->addWidget(Boxed(this, QStringLiteral("Miesiące"), months_, yearRow));
    lists->addLayout(buttons);

    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel(statusBar);
    status_->setObjectName(QStringLiteral("StatusBar"));
    statusBar->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(statusBar);
    layout->setContentsMargins(9, 9, 9, 0);
    resize(520, 400);

    connect(checkAll_, &QPushButton::clicked, this, &TFFileCopy::OnCheckAll);
    connect(uncheckAll, &QPushButton::clicked, this, &TFFileCopy::OnUncheckAll);
    connect(copy_, &QPushButton::clicked, this, &TFFileCopy::OnCopy);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFFileCopy::Setup(const std::string& dataFolder) {
    dataFolder_ = PathWithSeparator(dataFolder);
    stations_->clear();
    for (const TRekStacji& station : StationDb().Stations())
        AddTickItem(stations_, QString::fromStdString(CopyListItem(station)), station.address);
    year_->setValue(QDate::currentDate().year());
    status_->clear();
}

void TFFileCopy::Execute(const std::string& dataFolder) {
    Setup(dataFolder);
    exec();
}

void TFFileCopy::OnCheckAll() {
    std::vector<bool> ticks;
    for (int i = 0; i < stations_->count(); ++i) ticks.push_back(stations_->item(i)->checkState() == Qt::Checked);
    const std::vector<bool> range = TickedRange(ticks);
    for (int i = 0; i < stations_->count(); ++i)
        stations_->item(i)->setCheckState(range[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
}

void TFFileCopy::OnUncheckAll() {
    for (int i = 0; i < stations_->count(); ++i) stations_->item(i)->setCheckState(Qt::Unchecked);
}

std::vector<int> TFFileCopy::Ticked(const QListWidget* list) const {
    std::vector<int> values;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) values.push_back(list->item(i)->data(kAddressRole).toInt());
    return values;
}

bool TFFileCopy::AskDestination(std::string& folder) {
    for (;;) {
        QFileDialog dialog(this, QString::fromUtf8(kFileCopyDialogTitle), QString::fromStdString(dataFolder_));
        dialog.setObjectName(QStringLiteral("SaveDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("*.FCD;*.FCC;*.FCE (*.FCD *.FCC *.FCE)"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.selectFile(QStringLiteral("Pliki FCD+FCC+FCE"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        folder = PathWithSeparator(QFileInfo(dialog.selectedFiles().constFirst()).absolutePath().toStdString());
        if (!SameFolder(folder, dataFolder_)) return true;
        (void)MessageDlg("", "Katalog docelowy musi byc różny od źródłowego", MsgError, BtnOk);
    }
}

void TFFileCopy::OnCopy() {
    TDataCopy copy{dataFolder_, "", Ticked(stations_), Ticked(months_), year_->value()};
    if (copy.addresses.empty()) {
        (void)MessageDlg("", "Nie zaznaczono żadnej stacji do kopiowania", MsgInformation, BtnOk);
        return;
    }
    if (!AskDestination(copy.destination)) return;
    const TCopyCount count = CopyStationData(copy, [this](const std::string& path) {
        status_->setText(QString::fromStdString(path));
        status_->repaint();
    });
    if (const std::string failure = CopyFailureText(count); !failure.empty())
        (void)MessageDlg("", failure, MsgWarning, BtnOk);
    accept();
}

} // namespace kiv
