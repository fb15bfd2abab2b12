#pragma once
// The ordered-capacity optimisation window TFOptymal ("Optymalizacja mocy
// zamówionej"), one for the whole run, not modal. Start takes the station or
// virtual station from the main window and shows the default period; the
// window only gathers its inputs (the month rows of AdvStringGrid1, the
// quantities, the rate fields MaskEdit1..5) and shows what optimisation.h
// computes (AdvStringGrid2, Chart1 and the load-duration curve beside it, the
// status bar). The tariff set list ComboBox1 and its buttons keep the sets of
// Kiv.ini through tariff_sets.h; closing, and a start for another station
// while the window is open, ask whether the chosen set is to be remembered
// for the station. "Drukuj" prints through optimal_printout.h.
#include "capacity/optimal_printout.h"
#include "capacity/optimisation.h"
#include "capacity/optymal_chart.h"
#include "capacity/tariff_sets.h"
#include "support/gui/print_job.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace kiv {

// What the main window hands over.
struct TOptymalArgs {
    std::string key; // an address, or a virtual station's member formula
    std::string label;
    int hourShift = -2;
    TimeStamp upper = 0xFFFFFFFFu;
    TimeStamp lower = 0;
    std::string dataFolder;
    std::string kivIni; // empty: Kiv.ini of the working folder
};

// Asks a name under the title; empty when none was given.
using TNamePrompt = std::function<std::string(const std::string &title)>;

class TFOptymal : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFOptymal(QWidget *parent = nullptr);

    // False, after the box "Błąd konfiguracji", when the key names no member;
    // the window is then not shown. Called while the window is open, it first
    // asks the closing question about the set chosen for the station shown;
    // on "Anuluj" it returns false and the window stays on that station.
    bool Start(const TOptymalArgs &args);
    void SetNamePrompt(TNamePrompt prompt) { prompt_ = std::move(prompt); }

    // "Oblicz".
    void Calculate();
    // "Dodaj grupę" and "Usuń grupę".
    void AddTariff();
    void DeleteTariff();
    // "Drukuj" to the destination: the printer (after its dialog) or a PDF file.
    TPrintResult Print(const TPrintDestination &destination);

    void SetPeriod(int startMonth, int startYear, int months);
    void SetEditing(bool editing); // "Edycja", else "Archiwum"

    [[nodiscard]] const TOptimisation &Result() const { return result_; }
    [[nodiscard]] const std::vector<double> &Flows() const { return flows_; }
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] QTableWidget *InputGrid() const { return inputs_; }
    [[nodiscard]] QTableWidget *ResultGrid() const { return results_; }
    [[nodiscard]] QComboBox *TariffList() const { return tariffs_; }
    [[nodiscard]] QLineEdit *RateEdit(int k) const { return rates_[static_cast<std::size_t>(k)]; }
    [[nodiscard]] QLineEdit *WinterEdit() const { return winter_; }
    [[nodiscard]] QLineEdit *SummerEdit() const { return summer_; }
    [[nodiscard]] QSpinBox *MonthSpin() const { return month_; }
    [[nodiscard]] QSpinBox *YearSpin() const { return year_; }
    [[nodiscard]] QSpinBox *MonthsSpin() const { return months_; }
    [[nodiscard]] QTabWidget *ChartTabs() const { return tabs_; }
    [[nodiscard]] QChart *PriceChart() const { return chart_; }
    [[nodiscard]] QPushButton *Button(const QString &caption) const;

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void BuildInputSide(QWidget *side);
    QWidget *BuildTariffBox();
    void StepMonth(int years);
    void PeriodChanged();
    void LabelMonths();
    void ClearResults();
    void ShowResult();
    void ShowStatus(const std::string &text, const QColor &colour);
    void ShowOutcome(OptimiseStatus status);
    void FillTariffList(const std::string &wanted);
    void TariffChosen();
    void RateEdited(int k, const QString &text);
    void GridKey(int key);
    [[nodiscard]] bool AskTariffName(std::string &name);
    // The closing question when the set in the list is not the one remembered
    // for the station: "Tak" stores it (asking a name for a new set when the
    // empty item is chosen), "Nie" drops it. False on "Anuluj" and when the
    // choice could not be stored.
    [[nodiscard]] bool SettleTariffChoice();
    [[nodiscard]] TOptimiseInputs Inputs() const;
    void PutInputs(const TOptimiseInputs &inputs);
    [[nodiscard]] TRateTexts RateTexts() const;
    [[nodiscard]] long long ChosenCapacity() const;
    void DrawPrintout(IPrintSurface &surface) const;
    [[nodiscard]] TOptimalPage PrintedPage(const std::string &chartFile, const std::string &curveFile) const;

    TOptymalArgs args_;
    TNumTab members_;
    TTariffOwner owner_;
    std::string remembered_; // the station's set name as last read or stored
    TNamePrompt prompt_;
    TOptimisation result_;
    std::vector<double> flows_;
    bool filling_ = false;
    std::array<QString, kRateCount> lastRates_;
    TPriceChart shownPrices_;
    TDurationChart shownCurve_;

    QSpinBox *month_;
    QSpinBox *year_;
    QSpinBox *months_;
    QRadioButton *archive_;
    QRadioButton *editing_;
    QTableWidget *inputs_;
    QTableWidget *results_;
    QLineEdit *winter_;
    QLineEdit *summer_;
    QComboBox *tariffs_;
    std::array<QLineEdit *, kRateCount> rates_{};
    QTabWidget *tabs_;
    QChart *chart_;
    QChart *curve_;
    QLabel *status_;
    QAction *print_;
    std::vector<QPushButton *> buttons_;
};

} // namespace kiv
