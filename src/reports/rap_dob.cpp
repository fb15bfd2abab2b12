#include "reports/rap_dob.h"

#include "support/gui/open_winds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kiv {
namespace {

constexpr TimeStamp kDaySeconds = 86400;
constexpr int kColumnWidth = 110;
const char *const kCaptions[] = {"<", ">", "-Stacja", "+Stacja", "Lista", "Okna", "Drukuj"};

QString Q(const std::string &text) { return QString::fromStdString(text); }

} // namespace

TFListaWydrukuDob::TFListaWydrukuDob(QWidget *parent)
    : QDialog(parent), list_(new QListWidget(this)), tickAll_(new QPushButton("+", this)),
      untickAll_(new QPushButton("-", this)), ok_(new QPushButton("OK", this)) {
    setWindowTitle("Lista do wydruku");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(tickAll_);
    buttons->addWidget(untickAll_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    connect(tickAll_, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(untickAll_, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        accept();
        emit LineChosen(list_->row(item));
    });
}

void TFListaWydrukuDob::SetLines(const std::vector<std::string> &lines) {
    list_->clear();
    for (const std::string &line : lines) {
        auto *item = new QListWidgetItem(Q(line), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    Select(0);
}

int TFListaWydrukuDob::Count() const { return list_->count(); }
int TFListaWydrukuDob::Selected() const { return list_->currentRow(); }
void TFListaWydrukuDob::Select(int line) { list_->setCurrentRow(line); }
bool TFListaWydrukuDob::Ticked(int line) const { return list_->item(line)->checkState() == Qt::Checked; }
void TFListaWydrukuDob::SetTicked(int line, bool ticked) {
    list_->item(line)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TFListaWydrukuDob::TickAll(bool ticked) {
    for (int i = 0; i < Count(); ++i)
        SetTicked(i, ticked);
    Select(0);
}

TFRapDob::TFRapDob(QWidget *parent)
    : QWidget(parent, Qt::Window), list_(new TFListaWydrukuDob(this)),
      table_(new QTableWidget(kDailyRows, kDailyColumns, this)), counters_(new QPlainTextEdit(this)),
      days_(new QSpinBox(this)) {
    setObjectName("TFRapDob");
    setWindowTitle("Raport dobowy");
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int c = 0; c < kDailyColumns; ++c)
        table_->setColumnWidth(c, kColumnWidth);
    counters_->setReadOnly(true);
    counters_->setMaximumHeight(3 * fontMetrics().height() + 12);
    days_->setRange(1, 31);
    days_->setValue(1);
    auto *bar = new QHBoxLayout;
    for (const char *caption : kCaptions) {
        buttons_.push_back(new QPushButton(caption, this));
        bar->addWidget(buttons_.back());
    }
    bar->addWidget(new QLabel("Liczba dni do wydruku :", this));
    bar->addWidget(days_);
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_);
    layout->addWidget(counters_);
    resize(kColumnWidth * kDailyColumns + 40, 640);
    connect(Button("<"), &QPushButton::clicked, this, [this] { StepDay(-1); });
    connect(Button(">"), &QPushButton::clicked, this, [this] { StepDay(1); });
    connect(Button("-Stacja"), &QPushButton::clicked, this, [this] { StepStation(-1); });
    connect(Button("+Stacja"), &QPushButton::clicked, this, [this] { StepStation(1); });
    connect(Button("Lista"), &QPushButton::clicked, this, [this] { list_->exec(); });
    connect(Button("Okna"), &QPushButton::clicked, this, [] { OpenWindows().exec(); });
    connect(Button("Drukuj"), &QPushButton::clicked, this, [this] { (void)Print({}); });
    connect(list_, &TFListaWydrukuDob::LineChosen, this, [this](int line) {
        list_->Select(line);
        UpdateStationButtons();
        Build();
    });
}

QPushButton *TFRapDob::Button(const QString &caption) const {
    for (QPushButton *button : buttons_)
        if (button->text() == caption)
            return button;
    return nullptr;
}

void TFRapDob::Open(const TDailyReportArgs &args) {
    args_ = args;
    dayStart_ = args.dayStart;
    std::vector<std::string> lines;
    for (const std::string &entry : args.entries)
        lines.push_back(DailyListText(SplitDailyEntry(entry)));
    list_->SetLines(lines);
    UpdateStationButtons();
    Build();
}

void TFRapDob::Build() {
    const int line = list_->Selected();
    if (line < 0 || line >= static_cast<int>(args_.entries.size()))
        return;
    TDailyReport report = shown_;
    if (!BuildDailyReport({args_.entries[static_cast<std::size_t>(line)], args_.dataFolder, dayStart_,
                           args_.hourShift, args_.lower, args_.upper},
                          report))
        return;
    ShowReport(report);
    show();
    raise();
    activateWindow();
}

void TFRapDob::ShowReport(const TDailyReport &report) {
    shown_ = AlignAsShown(report, table_->font());
    for (int r = 0; r < kDailyRows; ++r)
        for (int c = 0; c < kDailyColumns; ++c)
            table_->setItem(r, c, new QTableWidgetItem(Q(shown_.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
    counters_->setPlainText(Q(shown_.counterLines[0] + "\n" + shown_.counterLines[1]));
    if (!shown_.title.empty())
        setWindowTitle(Q(shown_.title));
}

void TFRapDob::StepDay(int days) {
    dayStart_ = static_cast<TimeStamp>(static_cast<int64_t>(dayStart_) + int64_t{days} * kDaySeconds);
    Build();
}

void TFRapDob::StepStation(int lines) {
    const int line = list_->Selected() + lines;
    if (line < 0 || line >= list_->Count())
        return;
    list_->Select(line);
    UpdateStationButtons();
    Build();
}

void TFRapDob::UpdateStationButtons() {
    Button("-Stacja")->setEnabled(list_->Selected() > 0);
    Button("+Stacja")->setEnabled(list_->Selected() + 1 < list_->Count());
}

std::vector<TDailyReport> TFRapDob::PrintPages() {
    const TimeStamp first = dayStart_;
    std::vector<TDailyReport> pages;
    for (int line = 0; line < list_->Count(); ++line) {
        if (!list_->Ticked(line))
            continue;
        list_->Select(line);
        for (int k = 0; k < days_->value(); ++k) {
            dayStart_ = first + static_cast<TimeStamp>(k) * kDaySeconds;
            Build();
            pages.push_back(shown_);
        }
    }
    UpdateStationButtons();
    return pages;
}

TPrintResult TFRapDob::Print(const TPrintDestination &destination) {
    return RunPrintJob(
        this, kDailyDocumentTitle, destination, [this](IPrintSurface &surface) { DrawDailyPages(surface, PrintPages()); },
        {Button("Drukuj"), nullptr});
}

void TFRapDob::showEvent(QShowEvent *event) {
    OpenWindows().RegisterWindow(this);
    QWidget::showEvent(event);
}

void TFRapDob::closeEvent(QCloseEvent *event) {
    if (const int index = OpenWindows().IndexOf(this); index >= 0)
        OpenWindows().UnregisterWindow(index);
    QWidget::closeEvent(event);
}

TDailyReport AlignAsShown(const TDailyReport &report, const QFont &font) {
    const QFontMetrics metrics(font);
    return AlignDailyReport(report, kColumnWidth,
                            [&metrics](const std::string &text) { return metrics.horizontalAdvance(Q(text)); });
}

bool PrintDailyToPdf(const std::vector<TDailyReport> &reports, const std::string &file) {
    std::vector<TDailyReport> pages;
    for (const TDailyReport &report : reports)
        pages.push_back(AlignAsShown(report, QApplication::font()));
    return RunPrintJob(nullptr, kDailyDocumentTitle, {TPrintTarget::PdfFile, file, false},
                       [&pages](IPrintSurface &surface) { DrawDailyPages(surface, pages); }) == TPrintResult::Printed;
}

} // namespace kiv
