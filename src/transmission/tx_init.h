#pragma once
// The direct transmission window TFTxInit ("Transmisja danych"). Opening
// reads the station file and the station's device profile; the window shows
// the link settings, saves them on "Zastosuj" (enabled while there are
// unsaved changes), opens the archive filter, and on "OK" hides itself,
// resets the progress window, opens the port through the communication
// module, runs ReadDevice, closes the port and reports the result: after a
// success the progress window stays up with "OK" and this window finishes
// when the user closes it; after a failure the result's message is shown and
// both windows close. A stored port, speed or time the fields cannot show
// (a port such as "/dev/ttyUSB0", a time above a field's range) is used and
// saved as read until the user changes that field. The window lives for the
// whole run; Open reuses it.
#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "comm/direct_readout.h"
#include "config/station_db.h"
#include "datafiles/profile.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
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

class TFTxInit : public QDialog {
    Q_OBJECT
public:
    TFTxInit(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    // Loads the station and its profile; on failure shows the message and
    // returns false, and the window is not to be shown.
    [[nodiscard]] bool Setup(const TTxInitArgs& args);
    // Setup, then shows the window application-modal; returns at once.
    void Open(const TTxInitArgs& args);

    // The result code of the last read-out, 0 before the first and when the port did not open.
    [[nodiscard]] int LastResult() const { return lastResult_; }
    // Whether the window still takes part in a transmission (shown, or
    // hidden while the read-out or its progress window runs).
    [[nodiscard]] bool Busy() const { return busy_; }

    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }
    [[nodiscard]] QPushButton* FilterButton() const { return filter_; }
    [[nodiscard]] QComboBox* PortCombo() const { return port_; }
    [[nodiscard]] QComboBox* BaudCombo() const { return baud_; }
    [[nodiscard]] QComboBox* ParityCombo() const { return parity_; }
    [[nodiscard]] QCheckBox* DtrBox() const { return dtr_; }
    [[nodiscard]] QCheckBox* RtsBox() const { return rts_; }
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
    // "OK": save question, then the read-out.
    void accept() override;
    // "Anuluj", Escape and the title bar: with unsaved changes, asks first.
    void reject() override;

private:
    void BuildFields();
    void FillFields();
    void MarkChanged(QObject* control);
    [[nodiscard]] bool Apply();
    void OpenFilter();
    [[nodiscard]] TRekStacjiFull EditedRecord() const;
    [[nodiscard]] TDirectReadOut ReadOutJob() const;
    void RunReadOut();
    void ShowResult(TxResult result, const std::string& messageText, int messageKind);
    void WatchProgress();
    void Finish();

    TFCommModule& comm_;
    TFTxProgress& progress_;
    TTxInitArgs args_;
    TRekStacjiFull record_;
    TRecProfParams profile_;
    std::vector<TParamItem> items_;
    int lastResult_ = 0;
    bool busy_ = false;
    bool filling_ = false;
    QTimer closeTimer_;

    QLabel* address_;
    QLabel* label_;
    QLabel* protocol_;
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* parity_;
    QCheckBox* dtr_;
    QCheckBox* rts_;
    QSpinBox* block_;
    QSpinBox* repeats_;
    QSpinBox* silence_;
    QSpinBox* startTimeout_;
    QSpinBox* charsTimeout_;
    QCheckBox* fromBox_;
    QCheckBox* toBox_;
    QDateTimeEdit* from_;
    QDateTimeEdit* to_;
    QCheckBox* log_;
    QPushButton* filter_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* apply_;
};

} // namespace kiv
