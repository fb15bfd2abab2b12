#pragma once
// The data copy TFFileCopy ("Wybierz stacje do kopiowania"): the user ticks
// stations (Lista) and months (Mce) of a year, presses "Kopiuj" and names a
// folder other than the data folder in the save dialog; the month archives,
// current data and events of each ticked station are copied there
// (data_copy.h does the work) and the window closes.
#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace kiv {

inline constexpr char kFileCopyDialogTitle[] = "Zapisz pliki do katalogu: ";

class TFFileCopy : public QDialog {
    Q_OBJECT
public:
    explicit TFFileCopy(QWidget* parent = nullptr);

    // The stations of the station list, none ticked, and the current year;
    // shown without waiting.
    void Setup(const std::string& dataFolder);
    // Setup, then modal.
    void Execute(const std::string& dataFolder);

    [[nodiscard]] QListWidget* StationList() const { return stations_; }
    [[nodiscard]] QListWidget* MonthList() const { return months_; }
    [[nodiscard]] QSpinBox* YearSpin() const { return year_; }
    [[nodiscard]] QPushButton* CheckAllButton() const { return checkAll_; }
    [[nodiscard]] QPushButton* CopyButton() const { return copy_; }

private:
    void OnCheckAll();
    void OnUncheckAll();
    void OnCopy();
    // The save dialog until it names a folder other than the data folder;
    // false when cancelled.
    [[nodiscard]] bool AskDestination(std::string& folder);
    [[nodiscard]] std::vector<int> Ticked(const QListWidget* list) const;

    std::string dataFolder_;
    QListWidget* stations_ = nullptr;
    QListWidget* months_ = nullptr;
    QSpinBox* year_ = nullptr;
    QPushButton* checkAll_ = nullptr;
    QPushButton* copy_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace kiv
