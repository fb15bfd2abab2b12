#pragma once
// The export window TFEksport ("Eksport") and the command behind "Eksport -->
// CSV" and "Eksport --> DZN". Run clips and shifts the period; for CSV it
// offers the parameter names of every station in ListaNazw and, after "OK"
// with at least one ticked name, writes the files through csv_export.h; DZN
// needs no choice and writes at once through dzn_export.h. Either asks for
// the output folder ("Wybierz katalog danych", starting in the data folder)
// once, before the first file, and ends with a line on what was written.
#include "export/csv_export.h"
#include "export/dzn_export.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kiv {

// What the main window hands over after the period chooser.
struct TExportArgs {
    std::vector<std::string> keyLabels; // "00012@label", real stations only
    std::string dataFolder;
    TimeStamp start = 0; // first day 00:00:01
    TimeStamp end = 0;   // the day after the last one, 00:00:00
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    int hourShift = -2;
    std::string format; // "CSV" or "DZN"
};

class TFEksport : public QDialog {
    Q_OBJECT
  public:
    explicit TFEksport(QWidget *parent = nullptr);

    // The whole command; what it wrote (nothing when the period was refused,
    // the window closed without a ticked name or no folder was chosen).
    TExportOutcome Run(const TExportArgs &args);
    // The captions of the format and period, and the names, none ticked.
    void Setup(const std::string &format, const TExportPeriod &period, const std::vector<std::string> &names);
    [[nodiscard]] std::vector<std::string> TickedNames() const;

    [[nodiscard]] QLabel *Lstacja() const { return lstacja_; }
    [[nodiscard]] QLabel *LOkres() const { return lokres_; }
    [[nodiscard]] QListWidget *ListaNazw() const { return listaNazw_; }
    [[nodiscard]] QPushButton *CheckAllButton() const { return checkAll_; }
    [[nodiscard]] QPushButton *CheckNonButton() const { return checkNon_; }
    [[nodiscard]] QPushButton *OkButton() const { return ok_; }

  private:
    void TickAll(bool ticked);
    void OnOk();
    [[nodiscard]] bool AskFolder(std::string &folder);
    void Report(const TExportOutcome &outcome, const std::string &folder);

    QLabel *lstacja_;
    QLabel *lokres_;
    QListWidget *listaNazw_;
    QPushButton *checkAll_;
    QPushButton *checkNon_;
    QPushButton *ok_;
    QProgressBar *progress_;
    std::string dataFolder_;
};

} // namespace kiv
