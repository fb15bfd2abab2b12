#pragma once
// TFTxForm, what the direct (tx_init.h) and the manual modem (tx_modem.h)
// transmission windows share. Setup reads the station file and the station's
// device profile and fills the form; the form shows the station, the parity
// and read-out settings, the "Czytaj od"/"Czytaj do" range and the log box,
// saves the settings on "Zastosuj" (enabled while there are unsaved changes),
// opens the archive filter, and on "OK" checks the range, asks about unsaved
// changes and hands over to the window's own road (StartReadOut). After a
// good read-out the progress window stays up with "OK" and the form finishes
// when the user closes it; after a failure the message is shown and both
// windows close. A stored parity or time the fields cannot show is used and
// saved as read until the user changes that field. Each window adds its own
// link fields to the rows built here.
#include <QDialog>
#include <QTimer>

#include <initializer_list>
#include <string>
#include <vector>

#include "comm/device_readout.h"
#include "comm/tx_result.h"
#include "config/station_db.h"
#include "datafiles/profile.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kiv {

class TFCommModule;
class TFTxProgress;

// What the main window hands over for the selected station.
struct TTxInitArgs {
    int address = 0;
    std::string kivIni;
    std::vector<std::string> profileNames; // the catalogue's profile names ...
    std::vector<std::string> profileFiles; // ... and their files in the program folder
    std::string dataFolder;                // with its trailing "/"
    std::string stationFile;
};

inline constexpr const char* kTxInitTitle = "Transmisja";
inline constexpr const char* kTxLogName = "Tx.log";
inline constexpr const char* kReversedRangeText =
    "Początek zakresu odczytu (\"Czytaj od\") jest późniejszy niż jego koniec (\"Czytaj do\")";

// A captioned field a window adds to one of the form's boxes.
struct TTxFormRow {
    const char* caption;
    QWidget* field;
};

class TFTxForm : public QDialog {
    Q_OBJECT
public:
    // Loads the station and its profile; on failure shows the message and
    // returns false, and the window is not to be shown.
    [[nodiscard]] bool Setup(const TTxInitArgs& args);
    // Setup, then shows the window application-modal; returns at once.
    void Open(const TTxInitArgs& args);

    // The result code of the last read-out, 0 before the first and when none ran.
    [[nodiscard]] int LastResult() const { return lastResult_; }
    // Whether the window still takes part in a transmission (shown, or
    // hidden while the read-out or its progress window runs).
    [[nodiscard]] bool Busy() const { return busy_; }

    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }
    [[nodiscard]] QPushButton* FilterButton() const { return filter_; }
    [[nodiscard]] QComboBox* ParityCombo() const { return parity_; }
    [[nodiscard]] QSpinBox* BlockSpin() const { return block_; }
    [[nodiscard]] QSpinBox* RepeatsSpin() const { return repeats_; }
    [[nodiscard]] QSpinBox* SilenceSpin() const { return silence_; }
    [[nodiscard]] QSpinBox* StartTimeoutSpin() const { return startTimeout_; }
    [[nodiscard]] QSpinBox* CharsTimeoutSpin() const { return charsTimeout_; }
    [[nodiscard]] QCheckBox* FromBox() const { return fromBox_; }
    [[nodiscard]] QCheckBox* ToBox() const { return toBox_; }
    [[nodiscard]] QDateTimeEdit* FromEdit() const { return from_; }
    [[nodiscard]] QDateTimeEdit* ToEdit() const { return to_; }
    [[nodiscard]] QCheckBox* LogBox() const { return log_; }
    [[nodiscard]] QString ProtocolText() const;
    [[nodiscard]] QString AddressText() const;
    [[nodiscard]] QString LabelText() const;

public slots:
    // "OK": the range check and the save question, then the window's road.
    void accept() override;
    // "Anuluj", Escape and the title bar: with unsaved changes, asks first.
    void reject() override;

protected:
    // `setupTitle` heads the messages of a station whose profile cannot be read.
    TFTxForm(TFCommModule& comm, TFTxProgress& progress, const char* setupTitle, QWidget* parent);

    // Builds the form: `stationRows` below the station's protocol, `linkRows`
    // above the parity. Called once from the window's constructor, after it
    // made those fields, so that Tab walks them in the order shown.
    void BuildForm(std::initializer_list<TTxFormRow> stationRows, std::initializer_list<TTxFormRow> linkRows);
    [[nodiscard]] QFormLayout* LinkForm() const { return linkForm_; }
    // Enables "Zastosuj" when the user, not the filling, changes the field.
    void WatchChanges(QComboBox* combo);
    void WatchChanges(QCheckBox* box);

    // Fills the window's own fields from Record(), while the form is being filled.
    virtual void FillOwnFields() = 0;
    // Puts the window's own fields into the record saved and read out.
    virtual void EditOwnFields(TRekStacjiFull& edited) const = 0;
    // Runs the window's road once "OK" has passed the shared checks.
    virtual void StartReadOut() = 0;

    [[nodiscard]] TFCommModule& Comm() const { return comm_; }
    [[nodiscard]] TFTxProgress& Progress() const { return progress_; }
    [[nodiscard]] const TTxInitArgs& Args() const { return args_; }
    [[nodiscard]] const TRekStacjiFull& Record() const { return record_; }
    [[nodiscard]] const TRecProfParams& Profile() const { return profile_; }
    [[nodiscard]] const std::vector<TParamItem>& Items() const { return items_; }
    [[nodiscard]] TRekStacjiFull EditedRecord() const;
    // The range picked in "Czytaj od" and "Czytaj do".
    void PutRange(TReadOutInput& input) const;
    void SetLastResult(int code) { lastResult_ = code; }

    // Hides the form and resets the progress window for the station.
    void ShowProgress();
    // Shows how the read-out ended; see the header's opening.
    void ShowResult(TxResult result, const std::string& messageText, int messageKind);
    // Leaves the progress window up with "OK"; the form finishes when the user closes it.
    void WaitForClose();
    void Finish();

private:
    QWidget* BuildStationBox(std::initializer_list<TTxFormRow> rows);
    QWidget* BuildLinkBox(std::initializer_list<TTxFormRow> rows);
    QWidget* BuildRangeBox();
    QLayout* BuildButtons();
    void FillFields();
    void MarkChanged(QObject* control);
    [[nodiscard]] bool Apply();
    void OpenFilter();
    void WatchProgress();

    TFCommModule& comm_;
    TFTxProgress& progress_;
    const char* setupTitle_;
    TTxInitArgs args_;
    TRekStacjiFull record_;
    TRecProfParams profile_;
    std::vector<TParamItem> items_;
    int lastResult_ = 0;
    bool busy_ = false;
    bool filling_ = false;
    QTimer closeTimer_;

    QLabel* address_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* protocol_ = nullptr;
    QFormLayout* linkForm_ = nullptr;
    QComboBox* parity_ = nullptr;
    QSpinBox* block_ = nullptr;
    QSpinBox* repeats_ = nullptr;
    QSpinBox* silence_ = nullptr;
    QSpinBox* startTimeout_ = nullptr;
    QSpinBox* charsTimeout_ = nullptr;
    QCheckBox* fromBox_ = nullptr;
    QCheckBox* toBox_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QCheckBox* log_ = nullptr;
    QPushButton* filter_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace kiv
