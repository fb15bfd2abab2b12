#pragma once
// The direct transmission window TFTxInit ("Transmisja danych"), the form of
// tx_form.h with the serial link's port, speed and DTR/RTS lines. On "OK" it
// opens the port through the communication module, runs ReadDevice, closes
// the port and reports the result as the form does; a port that does not
// open is told on the progress window's port line, which then stays up with
// "OK". A stored port or speed the fields cannot show (a port such as
// "/dev/ttyUSB0") is used and saved as read until the user changes that
// field. The window lives for the whole run; Open reuses it.
#include "comm/direct_readout.h"
#include "transmission/tx_form.h"

class QCheckBox;
class QComboBox;

namespace kiv {

class TFTxInit : public TFTxForm {
    Q_OBJECT
public:
    TFTxInit(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    [[nodiscard]] QComboBox* PortCombo() const { return port_; }
    [[nodiscard]] QComboBox* BaudCombo() const { return baud_; }
    [[nodiscard]] QCheckBox* DtrBox() const { return dtr_; }
    [[nodiscard]] QCheckBox* RtsBox() const { return rts_; }

private:
    void AddLines();
    void FillOwnFields() override;
    void EditOwnFields(TRekStacjiFull& edited) const override;
    void StartReadOut() override;
    [[nodiscard]] TDirectReadOut ReadOutJob() const;

    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QCheckBox* dtr_ = nullptr;
    QCheckBox* rts_ = nullptr;
};

} // namespace kiv
