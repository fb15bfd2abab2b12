#pragma once
// The import TFImportCfg ("Import konfiguracji"): the old program's station
// folders of the source folder become station folders of the destination
// folder (config_import.h does the work). "OK" is enabled while both
// folders exist; the status bar counts the folders as they are imported,
// and a message tells the total before the window closes. The main window
// then makes the destination its data folder when anything was imported.
#include "shell/model/main_commands.h"
#include "shell/model/profile_match.h"

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kiv {

class TFImportCfg : public QDialog {
    Q_OBJECT
public:
    explicit TFImportCfg(QWidget* parent = nullptr);

    // Both folders preset to the data folder, "Tylko nowe" chosen, the
    // catalogue's lists kept for the profile matching; shown without waiting.
    void Setup(const TImportArgs& args);
    // Setup, then modal. True when at least one folder was imported;
    // destination is the folder imported into.
    [[nodiscard]] bool Execute(const TImportArgs& args, std::string& destination);

    [[nodiscard]] QLineEdit* SourceEdit() const { return source_; }
    [[nodiscard]] QLineEdit* DestinationEdit() const { return destination_; }
    [[nodiscard]] QRadioButton* OverwriteButton() const { return overwrite_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QString StatusText() const;

private:
    QPushButton* FolderRow(QLineEdit*& edit, const char* name, const char* buttonName);
    void Choose(QLineEdit* edit, const QString& title);
    void UpdateOk();
    void OnOk();

    TProfileLists lists_;
    bool imported_ = false;

    QLineEdit* source_ = nullptr;
    QLineEdit* destination_ = nullptr;
    QRadioButton* onlyNew_ = nullptr;
    QRadioButton* overwrite_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace kiv
