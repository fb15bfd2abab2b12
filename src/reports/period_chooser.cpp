#include "reports/period_chooser.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kiv {

namespace {

// The form's widths with one calendar and with two, which the panes and
// margins below add up to, and its buttons' places.
constexpr int kDayWidth = 239;
constexpr int kRangeWidth = 473;
constexpr int kDayOkX = 70;
constexpr int kDayCancelX = 150;
constexpr int kRangeOkX = 304;
constexpr int kRangeCancelX = 384;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMarginLeft = 8;
constexpr int kMarginRight = 7;
constexpr int kMargin = 8;
constexpr int kPaneWidth = 224;
constexpr int kPaneGap = kRangeWidth - kMarginLeft - kMarginRight - 2 * kPaneWidth;
static_assert(kMarginLeft + kPaneWidth + kMarginRight == kDayWidth);

struct TStepButton {
    CalendarStep step;
    const char* text;
    const char* name;
};

// In the panel's order, left to right.
constexpr std::array<TStepButton, 4> kStepButtons{{
    {CalendarStep::PreviousYear, "<<", "Button_PrevYear"},
    {CalendarStep::PreviousMonth, "<", "Button_PrevMonth"},
    {CalendarStep::NextMonth, ">", "Button_NextMonth"},
    {CalendarStep::NextYear, ">>", "Button_NextYear"},
}};

QDate ToQDate(const TDate& date) { return {date.year, date.month, date.day}; }
TDate FromQDate(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

TFWyborOkresu::TFWyborOkresu(QWidget* parent)
    : QDialog(parent), prompt_(new QLabel(this)), buttonBar_(new QWidget(this)),
      ok_(new QPushButton(QStringLiteral("OK"), buttonBar_)),
      cancel_(new QPushButton(QStringLiteral("Anuluj"), buttonBar_)) {
    setObjectName(QStringLiteral("TFWyborOkresu"));
    setWindowTitle(QStringLiteral("Wybór okresu"));
    prompt_->setObjectName(QStringLiteral("Label_Prompt"));
    first_ = BuildPane(Calendar::First, "od");
    second_ = BuildPane(Calendar::Second, "do");
    ok_->setObjectName(QStringLiteral("Button_OK"));
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    ok_->setDefault(true);
    buttonBar_->setFixedHeight(kButtonHeight);

    auto* panes = new QHBoxLayout;
    panes->setSpacing(kPaneGap);
    panes->addWidget(first_.box);
    panes->addWidget(second_.box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMarginLeft, kMargin, kMarginRight, kMargin);
    layout->addWidget(prompt_);
    layout->addLayout(panes);
    layout->addWidget(buttonBar_);
    // The panes' fixed widths give the form its width: one calendar or two.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &TFWyborOkresu::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    Prepare(ChooseDay, {});
}

TFWyborOkresu::TPane TFWyborOkresu::BuildPane(Calendar which, const char* fromTo) {
    const QString number = which == Calendar::First ? QStringLiteral("1") : QStringLiteral("2");
    TPane pane;
    pane.box = new QWidget(this);
    pane.box->setFixedWidth(kPaneWidth);
    pane.fromTo = new QLabel(QString::fromLatin1(fromTo), pane.box);
    pane.fromTo->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(fromTo));
    pane.caption = new QLabel(pane.box);
    pane.caption->setObjectName(QStringLiteral("Panel_Caption") + number);
    pane.caption->setAlignment(Qt::AlignCenter);
    pane.caption->setFrameShape(QFrame::Panel);
    pane.caption->setFrameShadow(QFrame::Sunken);
    QFont bold = pane.caption->font();
    bold.setBold(true);
    pane.caption->setFont(bold);

    auto* panel = new QHBoxLayout;
    panel->setSpacing(2);
    for (std::size_t i = 0; i < kStepButtons.size(); ++i) {
        const TStepButton& b = kStepButtons[i];
        auto* button = new QToolButton(pane.box);
        button->setText(QString::fromLatin1(b.text));
        button->setObjectName(QString::fromLatin1(b.name) + number);
        button->setFixedWidth(26);
        connect(button, &QToolButton::clicked, this, [this, which, step = b.step] { OnStep(which, step); });
        pane.steps[static_cast<std::size_t>(b.step)] = button;
        if (i == 2) panel->addWidget(pane.caption, 1);
        panel->addWidget(button);
    }

    pane.calendar = new QCalendarWidget(pane.box);
    pane.calendar->setObjectName(QStringLiteral("Calendar") + number);
    pane.calendar->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    pane.calendar->setFirstDayOfWeek(Qt::Monday);
    pane.calendar->setNavigationBarVisible(false);
    pane.calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    pane.calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    pane.calendar->setDateEditEnabled(false);
    pane.calendar->setMinimumDate(ToQDate(kFirstDate));
    connect(pane.calendar, &QCalendarWidget::selectionChanged, this, [this, which] { OnDayPicked(which); });

    auto* column = new QVBoxLayout(pane.box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    column->addWidget(pane.fromTo);
    column->addLayout(panel);
    column->addWidget(pane.calendar);
    return pane;
}

QToolButton* TFWyborOkresu::StepButton(Calendar which, CalendarStep step) const {
    return Pane(which).steps[static_cast<std::size_t>(step)];
}

bool TFWyborOkresu::ChoosePeriod(int mode, TimeStamp& start, TimeStamp& end) {
    Prepare(mode, {start, end});
    exec();
    if (!accepted_ || !IsUsablePeriod(mode_, chosen_)) return false;
    start = chosen_.start;
    end = chosen_.end;
    return true;
}

void TFWyborOkresu::Prepare(int mode, const TPeriod& proposed) {
    mode_ = mode;
    accepted_ = false;
    chosen_ = {};
    const bool range = mode != ChooseDay;
    prompt_->setText(Text(ChooserPrompt(mode)));
    first_.fromTo->setVisible(range);
    second_.fromTo->setVisible(range);
    second_.box->setVisible(range);
    // The bar starts at the left margin; the places are the form's.
    ok_->setGeometry((range ? kRangeOkX : kDayOkX) - kMarginLeft, 0, kButtonWidth, kButtonHeight);
    cancel_->setGeometry((range ? kRangeCancelX : kDayCancelX) - kMarginLeft, 0, kButtonWidth, kButtonHeight);
    dates_ = ProposedDates(proposed, Today());
    ShowDates();
}

void TFWyborOkresu::accept() {
    chosen_ = ChosenPeriod(dates_);
    accepted_ = true;
    QDialog::accept();
}

TDate TFWyborOkresu::Today() const { return fixedToday_.value_or(DateOf(NowStamp())); }

void TFWyborOkresu::OnDayPicked(Calendar which) {
    if (!showing_) Change(which, FromQDate(Pane(which).calendar->selectedDate()));
}

void TFWyborOkresu::OnStep(Calendar which, CalendarStep step) {
    const TDate shown = which == Calendar::First ? dates_.first : dates_.second;
    Change(which, StepDate(shown, step));
}

void TFWyborOkresu::Change(Calendar which, const TDate& date) {
    dates_ = ChangeDate(dates_, which, date, mode_, Today());
    ShowDates();
}

void TFWyborOkresu::ShowDates() {
    showing_ = true;
    for (const auto& [pane, date] : {std::pair{&first_, dates_.first}, std::pair{&second_, dates_.second}}) {
        pane->calendar->setSelectedDate(ToQDate(date));
        pane->calendar->setCurrentPage(date.year, date.month);
        pane->caption->setText(Text(CalendarCaption(date)));
    }
    showing_ = false;
}

} // namespace kiv
