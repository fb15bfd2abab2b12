#pragma once
// The program settings TFCfgProgr ("Ustawienia programu"): the report hour
// shift, the exchange prefix, the event and modem connection limits, the
// station groups and the modem profiles. The four settings and the profile
// grid are saved together on "Zastosuj" or "OK"
// (TProgramSettings::SetProgramConfig); the group list works at once
// instead: a renamed group is written into its station files when the user
// confirms the new name, and the dialog then reports that the main window's
// tree must be rebuilt, even when it is left with "Anuluj". Only a rename
// is reported: the main window reads the saved settings again itself, and a
// rebuild would drop the ticks of its station set. The text prompt and the
// modem profile editor are the program's single instances, handed in at
// construction.
#include "config/program_config.h"

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kiv {

class TFEditTxt;
class TFModemProf;

inline constexpr const char* kCfgProgrTitle = "Konfiguracja programu";

class TFCfgProgr : public QDialog {
    Q_OBJECT
public:
    TFCfgProgr(TFEditTxt& prompt, TFModemProf& modemEditor, QWidget* parent = nullptr);

    // Reads the settings and shows them without waiting.
    void Setup(const std::string& kivIni, const std::string& dataFolder);
    // Setup, then modal; true when a group was renamed.
    [[nodiscard]] bool Execute(const std::string& kivIni, const std::string& dataFolder);

    // "Zastosuj": false when Kiv.ini could not be written (the user was told).
    [[nodiscard]] bool Apply();
    // A group was renamed.
    [[nodiscard]] bool TreeChanged() const { return treeChanged_; }
    [[nodiscard]] const std::vector<TModemProfile>& ModemRows() const { return config_.modems; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }

public slots:
    void accept() override;
    void reject() override;

private:
    QWidget* BuildSettings();
    QWidget* BuildGroups();
    QWidget* BuildModems();
    void ShowGroups(int select);
    void ShowModems(int select);
    void UpdateButtons();
    void MarkChanged();
    [[nodiscard]] TProgramConfig Edited() const;
    void OnAddGroup();
    void OnEditGroup();
    void OnDeleteGroup();
    void OnAddModem();
    void OnEditModem();
    void OnDeleteModem();
    [[nodiscard]] bool NameClashes(const TModemProfile& profile, int row) const;

    TFEditTxt& prompt_;
    TFModemProf& modemEditor_;
    std::string kivIni_;
    std::string dataFolder_;
    TProgramConfig config_;
    std::vector<std::string> groups_; // the shown list
    bool treeChanged_ = false;
    bool filling_ = false;

    QSpinBox* shift_;
    QLineEdit* prefix_;
    QSpinBox* events_;
    QSpinBox* modemTime_;
    QListWidget* groupList_;
    QPushButton* groupAdd_;
    QPushButton* groupEdit_;
    QPushButton* groupDelete_;
    QTableWidget* modemGrid_;
    QPushButton* modemAdd_;
    QPushButton* modemEdit_;
    QPushButton* modemDelete_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* apply_;
};

} // namespace kiv
