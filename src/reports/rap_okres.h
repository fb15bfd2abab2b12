#pragma once
// The period report window TFRapOkres ("Raport Okresowy") and its print list
// TFListaWydrukuOkr. The window holds the station entries, the period S..E
// and the shift; every step ("<", ">", "-Dzień", "+Dzień", "-Stacja",
// "+Stacja", a double click in the list) rebuilds the report through
// period_report.h and maps it onto the grid TabRapOkr: the column names and
// units stand in the grid's fixed header, the print-selection glyphs in its
// first row (a click there toggles the column and writes the station file),
// the days below, the extremes white on red. TSum and the two status panels
// sit under the grid. "&Drukuj" prints every ticked station, "Eksport" saves
// the shown one as CSV.
#include "reports/period_report.h"
#include "reports/rap_dob.h"
#include "support/gui/print_job.h"

#include <QFont>
#include <QMainWindow>

#include <array>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QTableWidget;

namespace kiv {

// What the main window hands over after the period chooser.
struct TPeriodReportArgs {
    std::vector<std::string> entries; // "key@label"
    std::string dataFolder;
    TimeStamp start = 0; // the first day 00:00:01
    TimeStamp end = 0;   // the day after the last one, 00:00:00
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    int hourShift = -2;
    std::string kivIni;
};

// The daily report's list with the period report's hint.
class TFListaWydrukuOkr : public TFListaWydrukuDob {
    Q_OBJECT
  public:
    explicit TFListaWydrukuOkr(QWidget *parent = nullptr);
};

class TFRapOkres : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFRapOkres(QWidget *parent = nullptr);

    // Fills the list, shows its first line; false when that report could not be built.
    bool Open(const TPeriodReportArgs &args);
    // Rebuilds the selected line's report; false when nothing could be shown.
    bool Build();
    // The reports of every ticked line over the current period, as printed.
    [[nodiscard]] std::vector<TPeriodPage> PrintPages() const;
    // "&Drukuj" to the destination: after the printer's dialog each ticked
    // station's report is a document of its own; a PDF file takes them one
    // after another.
    TPrintResult Print(const TPrintDestination &destination);
    // "Eksport" for the path the save dialog gave (empty: cancelled); the file written or empty.
    std::string Export(TCsvLayout layout, const std::string &chosenPath);

    [[nodiscard]] TimeStamp Start() const { return start_; }
    [[nodiscard]] TimeStamp End() const { return end_; }
    [[nodiscard]] bool HasReport() const { return hasReport_; }
    [[nodiscard]] const TPeriodReport &Shown() const { return shown_; }
    [[nodiscard]] const TPrintSelection &Selection() const { return selection_; }
    [[nodiscard]] TFListaWydrukuOkr *PrintList() const { return list_; }
    // The grid row of a report row (2 and below; 0 and 1 are the header).
    [[nodiscard]] static int GridRow(int reportRow) { return reportRow - kPeriodMarkRow; }
    [[nodiscard]] QTableWidget *Grid() const { return grid_; }
    [[nodiscard]] QTableWidget *SumGrid() const { return sum_; }
    [[nodiscard]] QLabel *StatusPanel(int panel) const { return panels_[static_cast<std::size_t>(panel)]; }
    [[nodiscard]] QAction *Action(const QString &caption) const;

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    [[nodiscard]] TPeriodRequest Request(int line) const;
    TPeriodBuild BuildShown();
    void StepPeriod(int startDays, int endDays);
    void StepStation(int lines);
    void ShowReport();
    void FitSize();
    void ShowMarks();
    void ClearReport();
    void UpdateActions();
    void ShowHint(int column);
    void ToggleColumn(int column);
    void AskExport(TCsvLayout layout);

    TPeriodReportArgs args_;
    TimeStamp start_ = 0;
    TimeStamp end_ = 0;
    TPeriodReport shown_;
    bool hasReport_ = false;
    TPrintSelection selection_;
    TFListaWydrukuOkr *list_;
    QTableWidget *grid_; // TabRapOkr
    QTableWidget *sum_;  // TSum
    std::array<QLabel *, 2> panels_{};
    std::vector<QAction *> actions_;
};

// The grid's font, "MS Sans Serif" 10 pt (or what stands in for it).
[[nodiscard]] QFont PeriodGridFont();
// The report with the column widths the window gives it, ready for printing.
[[nodiscard]] TPeriodPage PageAsShown(const TPeriodReport &report, TPrintSelection selection);
// The reports into a landscape PDF file, each from a new page; false (after
// the message) when it could not be written.
[[nodiscard]] bool PrintPeriodToPdf(const std::vector<TPeriodPage> &pages, const std::string &file);

} // namespace kiv
