#pragma once
// The events viewer TFEvents ("Zdarzenia"): one window for the whole run.
// Open lists the station's valid generations in ComboBox_EvFile and shows the
// first; the grid StringGrid maps the rows of a TEventsView (events_view.h)
// without copying them, so a full file opens at once. "Parametry dodatkowe"
// (only with a definition file) adds the parameter lines and keeps the
// current event selected; "Drukuj" prints the selected lines, or all.
#include "reports/events_view.h"
#include "support/gui/print_job.h"
#include "support/helpers.h"

#include <QMainWindow>

#include <string>
#include <vector>

class QAction;
class QComboBox;
class QTableView;

namespace kiv {

class TEventsModel;

class TFEvents : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFEvents(QWidget *parent = nullptr, std::string programFolder = ProgramFolder());

    void Open(const std::string &dataFolder, int address);
    // Fills the grid with the generation and brings the window to the front.
    void ShowGeneration(int generation);
    // "Drukuj" to the destination: the printer (after its dialog) or a PDF file.
    TPrintResult Print(const TPrintDestination &destination);
    // The grid rows "Drukuj" prints now.
    [[nodiscard]] std::vector<int> PrintRows() const;

    [[nodiscard]] const TEventsView &View() const { return view_; }
    [[nodiscard]] int Generation() const { return generation_; }
    [[nodiscard]] QComboBox *Generations() const { return generations_; }
    [[nodiscard]] QTableView *Grid() const { return grid_; }
    [[nodiscard]] QAction *PrintAction() const { return print_; }
    [[nodiscard]] QAction *ParametersAction() const { return parameters_; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void FitColumns();
    void ToggleParameters(bool shown);
    void SelectRow(int row);

    std::string programFolder_;
    std::string dataFolder_;
    int address_ = 0;
    int generation_ = -1;
    TEventsView view_;
    TEventsModel *model_;
    QComboBox *generations_;
    QTableView *grid_;
    QAction *print_;
    QAction *parameters_;
};

} // namespace kiv
