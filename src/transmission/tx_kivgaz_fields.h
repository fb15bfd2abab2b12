#pragma once
// The transporter's settings as both transporter windows show them: its
// address and port from [KivGAZ] of Kiv.ini, the fixed speed and parity.
// A stored address outside 1..65535 shows as 65534; an empty port as the
// first one; a port the list cannot show (such as "/dev/ttyUSB0") is used
// and saved as read until the user picks another. `changed` tells the
// window to enable "Zastosuj".
#include <QGroupBox>

#include <string>

class QComboBox;
class QSpinBox;

namespace kiv {

class TKivGazFields : public QGroupBox {
    Q_OBJECT
  public:
    explicit TKivGazFields(QWidget* parent);

    void Load(const std::string& kivIni);
    // Writes both keys; false (with the message shown) when Kiv.ini could not be written.
    [[nodiscard]] bool Save(const std::string& kivIni) const;

    [[nodiscard]] int Address() const;
    [[nodiscard]] std::string Port() const;
    void SetLocked(bool locked);

    [[nodiscard]] QSpinBox* AddressSpin() const { return address_; }
    [[nodiscard]] QComboBox* PortCombo() const { return port_; }

  signals:
    void changed();

  private:
    QSpinBox* address_;
    QComboBox* port_;
    std::string storedPort_;
    bool filling_ = false;
};

// The messages of both windows carry the application's title.
inline constexpr const char* kKivGazTitle = "Kiv";

} // namespace kiv
