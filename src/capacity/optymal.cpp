#include "capacity/optymal.h"

#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "config/virtual_stations.h"
#include "support/gui/display_text.h"
#include "support/gui/edit_txt.h"
#include "support/gui/open_winds.h"
#include "support/messages.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdlib>

namespace kiv {
namespace {

constexpr int kHeaderRows = 2;
constexpr int kResultGridRows = kHeaderRows + kShownResultRows;
constexpr int kGridColumnWidth = 82;
constexpr int kPictureWidth = 760;
const QColor kErrorColour(Qt::yellow);
const QColor kRunningColour(Qt::green);
const char *const kNamePromptTitle = "Nazwa grupy taryfowej:";

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}
std::string S(const QString &text) {
    return text.toStdString();
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// UpDown1: stepping past 12 or below 1 wraps and moves the year on.
class TWrapSpin : public QSpinBox {
  public:
    TWrapSpin(QWidget *parent, std::function<void(int)> wrapped)
        : QSpinBox(parent), wrapped_(std::move(wrapped)) {
        setRange(1, 12);
        setWrapping(true);
    }
    void stepBy(int steps) override {
        const int before = value();
        QSpinBox::stepBy(steps);
        if (steps > 0 && value() < before)
            wrapped_(1);
        else if (steps < 0 && value() > before)
            wrapped_(-1);
    }

  private:
    std::function<void(int)> wrapped_;
};

// Qmax cells take digits only; every key reaches the window, Enter after the cell is committed.
class TQmaxDelegate : public QStyledItemDelegate {
  public:
    TQmaxDelegate(QObject *parent, std::function<void(int)> key)
        : QStyledItemDelegate(parent), key_(std::move(key)) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override {
        auto *edit = new QLineEdit(parent);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,7}"), edit));
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignRight);
        return edit;
    }

  protected:
    bool eventFilter(QObject *editor, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return QStyledItemDelegate::eventFilter(editor, event);
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool handled = QStyledItemDelegate::eventFilter(editor, event);
        key_(key);
        return handled;
    }

  private:
    std::function<void(int)> key_;
};

QTableWidget *MakeGrid(QWidget *parent, const char *name, int rows) {
    auto *grid = new QTableWidget(rows, 2, parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < 2; ++c)
        grid->setColumnWidth(c, kGridColumnWidth);
    grid->setFixedWidth(2 * kGridColumnWidth + 2 * grid->frameWidth() + 2);
    grid->setMinimumHeight(kResultGridRows * grid->verticalHeader()->defaultSectionSize() +
                           2 * grid->frameWidth());
    return grid;
}

QTableWidgetItem *Cell(const std::string &text, bool editable = false) {
    auto *item = new QTableWidgetItem(Q(text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

void PutHeader(QTableWidget *grid, const std::array<TGridRow, 2> &rows) {
    for (int r = 0; r < kHeaderRows; ++r)
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem *item = Cell(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            item->setBackground(grid->palette().button());
            item->setFlags(Qt::ItemIsEnabled);
            QFont font = item->font();
            font.setBold(r == 0);
            item->setFont(font);
            grid->setItem(r, c, item);
        }
}

std::string CellText(const QTableWidget *grid, int row, int column) {
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? S(item->text()) : std::string();
}

QLineEdit *QuantityEdit(QWidget *parent, const char *name) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,10}"), edit));
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QChartView *ChartView(QWidget *parent, QChart *&chart, const char *name) {
    chart = new QChart;
    chart->setObjectName(name);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(230);
    return view;
}

} // namespace

TFOptymal::TFOptymal(QWidget *parent)
    : QMainWindow(parent, Qt::Window),
      prompt_([this](const std::string &title) { return S(TFEditTxt::EditText(Q(title), QString(), this)); }),
      month_(new TWrapSpin(this, [this](int years) { StepMonth(years); })), year_(new QSpinBox(this)),
      months_(new QSpinBox(this)), archive_(new QRadioButton("Archiwum", this)),
      editing_(new QRadioButton("Edycja", this)), inputs_(MakeGrid(this, "AdvStringGrid1", kResultGridRows)),
      results_(MakeGrid(this, "AdvStringGrid2", kResultGridRows)), winter_(QuantityEdit(this, "EditZima")),
      summer_(QuantityEdit(this, "EditLato")), tariffs_(new QComboBox(this)), tabs_(new QTabWidget(this)),
      status_(new QLabel(this)) {
    setObjectName("TFOptymal");
    setWindowTitle("Optymalizacja mocy zamówionej");
    print_ = menuBar()->addAction("&Drukuj");
    connect(print_, &QAction::triggered, this, [this] { (void)Print({}); });
    connect(menuBar()->addAction("&Okna"), &QAction::triggered, this, [] { OpenWindows().exec(); });

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    auto *side = new QWidget(central);
    BuildInputSide(side);
    grid->addWidget(side, 0, 0);
    auto *resultBox = new QVBoxLayout;
    resultBox->addWidget(new QLabel("Wyniki obliczeń", central));
    resultBox->addWidget(results_);
    resultBox->addStretch();
    grid->addLayout(resultBox, 0, 1);
    grid->addWidget(BuildTariffBox(), 0, 2);
    tabs_->addTab(ChartView(tabs_, chart_, "Chart1"), "Cena 1 m3 netto");
    tabs_->addTab(ChartView(tabs_, curve_, "ChartKrzywa"), "Krzywa uporządkowana");
    grid->addWidget(tabs_, 1, 0, 1, 3);
    grid->setRowStretch(1, 1);
    setCentralWidget(central);

    status_->setAutoFillBackground(true);
    status_->setObjectName("StatusBar1");
    statusBar()->addWidget(status_, 1);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    inputs_->setItemDelegateForColumn(1, new TQmaxDelegate(inputs_, [this](int key) { GridKey(key); }));
    inputs_->installEventFilter(this);
    resize(900, 760);
}

void TFOptymal::BuildInputSide(QWidget *side) {
    year_->setRange(kFirstYear, kLastYear);
    months_->setRange(kMinPeriodMonths, kMaxPeriodMonths);
    months_->setWrapping(true);
    month_->setObjectName("UpDown1");
    year_->setObjectName("UpDown2");
    months_->setObjectName("UpDown3");
    for (QSpinBox *spin : {static_cast<QSpinBox *>(month_), year_, months_})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!filling_)
                PeriodChanged();
        });
    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel("Od", side));
    period->addWidget(month_);
    period->addWidget(year_);
    period->addSpacing(12);
    period->addWidget(new QLabel("Miesięcy:", side));
    period->addWidget(months_);
    period->addStretch();
    auto *source = new QHBoxLayout;
    source->addWidget(archive_);
    source->addWidget(editing_);
    source->addStretch();
    connect(archive_, &QRadioButton::clicked, this, [this] { SetEditing(false); });
    connect(editing_, &QRadioButton::clicked, this, [this] { SetEditing(true); });

    auto *quantities = new QGroupBox("Ilość gazu", side);
    auto *q = new QGridLayout(quantities);
    q->addWidget(new QLabel("zima", quantities), 0, 0);
    q->addWidget(winter_, 0, 1);
    q->addWidget(new QLabel("m3", quantities), 0, 2);
    q->addWidget(new QLabel("lato", quantities), 1, 0);
    q->addWidget(summer_, 1, 1);
    q->addWidget(new QLabel("m3", quantities), 1, 2);
    for (QLineEdit *edit : {winter_, summer_})
        connect(edit, &QLineEdit::textEdited, this, [this] { ClearResults(); });

    auto *layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(period);
    layout->addLayout(source);
    auto *columns = new QHBoxLayout;
    columns->addWidget(inputs_);
    columns->addWidget(quantities, 0, Qt::AlignBottom);
    layout->addLayout(columns);
}

QWidget *TFOptymal::BuildTariffBox() {
    auto *box = new QGroupBox("Wybór grupy stawek taryfowych", this);
    tariffs_->setObjectName("ComboBox1");
    connect(tariffs_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            TariffChosen();
    });
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    const QString separator = Q(SystemDecimalSeparator());
    for (int k = 0; k < kRateCount; ++k) {
        auto *edit = new QLineEdit(box);
        edit->setObjectName(QString("MaskEdit%1").arg(k + 1));
        edit->setAlignment(Qt::AlignRight);
        edit->setMaxLength(16);
        edit->setPlaceholderText("0" + separator + "0000");
        connect(edit, &QLineEdit::textEdited, this, [this, k](const QString &text) { RateEdited(k, text); });
        rates_[static_cast<std::size_t>(k)] = edit;
        form->addRow(kRateCaptions[static_cast<std::size_t>(k)], edit);
    }
    auto *tariffButtons = new QHBoxLayout;
    auto *commands = new QHBoxLayout;
    for (const char *caption : {"Dodaj grupę", "Usuń grupę", "Oblicz", "Zakończ"}) {
        buttons_.push_back(new QPushButton(caption, this));
        (buttons_.size() <= 2 ? tariffButtons : commands)->addWidget(buttons_.back());
    }
    buttons_[0]->setObjectName("Zapisz");
    buttons_[1]->setObjectName("Button3");
    connect(buttons_[0], &QPushButton::clicked, this, [this] { AddTariff(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { DeleteTariff(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { Calculate(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { close(); });
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(tariffs_);
    layout->addLayout(form);
    layout->addLayout(tariffButtons);
    auto *panel = new QWidget(this);
    auto *outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(box);
    outer->addStretch();
    outer->addLayout(commands);
    return panel;
}

QPushButton *TFOptymal::Button(const QString &caption) const {
    for (QPushButton *button : buttons_)
        if (button->text() == caption)
            return button;
    return nullptr;
}

bool TFOptymal::Start(const TOptymalArgs &args) {
    TNumTab members = ParseMemberFormula(args.key);
    if (members.empty()) {
        (void)MessageDlg("Błąd konfiguracji",
                         "Stacja wirtualna \"" + args.label + "\" nie jest skonfigurowana ", MsgError,
                         BtnOk);
        return false;
    }
    // The open window is about to be filled for the new station: the set
    // chosen for the old one would be lost without the closing question.
    if (isVisible() && !SettleTariffChoice()) {
        raise();
        activateWindow();
        return false;
    }
    args_ = args;
    if (args_.kivIni.empty())
        args_.kivIni = KivIniPathInWorkingFolder();
    ClearResults();
    inputs_->clearContents();
    members_ = std::move(members);
    // One member is that station itself, as the reports and graphs take it: its caption and its tariff set.
    const bool isVirtual = members_.size() > 1;
    owner_ = {args_.kivIni, args_.dataFolder, isVirtual, std::abs(members_.front()), args_.label};
    remembered_ = ChosenTariffName(owner_);
    FillTariffList(remembered_);
    OpenWindows().RegisterWindow(this);

    PutHeader(inputs_, {TGridRow{"  Okres", "  Qmax"}, TGridRow{" m-c/rok", "  m3/h"}});
    const TMonthPeriod period = DefaultPeriod(NowStamp());
    SetPeriod(period.startMonth, period.startYear, period.months);
    SetEditing(false);
    setWindowTitle(Q("Optymalizacja mocy zamówionej stacji " +
                     std::string(isVirtual ? "wirtualnej :" : ": ") + args_.key + " " + args_.label));
    show();
    raise();
    activateWindow();
    return true;
}

void TFOptymal::SetPeriod(int startMonth, int startYear, int months) {
    filling_ = true;
    month_->setValue(startMonth);
    year_->setValue(startYear);
    months_->setValue(months);
    filling_ = false;
    PeriodChanged();
}

void TFOptymal::StepMonth(int years) {
    const int year = year_->value() + years;
    if (year >= year_->minimum() && year <= year_->maximum()) {
        year_->setValue(year);
        return;
    }
    // At the first or last year the month does not wrap into a year the spin cannot show.
    month_->setValue(years > 0 ? 12 : 1);
}

void TFOptymal::PeriodChanged() {
    winter_->clear();
    summer_->clear();
    ShowStatus("", palette().window().color());
    inputs_->setRowCount(kHeaderRows + months_->value());
    for (int r = kHeaderRows; r < inputs_->rowCount(); ++r)
        inputs_->setItem(r, 1, Cell("", editing_->isChecked()));
    LabelMonths();
    ClearResults();
}

void TFOptymal::LabelMonths() {
    const std::vector<TMonthRow> rows = PeriodMonths(month_->value(), year_->value(), months_->value());
    for (std::size_t k = 0; k < rows.size(); ++k)
        inputs_->setItem(kHeaderRows + static_cast<int>(k), 0, Cell(MonthLabel(rows[k].month, rows[k].year)));
}

void TFOptymal::SetEditing(bool editing) {
    (editing ? editing_ : archive_)->setChecked(true);
    inputs_->setEditTriggers(editing ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                           QAbstractItemView::EditKeyPressed
                                     : QAbstractItemView::NoEditTriggers);
    for (int r = kHeaderRows; r < inputs_->rowCount(); ++r)
        if (QTableWidgetItem *item = inputs_->item(r, 1))
            item->setFlags(editing ? item->flags() | Qt::ItemIsEditable
                                   : item->flags() & ~Qt::ItemIsEditable);
    winter_->setEnabled(editing);
    summer_->setEnabled(editing);
    if (editing) {
        inputs_->setCurrentCell(kHeaderRows, 1);
        inputs_->setFocus();
    }
}

void TFOptymal::ClearResults() {
    result_ = {};
    flows_.clear();
    shownPrices_ = {kPercentTitle, {}, false};
    shownCurve_ = {kDurationTitle, {}, 0, 0};
    FillPriceChart(*chart_, shownPrices_);
    FillDurationChart(*curve_, shownCurve_);
    results_->clearContents();
    PutHeader(results_, {TGridRow{"  Moc", "  Cena"}, TGridRow{"  m3/h", ResultUnit(result_)}});
}

void TFOptymal::ShowStatus(const std::string &text, const QColor &colour) {
    status_->setText(Q(text));
    QPalette p = status_->palette();
    p.setColor(QPalette::Window, colour);
    status_->setPalette(p);
}

void TFOptymal::ShowOutcome(OptimiseStatus status) {
    ShowStatus(kiv::StatusText(status),
               status == OptimiseStatus::Ok ? palette().window().color() : kErrorColour);
}

QString TFOptymal::StatusText() const {
    return status_->text();
}

TOptimiseInputs TFOptymal::Inputs() const {
    TOptimiseInputs in{PeriodMonths(month_->value(), year_->value(), months_->value()), S(winter_->text()),
                       S(summer_->text())};
    for (std::size_t k = 0; k < in.months.size(); ++k)
        in.months[k].qmax = CellText(inputs_, kHeaderRows + static_cast<int>(k), 1);
    return in;
}

void TFOptymal::PutInputs(const TOptimiseInputs &in) {
    for (std::size_t k = 0; k < in.months.size(); ++k)
        if (QTableWidgetItem *item = inputs_->item(kHeaderRows + static_cast<int>(k), 1))
            item->setText(Q(in.months[k].qmax));
    winter_->setText(Q(in.winter));
    summer_->setText(Q(in.summer));
}

TRateTexts TFOptymal::RateTexts() const {
    TRateTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = S(rates_[k]->text());
    return texts;
}

long long TFOptymal::ChosenCapacity() const {
    const std::string text = owner_.isVirtual
                                 ? LookupSum(args_.kivIni, args_.dataFolder, args_.label).capacity
                                 : PeakFlowText(StationFilePath(args_.dataFolder, owner_.address));
    return std::max(0, ParseIniInteger(text, 0));
}

void TFOptymal::Calculate() {
    ShowStatus(kiv::StatusText(OptimiseStatus::Running), kRunningColour);
    status_->repaint();
    ClearResults();
    LabelMonths();
    TOptimiseInputs in = Inputs();
    if (archive_->isChecked()) {
        (void)LoadFromArchive({args_.dataFolder, members_, args_.hourShift, args_.lower, args_.upper}, in,
                              flows_);
        PutInputs(in);
    }
    result_ = Optimise(in, RateTexts());
    ShowResult();
}

void TFOptymal::ShowResult() {
    ShowOutcome(result_.status);
    if (!result_.searched)
        return;
    const std::vector<TResultRow> rows = ResultRows(result_, SystemDecimalSeparator());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        results_->setItem(kHeaderRows + static_cast<int>(k), 0, Cell(rows[k].capacity));
        results_->setItem(kHeaderRows + static_cast<int>(k), 1, Cell(rows[k].value));
    }
    results_->item(1, 1)->setText(ResultUnit(result_));
    const int best = result_.search.best;
    results_->setCurrentCell(kHeaderRows + best - FirstShownCandidate(best), 0);
    shownPrices_ = {ChartTitle(result_, args_.label), ChartPoints(result_), result_.priced};
    FillPriceChart(*chart_, shownPrices_);
    shownCurve_ = {args_.label + " - krzywa uporządkowana przepływów godzinowych", flows_, ChosenCapacity(),
                   result_.search.candidates[static_cast<std::size_t>(best)].capacity};
    FillDurationChart(*curve_, shownCurve_);
}

void TFOptymal::GridKey(int key) {
    ClearResults();
    if (!IsEnter(key))
        return;
    const int row = inputs_->currentRow();
    if (row + 1 < inputs_->rowCount())
        inputs_->setCurrentCell(std::max(row + 1, kHeaderRows), 1);
    else
        winter_->setFocus();
}

bool TFOptymal::eventFilter(QObject *watched, QEvent *event) {
    if (watched == inputs_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        GridKey(key);
        return IsEnter(key);
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- tariff sets ----

void TFOptymal::FillTariffList(const std::string &wanted) {
    filling_ = true;
    tariffs_->clear();
    tariffs_->addItem(QString());
    for (std::size_t k = 0; k < rates_.size(); ++k) {
        rates_[k]->clear();
        lastRates_[k].clear();
    }
    for (const TTariffSet &set : ReadTariffSets(args_.kivIni)) {
        tariffs_->addItem(Q(set.name));
        if (set.name != wanted)
            continue;
        for (std::size_t k = 0; k < rates_.size(); ++k) {
            rates_[k]->setText(Q(set.rates[k]));
            lastRates_[k] = rates_[k]->text();
        }
        tariffs_->setCurrentIndex(tariffs_->count() - 1);
    }
    filling_ = false;
}

void TFOptymal::TariffChosen() {
    FillTariffList(S(tariffs_->currentText()));
    ClearResults();
}

void TFOptymal::RateEdited(int k, const QString &text) {
    QLineEdit *edit = rates_[static_cast<std::size_t>(k)];
    if (!AcceptableRateText(S(text), SystemDecimalSeparator())) {
        edit->setText(lastRates_[static_cast<std::size_t>(k)]);
        ShowStatus("Akceptowane są tylko cyfry i przecinek", kErrorColour);
        return;
    }
    lastRates_[static_cast<std::size_t>(k)] = text;
    ClearResults();
}

bool TFOptymal::AskTariffName(std::string &name) {
    for (;;) {
        name = std::string(TrimView(prompt_(kNamePromptTitle)));
        if (name.empty())
            return false;
        if (TariffNameTaken(ReadTariffSets(args_.kivIni), name))
            (void)MessageDlg("", "Grupa stawek taryfowych o takiej nazwie już istnieje. Wpisz inną nazwę ?",
                             MsgInformation, BtnOk);
        else if (name.find('@') != std::string::npos)
            (void)MessageDlg("", "Nazwa grupy taryfowej nie może zawierać znaku @", MsgInformation, BtnOk);
        else
            return true;
    }
}

void TFOptymal::AddTariff() {
    std::string name;
    if (!AskTariffName(name))
        return;
    TRates rates;
    if (!ParseRates(RateTexts(), rates)) {
        ShowStatus("Wpisz wartości liczbowe do wszystkich okienek grupy taryfowej", kErrorColour);
        return;
    }
    if (!AddTariffSet(args_.kivIni, {name, RateTexts()})) {
        (void)MessageDlg("", "Nie udało się zapisać pliku " + args_.kivIni, MsgError, BtnOk);
        return;
    }
    filling_ = true;
    tariffs_->addItem(Q(name));
    tariffs_->setCurrentIndex(tariffs_->count() - 1);
    filling_ = false;
    ShowOutcome(OptimiseStatus::Ok);
}

void TFOptymal::DeleteTariff() {
    const std::string name = S(tariffs_->currentText());
    if (name.empty() ||
        MessageDlg("", "Usunąć grupę taryfową\"" + name + "\" ?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    if (!DeleteTariffSet(args_.kivIni, name)) {
        (void)MessageDlg("", "Nie udało się zapisać pliku " + args_.kivIni, MsgError, BtnOk);
        return;
    }
    FillTariffList("");
    ClearResults();
}

bool TFOptymal::SettleTariffChoice() {
    if (S(tariffs_->currentText()) == remembered_)
        return true;
    const int answer = MessageDlg("", "Zapamiętać dane jako grupę stawek taryfowych tej stacji?",
                                  MsgConfirmation, BtnYes | BtnNo | BtnCancel);
    if (answer == ResNo)
        return true;
    if (answer != ResYes)
        return false;
    if (tariffs_->currentText().isEmpty())
        AddTariff();
    const std::string name = S(tariffs_->currentText());
    if (!WriteChosenTariffName(owner_, name)) {
        (void)MessageDlg("", "Nie udało się zapamiętać grupy stawek taryfowych stacji", MsgError, BtnOk);
        return false;
    }
    remembered_ = name;
    return true;
}

void TFOptymal::closeEvent(QCloseEvent *event) {
    if (!SettleTariffChoice()) {
        event->ignore();
        return;
    }
    if (const int index = OpenWindows().IndexOf(this); index >= 0)
        OpenWindows().UnregisterWindow(index);
    winter_->clear();
    summer_->clear();
    QMainWindow::closeEvent(event);
}

// ---- printout ----

TOptimalPage TFOptymal::PrintedPage(const std::string &chartFile, const std::string &curveFile) const {
    TOptimalPage page;
    page.caption = S(windowTitle());
    for (int r = 0; r < inputs_->rowCount(); ++r)
        page.inputRows.push_back({CellText(inputs_, r, 0), CellText(inputs_, r, 1)});
    for (int r = 0; r < results_->rowCount(); ++r)
        page.resultRows.push_back({CellText(results_, r, 0), CellText(results_, r, 1)});
    if (result_.searched)
        page.bestRow = kHeaderRows + result_.search.best - FirstShownCandidate(result_.search.best);
    page.winter = S(winter_->text());
    page.summer = S(summer_->text());
    page.rates = RateTexts();
    page.chartPicture = chartFile;
    if (!flows_.empty()) {
        page.durationPicture = curveFile;
        page.durationLines = DurationLines(flows_, shownCurve_.chosen, shownCurve_.optimal);
    }
    return page;
}

void TFOptymal::DrawPrintout(IPrintSurface &surface) const {
    // The pictures live only while the page is drawn; the folder goes with them.
    const QTemporaryDir folder;
    const TPictureBox box = ChartBox(surface);
    const int height = kPictureWidth * std::max(1, box.bottom - box.top) / std::max(1, box.right - box.left);
    const QString chart = folder.filePath("~wykreschart1.png");
    const QString curve = folder.filePath("~wykreskrzywa.png");
    (void)ChartPicture(shownPrices_, QSize(kPictureWidth, height)).save(chart);
    if (!flows_.empty())
        (void)ChartPicture(shownCurve_, QSize(kPictureWidth, height)).save(curve);
    DrawOptimalPages(surface, PrintedPage(S(chart), S(curve)));
}

TPrintResult TFOptymal::Print(const TPrintDestination &destination) {
    return RunPrintJob(this, kOptimalDocumentTitle, destination,
                       [this](IPrintSurface &surface) { DrawPrintout(surface); }, {nullptr, print_});
}

} // namespace kiv
