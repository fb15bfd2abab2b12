#pragma once
// The modem profile editor TFModemProf ("Edycja profilu modemu"): one
// profile's name, extra initialisation command, serial port and speed. The
// program settings dialog hands it the four values for adding or editing a
// profile and gets them back changed when the user confirms. "OK" is
// enabled only while there is a name: a profile without one would end the
// profile list in Kiv.ini.
#include "config/program_settings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kiv {

class TFModemProf : public QDialog {
    Q_OBJECT
public:
    explicit TFModemProf(QWidget* parent = nullptr);

    // Shows the values (a port or speed not in its list selects "COM1" or
    // "9600") without waiting; Execute does the same modally.
    void Setup(const TModemProfile& profile);
    // True with the edited values after "OK"; false, profile untouched, otherwise.
    [[nodiscard]] bool Execute(TModemProfile& profile);
    [[nodiscard]] TModemProfile Edited() const;

    [[nodiscard]] QLineEdit* NameEdit() const { return name_; }
    [[nodiscard]] QComboBox* PortCombo() const { return port_; }
    [[nodiscard]] QComboBox* SpeedCombo() const { return speed_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

private:
    void UpdateOk();

    QLineEdit* name_;
    QLineEdit* init_;
    QComboBox* port_;
    QComboBox* speed_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kiv
