#pragma once
// The manual modem transmission window TFTxModem ("Modem"), the form of
// tx_form.h with the number dialled (behind the exchange prefix when the
// station uses it) and the station's modem profile from the names in
// Kiv.ini. On "OK" it hides itself and runs the modem road
// (modem_readout.h): the modem initialised and dialled with "Modem.log" as
// the log, the read-out with "Tx.log", the hang-up. A dial that does not
// connect is told in its message and both windows close; after the read-out
// the result is handled as the form does. Without a modem profile or a
// number nothing is dialled and the window stays open for another choice.
// Lives for the whole run.
#include <string>

#include "comm/modem_readout.h"
#include "transmission/tx_form.h"

class QComboBox;
class QLabel;

namespace kiv {

inline constexpr const char* kModemLogName = "Modem.log";
inline constexpr const char* kNoModemProfileText = "Nie wybrano profilu modemu";
inline constexpr const char* kNoTelephoneText = "Stacja nie ma numeru telefonu";

class TFTxModem : public TFTxForm {
    Q_OBJECT
public:
    // Setup's messages go out under the title "Kiv".
    TFTxModem(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    // How the last dial ended, -1 before the first and when nothing was dialled.
    [[nodiscard]] int LastDialResult() const { return lastDial_; }

    [[nodiscard]] QComboBox* ModemCombo() const { return modem_; }
    [[nodiscard]] QString TelephoneText() const;

private:
    void FillOwnFields() override;
    void EditOwnFields(TRekStacjiFull& edited) const override;
    void StartReadOut() override;
    // The modem profile chosen, read from Kiv.ini; false with a message when there is none.
    [[nodiscard]] bool ChosenModem(TModemProfileLine& line) const;
    [[nodiscard]] TModemReadOut ReadOutJob(const TModemProfileLine& line) const;
    void RunReadOut(const TModemProfileLine& line);
    void ShowDialResult(const TModemOutcome& outcome);

    std::string number_;
    int lastDial_ = -1;
    QLabel* telephone_ = nullptr;
    QComboBox* modem_ = nullptr;
};

} // namespace kiv
