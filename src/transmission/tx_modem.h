#pragma once
// The manual modem transmission window TFTxModem ("Modem"), the modem twin
// of the direct window (tx_init.h). Opening reads the station file, the
// station's device profile and the modem profile names of Kiv.ini; the
// window shows the number dialled (behind the exchange prefix when the
// station uses it), the station's modem profile, parity and read-out
// settings, saves them on "Zastosuj", opens the archive filter, and on "OK"
// hides itself and runs the modem road (modem_readout.h): the modem
// initialised and dialled with "Modem.log" as the log, the read-out with
// "Tx.log", the hang-up. A dial that does not connect is told in its message
// and both windows close; after the read-out the result is handled as the
// direct window does. Without a modem profile or a number nothing is dialled
// and the window stays open for another choice. Lives for the whole run.
#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "comm/modem_readout.h"
#include "config/station_db.h"
#include "datafiles/profile.h"
#include "transmission/tx_init.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kiv {

class TFCommModule;
class TFTxProgress;

inline constexpr const char* kModemLogName = "Modem.log";
inline constexpr const char* kNoModemProfileText = "Nie wybrano profilu modemu";
inline constexpr const char* kNoTelephoneText = "Stacja nie ma numeru telefonu";

class TFTxModem : public QDialog {
    Q_OBJECT
public:
    TFTxModem(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    // Loads the station, its profile and the modem profiles; on failure
    // shows the message (title "Kiv") and returns false, and the window is not to be shown.
    [[nodiscard]] bool Setup(const TTxInitArgs& args);
    // Setup, then shows the window application-modal; returns at once.
    void Open(const TTxInitArgs& args);

    // How the last dial ended, -1 before the first and when nothing was dialled.
    [[nodiscard]] int LastDialResult() const { return lastDial_; }
    // The result code of the last read-out, 0 when none ran.
    [[nodiscard]] int LastResult() const { return lastResult_; }
    // Whether the window still takes part in a transmission.
    [[nodiscard]] bool Busy() const { return busy_; }

    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }
    [[nodiscard]] QPushButton* FilterButton() const { return filter_; }
    [[nodiscard]] QComboBox* ModemCombo() const { return modem_; }
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
    [[nodiscard]] QString AddressText() const;
    [[nodiscard]] QString LabelText() const;
    [[nodiscard]] QString ProtocolText() const;
    [[nodiscard]] QString TelephoneText() const;

public slots:
    // "OK": the checks and the save question, then the dial and the read-out.
    void accept() override;
    // "Anuluj", Escape and the title bar: with unsaved changes, asks first.
    void reject() override;

private:
    void BuildFields();
    QWidget* BuildStationBox();
    QWidget* BuildLinkBox();
    QWidget* BuildRangeBox();
    void FillFields();
    void MarkChanged(QObject* control);
    [[nodiscard]] bool Apply();
    void OpenFilter();
    [[nodiscard]] TRekStacjiFull EditedRecord() const;
    // The modem profile chosen, read from Kiv.ini; false with a message when there is none.
    [[nodiscard]] bool ChosenModem(TModemProfileLine& line) const;
    [[nodiscard]] TModemReadOut ReadOutJob(const TModemProfileLine& line) const;
    void RunReadOut(const TModemProfileLine& line);
    void ShowDialResult(const TModemOutcome& outcome);
    void ShowResult(TxResult result, const std::string& messageText, int messageKind);
    void WatchProgress();
    void Finish();

    TFCommModule& comm_;
    TFTxProgress& progress_;
    TTxInitArgs args_;
    TRekStacjiFull record_;
    TRecProfParams profile_;
    std::vector<TParamItem> items_;
    std::string number_;
    int lastDial_ = -1;
    int lastResult_ = 0;
    bool busy_ = false;
    bool filling_ = false;
    QTimer closeTimer_;

    QLabel* address_;
    QLabel* label_;
    QLabel* protocol_;
    QLabel* telephone_;
    QComboBox* modem_;
    QComboBox* parity_;
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
