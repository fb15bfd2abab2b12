#pragma once
// The main window TF_Main. It owns the program-wide values (Kiv.ini path,
// program folder, data folder, device profile catalogue) and shows the
// station list of the data folder as a tree. Data flows one way: the station
// list (StationDb) and the virtual station entries of Kiv.ini (read into a
// TMainSettings at each rebuild, not at each click) build a TStationTree;
// clicks and Space toggle ticks in it; after each click the station set, the
// title and the command availability are derived from it;
// each command packs what it hands over into a record of main_commands.h and
// calls its target in Targets(). The data folder changes through the folder
// picker, a history item or an import (data_folders.h); each change, and
// each station or virtual station added or removed, rebuilds the tree.
// Closing stores the selected node's text.
#include "shell/model/command_availability.h"
#include "shell/model/data_folders.h"
#include "shell/model/main_commands.h"
#include "shell/model/main_settings.h"
#include "shell/model/station_tree.h"

#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QPushButton;

namespace kiv {

class TStationTreeView;

class TF_Main : public QMainWindow {
    Q_OBJECT
public:
    // workingFolder: the folder the program was started in, with a trailing "/".
    TF_Main(std::string kivIniPath, std::string workingFolder, QWidget* parent = nullptr);

    // ---- program-wide values ----
    [[nodiscard]] const std::string& KivIniPath() const { return kivIni_; }
    [[nodiscard]] const std::string& ProgramFolderPath() const { return programFolder_; }
    [[nodiscard]] const std::string& DataFolder() const { return folders_.current; }
    [[nodiscard]] const TFolderHistory& History() const { return folders_.history; }
    [[nodiscard]] const TProfileCatalogue& Catalogue() const { return catalogue_; }

    // ---- tree and station set ----
    void RebuildTree(const std::string& select);
    void ReloadStationList();
    [[nodiscard]] const TStationTree& Tree() const { return tree_; }
    [[nodiscard]] TStationTreeView* TreeView() const { return view_; }
    [[nodiscard]] const TStationSet& StationSet() const { return set_; }
    [[nodiscard]] bool TickMode() const { return tickMode_; }
    // Toggles the node's tick as a click on its tick box does, then recomputes.
    void ToggleNode(TNodeRef ref);
    // Key and label of the selected node; false when it yields none.
    [[nodiscard]] bool SelectedKeyAndLabel(std::string& key, std::string& label) const;
    [[nodiscard]] std::string& NodeToReselect() { return nodeToReselect_; }

    // The functions the commands start.
    [[nodiscard]] TMainTargets& Targets() { return targets_; }
    [[nodiscard]] QPushButton* CommandButton(const char* objectName) const;
    [[nodiscard]] QAction* MenuAction(const char* objectName) const;
    // The status bar's text: the data folder.
    [[nodiscard]] QString StatusText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    QWidget* BuildButtons();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, MainCommand row = kMainCommands);
    void FirstShow();
    void ShowHistory();
    void OfferImport();
    void Recompute();
    void ApplyAvailability(AvailabilityColumn column);
    void OnNodeClicked(TNodeRef ref, bool onTick);
    [[nodiscard]] const TTreeNode* SelectedNode() const;
    [[nodiscard]] bool SelectedStation(int& address) const;
    void FocusTree();

    // ---- commands ----
    void OnTransmission(bool modem);
    void OnModemAuto();
    void OnKivGaz();
    void OnKivGazDB();
    void OnCurData();
    void OnEvents();
    void RunPeriodCommand(int mode, const std::function<void(const TPeriodArgs&)>& target, bool withIni,
                          const std::string& format);
    void OnConfig();
    void OnProgramSettings();
    void OnCapacity();
    void OnOptimise();
    void OnImport();
    // The import window; true when it imported, its destination is then the data folder.
    bool RunImport();
    void OnChangeFolder();
    void OnHistoryItem(int k);
    // The data folder after a change: settings written, list loaded, tree rebuilt.
    void FolderChanged();
    void OnAddStation();
    void OnAddVirtual();
    void OnRemoveVirtual();
    void OnMatchProfiles();
    void SelectText(const std::string& text);
    void OnOkna();
    void OnAbout();
    [[nodiscard]] TStationArgs StationArgs(int address) const;
    [[nodiscard]] TFolderArgs FolderArgs() const;

    std::string kivIni_;
    std::string workingFolder_;
    std::string programFolder_;
    TDataFolders folders_;
    TProfileCatalogue catalogue_;
    TMainSettings settings_;
    TStationTree tree_;
    TStationSet set_;
    TNodeRef selected_;
    std::string nodeToReselect_;
    bool tickMode_ = false;
    bool shown_ = false;
    TMainTargets targets_;

    TStationTreeView* view_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    std::array<std::vector<QWidget*>, kMainCommands> commandWidgets_;
    std::array<std::vector<QAction*>, kMainCommands> commandActions_;
    QAction* historyPlaceholder_ = nullptr;
    std::array<QAction*, 5> historyItems_{};
};

} // namespace kiv
