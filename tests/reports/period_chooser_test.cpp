// The period chooser clicked through as a user does it: the layout of each
// mode, the caption panels, the step buttons and day clicks on both calendars
// with the date rules behind them, "OK" and "Anuluj"; and a picture of each
// mode.
#include "reports/period_chooser.h"

#include <QCalendarWidget>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace kiv;

namespace {

constexpr TDate kToday{2024, 6, 20};

// The cell of a day of the month the calendar shows (not a neighbour
// month's day that shares the number).
QModelIndex DayCell(const QTableView* view, int day) {
    const QAbstractItemModel* model = view->model();
    QModelIndex found;
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if (model->data(index).toString() != QString::number(day)) continue;
            // Low numbers repeat at the end (next month), high ones at the start.
            if (day > 14 || !found.isValid()) found = index;
        }
    return found;
}

void ClickDay(QCalendarWidget* calendar, int day) {
    auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(view);
    const QModelIndex cell = DayCell(view, day);
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
}

QString DateText(const TDate& d) { return QDate(d.year, d.month, d.day).toString(Qt::ISODate); }

int XOf(const QWidget* w) { return w->mapTo(w->window(), QPoint(0, 0)).x(); }

} // namespace

class PeriodChooserTest : public QObject {
    Q_OBJECT

private:
    static void ExpectDates(const TFWyborOkresu& chooser, const TDate& first, const TDate& second) {
        QCOMPARE(DateText(chooser.Dates().first), DateText(first));
        QCOMPARE(DateText(chooser.Dates().second), DateText(second));
        QCOMPARE(chooser.CalendarOf(Calendar::First)->selectedDate(), QDate(first.year, first.month, first.day));
        QCOMPARE(chooser.CaptionOf(Calendar::First)->text(), QString::fromStdString(CalendarCaption(first)));
        QCOMPARE(chooser.CaptionOf(Calendar::Second)->text(), QString::fromStdString(CalendarCaption(second)));
    }

private slots:
    void clickThroughBothModes() {
        TFWyborOkresu chooser;
        chooser.SetToday(kToday);
        chooser.Prepare(ChooseOneMonth, {EncodeTime({2024, 6, 1, 0, 0, 0}), EncodeTime({2024, 6, 10, 0, 0, 0})});
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QCOMPARE(chooser.width(), 473);
        QCOMPARE(XOf(chooser.OkButton()), 304);
        QCOMPARE(XOf(chooser.CancelButton()), 384);
        QCOMPARE(chooser.PromptLabel()->text(), QString("Wybierz przedział czasu z zakresu 1 miesiąca"));
        QVERIFY(chooser.findChild<QLabel*>("Label_od")->isVisible());
        QVERIFY(chooser.findChild<QLabel*>("Label_do")->isVisible());
        QVERIFY(chooser.CalendarOf(Calendar::Second)->isVisible());
        ExpectDates(chooser, {2024, 6, 1}, {2024, 6, 9});
        QCOMPARE(chooser.CaptionOf(Calendar::First)->text(), QString("czerwiec 2024"));

        const struct {
            const char* action;
            Calendar calendar;
            std::optional<CalendarStep> step; // else a click on `day`
            int day;
            TDate first;
            TDate second;
        } clicks[] = {
            {"\"<\" pulls the end into the month", Calendar::First, CalendarStep::PreviousMonth, 0,
             {2024, 5, 1}, {2024, 5, 31}},
            {"a day click on the first calendar", Calendar::First, {}, 31, {2024, 5, 31}, {2024, 5, 31}},
            {"\"<<\" keeps the last day and limits the end", Calendar::First, CalendarStep::PreviousYear, 0,
             {2023, 5, 31}, {2023, 6, 29}},
            {"a day click on the second calendar", Calendar::Second, {}, 15, {2023, 5, 31}, {2023, 6, 15}},
            {"\">>\" on the first drags the second along", Calendar::First, CalendarStep::NextYear, 0,
             {2024, 5, 31}, {2024, 5, 31}},
            {"\">\" into the future stops at today", Calendar::Second, CalendarStep::NextMonth, 0, {2024, 5, 31},
             kToday},
            {"\"<\" on the second before the first drags it back", Calendar::Second, CalendarStep::PreviousMonth, 0,
             {2024, 5, 20}, {2024, 5, 20}},
            {"a day click on the second before the first", Calendar::Second, {}, 3, {2024, 5, 3}, {2024, 5, 3}},
        };
        for (const auto& click : clicks) {
            if (click.step)
                chooser.StepButton(click.calendar, *click.step)->click();
            else
                ClickDay(chooser.CalendarOf(click.calendar), click.day);
            QVERIFY2(chooser.Dates().first == click.first && chooser.Dates().second == click.second,
                     qPrintable(QString(click.action) + ": " + DateText(chooser.Dates().first) + " .. " +
                                DateText(chooser.Dates().second)));
            ExpectDates(chooser, click.first, click.second);
        }
        ClickDay(chooser.CalendarOf(Calendar::Second), 7);
        ExpectDates(chooser, {2024, 5, 3}, {2024, 5, 7});
        chooser.OkButton()->click();
        QVERIFY(!chooser.isVisible());
        QVERIFY(chooser.Accepted());
        QCOMPARE(QString::fromStdString(StampText(chooser.Chosen().start)), QString("2024-05-03 00:00:01"));
        QCOMPARE(QString::fromStdString(StampText(chooser.Chosen().end)), QString("2024-05-08 00:00:00"));

        // Reused for one day: one calendar, both showing today without a proposal.
        chooser.Prepare(ChooseDay, {});
        QVERIFY(!chooser.Accepted());
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QCOMPARE(chooser.width(), 239);
        QCOMPARE(XOf(chooser.OkButton()), 70);
        QCOMPARE(XOf(chooser.CancelButton()), 150);
        QCOMPARE(chooser.PromptLabel()->text(), QString("Wybierz dzień"));
        QVERIFY(!chooser.findChild<QLabel*>("Label_od")->isVisible());
        QVERIFY(!chooser.CalendarOf(Calendar::Second)->isVisible());
        ExpectDates(chooser, kToday, kToday);
        ClickDay(chooser.CalendarOf(Calendar::First), 5);
        ExpectDates(chooser, {2024, 6, 5}, {2024, 6, 4});
        chooser.CancelButton()->click();
        QVERIFY(!chooser.isVisible());
        QVERIFY(!chooser.Accepted());
    }

    // Under Xvfb the pictures land among the build's artifacts.
    void screenshots() {
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        TFWyborOkresu chooser;
        chooser.SetToday(kToday);
        for (int mode : {ChooseDay, ChooseOneMonth, ChooseTwoMonths}) {
            chooser.Prepare(mode, {EncodeTime({2024, 5, 1, 0, 0, 0}), EncodeTime({2024, 5, 15, 0, 0, 0})});
            chooser.show();
            QVERIFY(QTest::qWaitForWindowExposed(&chooser));
            for (const QLabel* label : chooser.findChildren<QLabel*>())
                if (label->isVisible())
                    QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QVERIFY(chooser.grab().save(folder + QString("/period-chooser-%1.png").arg(mode)));
            chooser.hide();
        }
    }
};

QTEST_MAIN(PeriodChooserTest)
#include "period_chooser_test.moc"
