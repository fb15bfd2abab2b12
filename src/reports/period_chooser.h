#pragma once
// The period chooser TFWyborOkresu: one day, or a range of at most one or two
// months, picked on two calendars, each under a caption panel (Polish month
// and year) with "<", ">", "<<", ">>". Every day click and step goes through
// the date rules of period_rules.h; the window only shows their dates. It is
// created once at start and reused: ChoosePeriod sets the mode, shows it
// modally and hands back the chosen period.
#include "reports/period_rules.h"

#include <QDialog>

#include <array>
#include <optional>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

namespace kiv {

class TFWyborOkresu : public QDialog {
    Q_OBJECT
public:
    explicit TFWyborOkresu(QWidget* parent = nullptr);

    // Proposed period in (0 and 0 for none), chosen period out; true when
    // "OK" gave one the caller can use (see IsUsablePeriod).
    [[nodiscard]] bool ChoosePeriod(int mode, TimeStamp& start, TimeStamp& end);
    // What ChoosePeriod does before showing: the mode's layout, the proposed
    // dates, the "accepted" flag cleared.
    void Prepare(int mode, const TPeriod& proposed);
    // Whether the last showing ended with "OK", and the period it gave.
    [[nodiscard]] bool Accepted() const { return accepted_; }
    [[nodiscard]] TPeriod Chosen() const { return chosen_; }

    [[nodiscard]] TPeriodDates Dates() const { return dates_; }
    // The rules' "today"; the computer's clock when never set.
    void SetToday(const TDate& today) { fixedToday_ = today; }

    [[nodiscard]] QCalendarWidget* CalendarOf(Calendar which) const { return Pane(which).calendar; }
    [[nodiscard]] QToolButton* StepButton(Calendar which, CalendarStep step) const;
    [[nodiscard]] QLabel* CaptionOf(Calendar which) const { return Pane(which).caption; }
    [[nodiscard]] QLabel* PromptLabel() const { return prompt_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    // One calendar with its "od"/"do" label, caption panel and step buttons.
    struct TPane {
        QWidget* box = nullptr;
        QLabel* fromTo = nullptr;
        QLabel* caption = nullptr;
        std::array<QToolButton*, 4> steps{}; // in CalendarStep order
        QCalendarWidget* calendar = nullptr;
    };

    [[nodiscard]] TPane BuildPane(Calendar which, const char* fromTo);
    [[nodiscard]] const TPane& Pane(Calendar which) const { return which == Calendar::First ? first_ : second_; }
    [[nodiscard]] TDate Today() const;
    void OnDayPicked(Calendar which);
    void OnStep(Calendar which, CalendarStep step);
    void Change(Calendar which, const TDate& date);
    void ShowDates();

    int mode_ = ChooseDay;
    TPeriodDates dates_;
    TPeriod chosen_;
    bool accepted_ = false;
    bool showing_ = false;
    std::optional<TDate> fixedToday_;

    QLabel* prompt_;
    TPane first_;
    TPane second_;
    QWidget* buttonBar_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kiv
