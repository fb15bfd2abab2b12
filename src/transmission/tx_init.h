#pragma once
// The direct transmission window TFTxInit ("Transmisja danych"), the form of
// tx_form.h with the serial link's port, speed and DTR/RTS lines. On "OK" it
// opens the port through the communication module, runs ReadDevice, closes
// the port and reports the result as the form does; a port that does not
// open is told on the progress window's port line, which then stays up with
// "OK". A stored port or speed the fields cannot show (a port such as
// "/dev/ttyUSB0") is used and saved as read until the user changes that
// field. A station whose ConnType is "TCP" is read over a connection to its
// serial-device server: the window then shows that server's address and
// port (from the station file) instead of the serial port, its speed,
// parity and DTR/RTS lines. The window lives for the whole run; Open reuses it.
#include "comm/direct_readout.h"
#include "transmission/tx_form.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;

namespace kiv {

class TFTxInit : public TFTxForm {
    Q_OBJECT
public:
    TFTxInit(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    [[nodiscard]] QComboBox* PortCombo() const { return port_; }
    [[nodiscard]] QComboBox* BaudCombo() const { return baud_; }
    [[nodiscard]] QCheckBox* DtrBox() const { return dtr_; }
    [[nodiscard]] QCheckBox* RtsBox() const { return rts_; }
    // "Adres IP:" and "Numer portu:" of a TCP station; hidden for a serial one.
    [[nodiscard]] QLabel* IpAddressLabel() const { return ipAddress_; }
    [[nodiscard]] QLabel* RemotePortLabel() const { return remotePort_; }

private:
    void AddLines();
    // The serial rows or the TCP address, as the station is reached.
    void ShowLinkRows(bool tcp);
    void FillOwnFields() override;
    void EditOwnFields(TRekStacjiFull& edited) const override;
    void StartReadOut() override;
    [[nodiscard]] TDirectReadOut ReadOutJob() const;

    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QCheckBox* dtr_ = nullptr;
    QCheckBox* rts_ = nullptr;
    QHBoxLayout* lines_ = nullptr;
    QLabel* ipAddress_ = nullptr;
    QLabel* remotePort_ = nullptr;
};

} // namespace kiv
