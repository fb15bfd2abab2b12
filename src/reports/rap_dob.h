#pragma once
// The daily report window TFRapDob and its print list TFListaWydrukuDob
// ("Lista do wydruku"). The window holds the station entries, the day start
// and the shift; every step ("<", ">", "-Stacja", "+Stacja", a double click
// in the list) rebuilds the report through daily_report.h and shows its
// cells right-aligned by blanks. "Drukuj" prints the chosen number of days
// of every ticked station, one page each, and leaves the last one shown.
#include "reports/daily_report.h"
#include "support/gui/print_job.h"

#include <QDialog>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QFont;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kiv {

// What the main window hands over after the period chooser.
struct TDailyReportArgs {
    std::vector<std::string> entries; // "key@label"
    std::string dataFolder;
    TimeStamp dayStart = 0; // D 00:00:01
    TimeStamp end = 0;      // kept, not used
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    int hourShift = -2;
    std::string kivIni;
};

class TFListaWydrukuDob : public QDialog {
    Q_OBJECT
  public:
    explicit TFListaWydrukuDob(QWidget *parent = nullptr);

    // One ticked line per text, the first selected.
    void SetLines(const std::vector<std::string> &lines);
    [[nodiscard]] int Count() const;
    [[nodiscard]] int Selected() const;
    void Select(int line);
    [[nodiscard]] bool Ticked(int line) const;
    void SetTicked(int line, bool ticked);

    [[nodiscard]] QListWidget *List() const { return list_; }
    [[nodiscard]] QPushButton *TickAllButton() const { return tickAll_; }
    [[nodiscard]] QPushButton *UntickAllButton() const { return untickAll_; }
    [[nodiscard]] QPushButton *OkButton() const { return ok_; }

  signals:
    // A double click: the list closed and the report is to show that line.
    void LineChosen(int line);

  private:
    void TickAll(bool ticked);

    QListWidget *list_;
    QPushButton *tickAll_;
    QPushButton *untickAll_;
    QPushButton *ok_;
};

class TFRapDob : public QWidget {
    Q_OBJECT
  public:
    explicit TFRapDob(QWidget *parent = nullptr);

    void Open(const TDailyReportArgs &args);
    // Rebuilds the report of the selected line and day and brings the window to the front.
    void Build();
    // The chosen number of days of every ticked line, built in order; S ends
    // at the last day and the last line's report is shown.
    [[nodiscard]] std::vector<TDailyReport> PrintPages();
    // "Drukuj" to the destination: the printer (after its dialog) or a PDF file.
    TPrintResult Print(const TPrintDestination &destination);

    [[nodiscard]] TimeStamp DayStart() const { return dayStart_; }
    [[nodiscard]] const TDailyReport &Shown() const { return shown_; }
    [[nodiscard]] TFListaWydrukuDob *PrintList() const { return list_; }
    [[nodiscard]] QTableWidget *Table() const { return table_; }
    [[nodiscard]] QPlainTextEdit *CounterLines() const { return counters_; }
    [[nodiscard]] QPushButton *Button(const QString &caption) const;
    [[nodiscard]] QSpinBox *DaysEdit() const { return days_; }

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void StepDay(int days);
    void StepStation(int lines);
    void ShowReport(const TDailyReport &report);
    void UpdateStationButtons();

    TDailyReportArgs args_;
    TimeStamp dayStart_ = 0;
    TDailyReport shown_; // the cells as the table shows them
    TFListaWydrukuDob *list_;
    QTableWidget *table_;
    QPlainTextEdit *counters_;
    QSpinBox *days_;
    std::vector<QPushButton *> buttons_;
};

// The report's cells right-aligned as the window's table shows them in that font.
[[nodiscard]] TDailyReport AlignAsShown(const TDailyReport &report, const QFont &font);
// Built reports, aligned as shown in the application's font, one page each
// into a PDF file; false (after the message) when the file could not be written.
[[nodiscard]] bool PrintDailyToPdf(const std::vector<TDailyReport> &reports, const std::string &file);

} // namespace kiv
