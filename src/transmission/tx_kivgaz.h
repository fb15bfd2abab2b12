#pragma once
// TFTxKivGaz ("Przenośnik KivGAZ"): reads the KivGAZ transporter. The
// transporter's address and port (tx_kivgaz_fields.h) are saved with
// "Zastosuj". "Wyszukaj" lists the devices the transporter holds, every one
// ticked; a device without a station is marked "+" and the user is asked
// whether to add those stations ("Tak": each is created with its name and
// nameplate, "Nie": they leave the list). "OK" reads every ticked device
// through the progress window, one after another, and closes the window;
// each device's outcome goes to "KivGAZ.log" in the current folder, with the
// frames to "KivGAZ.log" (search) and "Tx.log" (read-outs) when "Log" is
// ticked. The steps themselves are comm/transporter.h. The window has no
// close box; Run shows it modal and tells whether stations were added, so
// that the main window reloads its station list.
#include <QDialog>

#include <string>
#include <vector>

#include "comm/progress_recorder.h"
#include "comm/transporter.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace kiv {

class TFCommModule;
class TFTxProgress;
class TKivGazFields;

// What the main window hands over.
struct TKivGazArgs {
    std::string kivIni;
    std::string dataFolder; // with its trailing "/"
    std::vector<std::string> profileNames;
    std::vector<std::string> profileFiles;
};

class TFTxKivGaz : public QDialog {
    Q_OBJECT
  public:
    TFTxKivGaz(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    // Fills the window for a new session: the settings, an empty list.
    void Setup(const TKivGazArgs& args);
    // Setup, then modal until the window closes; true when stations were added.
    [[nodiscard]] bool Run(const TKivGazArgs& args);
    [[nodiscard]] bool StationsAdded() const { return stationsAdded_; }
    // What the last "OK" did with each device.
    [[nodiscard]] const std::vector<TKivGazRead>& Reads() const { return reads_; }

    [[nodiscard]] TKivGazFields* Fields() const { return fields_; }
    [[nodiscard]] QCheckBox* LogBox() const { return log_; }
    [[nodiscard]] QListWidget* List() const { return list_; }
    [[nodiscard]] QPushButton* SearchButton() const { return search_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }

  public slots:
    // "Wyszukaj".
    void Search();
    // "OK": the save question, then every ticked device read.
    void accept() override;
    // "Anuluj" and Escape: with unsaved settings, asks first; not while busy.
    void reject() override;

  private:
    QLayout* BuildButtons();
    [[nodiscard]] TKivGazJob Job() const;
    [[nodiscard]] bool AskToSave();
    void SetBusy(bool busy);
    void ShowItems(const std::vector<TKivGazItem>& items);
    [[nodiscard]] std::vector<TKivGazItem> ListedItems() const;
    void TellSearch(const TKivGazSearch& search);
    void ReadDevices();

    TFCommModule& comm_;
    TFTxProgress& progress_;
    TTxProgressRecorder searchProgress_; // the search shows no progress window
    TKivGazArgs args_;
    std::vector<TKivGazItem> items_;
    std::vector<TKivGazRead> reads_;
    bool stationsAdded_ = false;
    bool busy_ = false;
    bool unsaved_ = false; // the settings changed since they were read or saved

    TKivGazFields* fields_;
    QCheckBox* log_;
    QListWidget* list_;
    QPushButton* search_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kiv
