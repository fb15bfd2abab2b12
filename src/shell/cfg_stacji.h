#pragma once
// The station configuration TFCfgStacji ("Konfiguracja stacji"). Opening
// reads the station file into a TRekStacjiFull and shows every field; each
// change enables "Zastosuj", the dialog's changed flag. Saving hands the
// edited record and the one read to SaveStationConfig (only changed keys are
// written; a new address moves the station's folder) and keeps what the main
// window needs: whether its tree must be rebuilt and the node text to select,
// which the dialog keeps between openings. A value the file holds that a
// control cannot show (a device or modem profile no longer there, a port
// outside COM1..COM128, a time above its field's range) is kept unless the
// user changes that control, so an unrelated change never rewrites it. The
// station's communication statistics are shown below, read only.
#include "config/station_db.h"
#include "shell/model/main_commands.h"

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kiv {

inline constexpr const char* kCfgStacjiTitle = "Konfiguracja stacji";

class TFCfgStacji : public QDialog {
    Q_OBJECT
public:
    explicit TFCfgStacji(QWidget* parent = nullptr);

    // Reads the station and shows it without waiting; the address has the focus.
    void Setup(const TStationArgs& args);
    // Setup, then modal. True when the tree must be rebuilt; nodeToSelect
    // then takes the text of the station's node.
    [[nodiscard]] bool Execute(const TStationArgs& args, std::string& nodeToSelect);

    // "Zastosuj": false when the save was refused or failed (the user was told).
    [[nodiscard]] bool Apply();
    [[nodiscard]] bool TreeChanged() const { return treeChanged_; }
    [[nodiscard]] const std::string& NodeText() const { return nodeText_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }

public slots:
    // "OK": with changes, asks whether to save them.
    void accept() override;
    // "Anuluj", Escape and the close box: with changes, asks whether to drop them.
    void reject() override;

private:
    QGroupBox* BuildStation();
    QGroupBox* BuildLink();
    QGroupBox* BuildTiming();
    QGroupBox* BuildCalculations();
    QGroupBox* BuildStats();
    void ShowStats();
    void FillLists();
    void FillFields();
    void ShowLinkControls();
    void ShowIndexFields();
    void MarkChanged(QObject* control);
    [[nodiscard]] TRekStacjiFull EditedRecord() const;

    TStationArgs args_;
    TRekStacjiFull record_;
    bool treeChanged_ = false;
    std::string nodeText_;
    bool filling_ = false;

    QSpinBox* address_;
    QLineEdit* label_;
    QComboBox* group_;
    QLineEdit* telephone_;
    QCheckBox* prefix_;
    QLineEdit* serial_;
    QComboBox* deviceProfile_;
    QComboBox* modemProfile_;
    QFormLayout* linkForm_;
    QComboBox* connType_;
    QComboBox* port_;
    QComboBox* speed_;
    QComboBox* parity_;
    QCheckBox* dtr_;
    QCheckBox* rts_;
    QLineEdit* ip_;
    QSpinBox* portRemote_;
    QSpinBox* portLocal_;
    QSpinBox* samples_;
    QSpinBox* repeats_;
    QSpinBox* silence_;
    QSpinBox* answer_;
    QSpinBox* accept_;
    QFormLayout* calcForm_;
    QComboBox* counter_;
    QSpinBox* vn0_;
    QSpinBox* vn1_;
    QComboBox* integrity_;
    std::vector<QLabel*> stats_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* apply_;
};

} // namespace kiv
