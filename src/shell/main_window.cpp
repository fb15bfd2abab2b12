#include "shell/main_window.h"

#include "comm/device_request.h"
#include "comm/direct_readout.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/virtual_stations.h"
#include "reports/archive_access.h"
#include "shell/about_box.h"
#include "shell/model/profile_match.h"
#include "shell/model/virtual_list.h"
#include "shell/station_tree_view.h"
#include "support/gui/folder_chooser.h"
#include "support/gui/folder_lock_prompt.h"
#include "support/gui/open_winds.h"
#include "support/helpers.h"
#include "support/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kiv {

namespace {

struct TButtonSpec {
    const char* name;
    const char* caption;
    MainCommand row;
};

// The command column, top to bottom.
constexpr TButtonSpec kButtons[] = {
    {"BitBtn_TxData", "&Transmisja", CmdTransmisja},
    {"BitBtn_TxModem", "&Modem", CmdModem},
    {"BitBtn_TxModemA", "Modem - &auto", CmdModemAuto},
    {"BitBtn_TxKivGaz", "&Przenośnik KivGAZ", CmdKivGaz},
    {"BitBtn_CurData", "Dane &bieżące", CmdCurData},
    {"BitBtn_Events", "&Zdarzenia", CmdEvents},
    {"BitBtn_DrawGfx", "&Grafika", CmdGraph},
    {"BitBtn_Report", "&Raport", CmdReport},
    {"BitBtn_ReportD", "Raport &dobowy", CmdReport},
    {"BitBtn_ConfigFC", "&Konfiguracja stacji", CmdConfig},
};

constexpr int kButtonWidth = 150;
constexpr int kCloseRetryMs = 100;

} // namespace

TF_Main::TF_Main(std::string kivIniPath, std::string workingFolder, QWidget* parent)
    : QMainWindow(parent), kivIni_(std::move(kivIniPath)), workingFolder_(PathWithSeparator(std::move(workingFolder))),
      targets_(IdleTargets()) {
    setObjectName(QStringLiteral("TF_Main"));
    setWindowTitle(QStringLiteral("Kiv"));
    view_ = new TStationTreeView(this);
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(view_, 1);
    layout->addWidget(BuildButtons());
    setCentralWidget(central);
    BuildMenu();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    folderLabel_ = new QLabel(statusBar());
    folderLabel_->setObjectName(QStringLiteral("Label_FolderDanych"));
    statusBar()->addWidget(folderLabel_, 1);
    setMinimumSize(470, 489);
    resize(560, 520);

    connect(view_, &TStationTreeView::NodeClicked, this, &TF_Main::OnNodeClicked);
    connect(view_, &TStationTreeView::SpacePressed, this, &TF_Main::ToggleNode);
    // Keeping the set in step with keyboard moves too: commands act on the
    // highlighted node, so their availability must follow it.
    connect(view_, &QTreeWidget::currentItemChanged, this, [this] { Recompute(); });
}

QWidget* TF_Main::BuildButtons() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::array<std::function<void()>, std::size(kButtons)> handlers{
        [this] { OnTransmission(false); },
        [this] { OnTransmission(true); },
        [this] { OnModemAuto(); },
        [this] { OnKivGaz(); },
        [this] { OnCurData(); },
        [this] { OnEvents(); },
        [this] { RunPeriodCommand(PeriodGraph, targets_.graph, false, ""); },
        [this] { RunPeriodCommand(PeriodReport, targets_.periodReport, true, ""); },
        [this] { RunPeriodCommand(PeriodDay, targets_.dailyReport, true, ""); },
        [this] { OnConfig(); },
    };
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(kButtons[i].caption), column);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setFixedWidth(kButtonWidth);
        button->setMinimumHeight(32);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handlers[i]);
        commandWidgets_[kButtons[i].row].push_back(button);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return column;
}

QAction* TF_Main::AddItem(QMenu* menu, const char* name, const QString& caption, MainCommand row) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (row != kMainCommands) commandActions_[row].push_back(action);
    return action;
}

void TF_Main::BuildMenu() {
    const auto on = [this](QAction* action, auto handler) { connect(action, &QAction::triggered, this, handler); };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Plik"));
    file->setObjectName(QStringLiteral("MnuPlik"));
    on(AddItem(file, "MnuKopiowanieDanych", QStringLiteral("Kopiowanie danych")),
       [this] { targets_.dataCopy(folders_.current); });
    on(AddItem(file, "MnuZmianafolderuDanych", QStringLiteral("Zmiana folderu danych")),
       [this] { OnChangeFolder(); });
    historyPlaceholder_ = AddItem(file, "MnuHistoria", QStringLiteral("Historia"));
    historyPlaceholder_->setEnabled(false);
    for (int k = 1; k <= kDataPathHistorySize; ++k) {
        const std::string name = "MnuHistoria" + std::to_string(k);
        QAction* item = AddItem(file, name.c_str(), QString());
        item->setVisible(false);
        on(item, [this, k] { OnHistoryItem(k); });
        historyItems_[static_cast<std::size_t>(k - 1)] = item;
    }
    file->addSeparator();
    on(AddItem(file, "MnuZamknij", QStringLiteral("Zamknij")), [this] { close(); });

    QMenu* config = menuBar()->addMenu(QStringLiteral("&Konfiguracja"));
    config->setObjectName(QStringLiteral("MnuKonfiguracja"));
    on(AddItem(config, "MnuBiezacaStacja", QStringLiteral("Bieżąca stacja"), CmdConfig), [this] { OnConfig(); });
    on(AddItem(config, "MnuMocZamowiona", QStringLiteral("Moc zamówiona"), CmdCapacity), [this] { OnCapacity(); });
    config->addSeparator();
    on(AddItem(config, "MnuDodajStacje", QStringLiteral("Dodaj stację")), [this] { OnAddStation(); });
    QAction* addVirtual = AddItem(config, "MnuDodajStacjeWirtualna", QStringLiteral("Dodaj stację wirtualną"));
    addVirtual->setEnabled(false);
    on(addVirtual, [this] { OnAddVirtual(); });
    on(AddItem(config, "MnuUsunStacjeWirtualna", QStringLiteral("Usuń stację wirtualną"), CmdRemoveVirtual),
       [this] { OnRemoveVirtual(); });
    config->addSeparator();
    on(AddItem(config, "MnuImportKonfiguracjiZDOS", QStringLiteral("Import konfiguracji z DOS")),
       [this] { OnImport(); });
    on(AddItem(config, "MnuDopasujProfile", QStringLiteral("Dopasuj profile")), [this] { OnMatchProfiles(); });
    config->addSeparator();
    on(AddItem(config, "MnuUstawieniaprogramu", QStringLiteral("Ustawienia programu")),
       [this] { OnProgramSettings(); });

    QMenu* functions = menuBar()->addMenu(QStringLiteral("&Funkcje"));
    functions->setObjectName(QStringLiteral("MnuFunkcje"));
    on(AddItem(functions, "MnuTransmisja", QStringLiteral("Transmisja"), CmdTransmisja),
       [this] { OnTransmission(false); });
    on(AddItem(functions, "MnuModem", QStringLiteral("Modem"), CmdModem), [this] { OnTransmission(true); });
    on(AddItem(functions, "MnuModemAuto", QStringLiteral("Modem - auto"), CmdModemAuto), [this] { OnModemAuto(); });
    on(AddItem(functions, "MnuKivGaz", QStringLiteral("Przenośnik KivGAZ - odczyt"), CmdKivGaz),
       [this] { OnKivGaz(); });
    QAction* kivGazDb = AddItem(functions, "MnuKivGazDB", QStringLiteral("Przenośnik KivGAZ - programowanie"));
    kivGazDb->setVisible(false);
    kivGazDb->setEnabled(false);
    on(kivGazDb, [this] { OnKivGazDB(); });
    functions->addSeparator();
    on(AddItem(functions, "MnuDaneBiezace", QStringLiteral("Dane bieżące"), CmdCurData), [this] { OnCurData(); });
    on(AddItem(functions, "MnuZdarzenia", QStringLiteral("Zdarzenia"), CmdEvents), [this] { OnEvents(); });
    on(AddItem(functions, "MnuGrafika", QStringLiteral("Grafika"), CmdGraph),
       [this] { RunPeriodCommand(PeriodGraph, targets_.graph, false, ""); });
    on(AddItem(functions, "MnuRaport", QStringLiteral("Raport"), CmdReport),
       [this] { RunPeriodCommand(PeriodReport, targets_.periodReport, true, ""); });
    on(AddItem(functions, "MnuRaportD", QStringLiteral("Raport dobowy"), CmdReport),
       [this] { RunPeriodCommand(PeriodDay, targets_.dailyReport, true, ""); });
    functions->addSeparator();
    on(AddItem(functions, "MnuEksportCSV", QStringLiteral("Eksport --> CSV"), CmdExport),
       [this] { RunPeriodCommand(PeriodGraph, targets_.exportData, false, "CSV"); });
    on(AddItem(functions, "MnuEksportDZN", QStringLiteral("Eksport --> DZN"), CmdExport),
       [this] { RunPeriodCommand(PeriodGraph, targets_.exportData, false, "DZN"); });
    functions->addSeparator();
    QAction* optimise =
        AddItem(functions, "MnuOptymalizacjaMocy", QStringLiteral("Optymalizacja mocy zamówionej"), CmdOptimise);
    optimise->setEnabled(false);
    on(optimise, [this] { OnOptimise(); });

    QAction* windows = menuBar()->addAction(QStringLiteral("&Okna"));
    windows->setObjectName(QStringLiteral("MnuOkna"));
    on(windows, [this] { OnOkna(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Po&moc"));
    help->setObjectName(QStringLiteral("MnuPomoc"));
    on(AddItem(help, "MnuOProgramie", QStringLiteral("O programie")), [this] { OnAbout(); });
}

QPushButton* TF_Main::CommandButton(const char* objectName) const {
    return findChild<QPushButton*>(QString::fromLatin1(objectName));
}

QAction* TF_Main::MenuAction(const char* objectName) const {
    return findChild<QAction*>(QString::fromLatin1(objectName));
}

QString TF_Main::StatusText() const { return folderLabel_->text(); }

// ---- first show, tree and station set ----

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FirstShow();
}

void TF_Main::FirstShow() {
    const TStartSettings start = ReadStartSettings(kivIni_);
    folders_.current = SettleFolderLock(SettleDataFolder(start.dataPath, workingFolder_), this);
    for (std::size_t k = 0; k < start.history.size() && k < folders_.history.size(); ++k)
        folders_.history[k] = PathWithSeparator(start.history[k]);
    ShowHistory();
    programFolder_ = ProgramFolder();
    catalogue_ = BuildProfileCatalogue(programFolder_);
    StationDb().Build(folders_.current);
    OfferImport();
    tickMode_ = true;
    MenuAction("MnuDodajStacjeWirtualna")->setEnabled(true);
    MenuAction("MnuOptymalizacjaMocy")->setEnabled(true);
    RebuildTree(start.cursorPosition);
    OpenWindows().RegisterWindow(this);
}

void TF_Main::ShowHistory() {
    bool empty = true;
    for (std::size_t k = 0; k < historyItems_.size(); ++k) {
        historyItems_[k]->setText(QString::fromStdString(folders_.history[k]));
        historyItems_[k]->setVisible(!folders_.history[k].empty());
        empty = empty && folders_.history[k].empty();
    }
    historyPlaceholder_->setVisible(empty);
}

void TF_Main::OfferImport() {
    while (StationDb().Count() == 0) {
        if (MessageDlg("Kiv", "Baza danych jest pusta. Czy importować dane o urządzeniach z wersji DOSowej?",
                       MsgConfirmation, BtnYes | BtnNo) != ResYes)
            return;
        // Stations imported into another folder are found there: it becomes
        // the data folder, as after the import command.
        if (!RunImport()) ReloadStationList();
    }
}

bool TF_Main::RunImport() {
    std::string destination;
    const TImportArgs args{folders_.current, catalogue_.names, catalogue_.brands, catalogue_.types,
                           catalogue_.serials};
    if (!targets_.importConfig(args, destination) || !ChangeDataFolder(folders_, destination, true)) return false;
    FolderChanged();
    return true;
}

void TF_Main::ReloadStationList() { StationDb().Build(folders_.current); }

void TF_Main::RebuildTree(const std::string& select) {
    settings_ = ReadMainSettings(kivIni_, folders_.current);
    tree_.Build(StationDb().Stations(), settings_.virtualRaw, tickMode_);
    {
        const QSignalBlocker block(view_);
        view_->ShowTree(tree_, tickMode_);
        if (!select.empty()) view_->SelectRef(tree_.Find(select));
    }
    folderLabel_->setText(QString::fromStdString(folders_.current));
    Recompute();
}

void TF_Main::Recompute() {
    TNodeRef selected = view_->CurrentRef();
    set_ = ComputeStationSet(tree_, selected, settings_.virtualEntries);
    if (selected != view_->CurrentRef()) {
        const QSignalBlocker block(view_);
        view_->SelectRef(selected);
    }
    setWindowTitle(QString::fromStdString(set_.title));
    ApplyAvailability(static_cast<AvailabilityColumn>(set_.column));
}

void TF_Main::ApplyAvailability(AvailabilityColumn column) {
    const int phones = StationDb().TelephoneCount();
    for (int row = 0; row < kMainCommands; ++row) {
        const bool enabled = CommandEnabled(static_cast<MainCommand>(row), column, phones);
        for (QWidget* w : commandWidgets_[static_cast<std::size_t>(row)]) w->setEnabled(enabled);
        for (QAction* a : commandActions_[static_cast<std::size_t>(row)]) a->setEnabled(enabled);
    }
}

void TF_Main::OnNodeClicked(TNodeRef ref, bool onTick) {
    if (onTick && tickMode_ && tree_.Toggle(ref)) view_->RefreshTicks(tree_, ref);
    Recompute();
}

void TF_Main::ToggleNode(TNodeRef ref) {
    if (tickMode_ && tree_.Toggle(ref)) view_->RefreshTicks(tree_, ref);
    Recompute();
}

const TTreeNode* TF_Main::SelectedNode() const { return tree_.Node(view_->CurrentRef()); }

bool TF_Main::SelectedKeyAndLabel(std::string& key, std::string& label) const {
    const TTreeNode* node = SelectedNode();
    return node && NodeKeyAndLabel(*node, settings_.virtualEntries, key, label) && !key.empty();
}

bool TF_Main::SelectedStation(int& address) const {
    const TTreeNode* node = SelectedNode();
    if (!node || !IsStationKind(node->kind)) return false;
    address = std::atoi(node->text.substr(0, 5).c_str());
    return address > 0;
}

void TF_Main::FocusTree() { view_->setFocus(); }

void TF_Main::closeEvent(QCloseEvent* event) {
    if (ReadOutRunning()) {
        // The read-out ends at its next request, closes the port and stores
        // what it has read; the window closes once it has.
        RequestStop();
        event->ignore();
        QTimer::singleShot(kCloseRetryMs, this, &QWidget::close);
        return;
    }
    const TTreeNode* node = SelectedNode();
    if (node && !IsGroupKind(node->kind)) (void)TProgramSettings(kivIni_).SetCursorPosition(node->text);
    OpenWindows().UnregisterWindow(OpenWindows().IndexOf(this));
    event->accept();
    // A read-out was stopped because the program is ending: nothing may keep
    // it alive with every later read-out cancelled at once.
    if (StopRequested()) QCoreApplication::quit();
}

// ---- commands ----

TStationArgs TF_Main::StationArgs(int address) const {
    return {address, kivIni_, catalogue_.names, catalogue_.files, folders_.current,
            StationFilePath(folders_.current, address)};
}

TFolderArgs TF_Main::FolderArgs() const { return {kivIni_, folders_.current, catalogue_.names, catalogue_.files}; }

void TF_Main::OnTransmission(bool modem) {
    int address = 0;
    if (!SelectedStation(address)) return;
    (modem ? targets_.modemTransmission : targets_.directTransmission)(StationArgs(address));
    FocusTree();
}

void TF_Main::OnModemAuto() { targets_.autoModem(FolderArgs()); }

void TF_Main::OnKivGaz() {
    if (const TTreeNode* node = SelectedNode()) nodeToReselect_ = node->text;
    if (!targets_.transporterRead(FolderArgs())) return;
    ReloadStationList();
    RebuildTree(nodeToReselect_);
}

void TF_Main::OnKivGazDB() { targets_.transporterProgram(kivIni_); }

void TF_Main::OnCurData() {
    int address = 0;
    if (!SelectedStation(address)) return;
    TRekStacjiFull record;
    ReadFullStationRecord(StationFilePath(folders_.current, address), address, record);
    targets_.currentData({folders_.current, address, record.CalcVnMode, record.CalcVn0Index, record.CalcVn1Index,
                          catalogue_.names, catalogue_.files, record.DeviceProfile});
    FocusTree();
}

void TF_Main::OnEvents() {
    int address = 0;
    if (SelectedStation(address)) targets_.events({folders_.current, address});
}

void TF_Main::RunPeriodCommand(int mode, const std::function<void(const TPeriodArgs&)>& target, bool withIni,
                               const std::string& format) {
    TPeriodArgs args;
    std::string key;
    std::string label;
    if (set_.setMode) {
        args.keyLabels = KeyLabelList(set_.keys, set_.labels);
        if (!format.empty() && RemoveVirtualMembers(args.keyLabels))
            (void)MessageDlg("", "Stacje wirtualne zostały usunięte z listy eksportu", MsgWarning, BtnOk);
    } else if (SelectedKeyAndLabel(key, label)) {
        args.keyLabels.push_back(key + "@" + label);
        StationDefaultPeriod(folders_.current, key, args.start, args.end);
    }
    if (args.keyLabels.empty() || !targets_.choosePeriod(mode, args.start, args.end)) {
        FocusTree();
        return;
    }
    args.dataFolder = folders_.current;
    args.hourShift = settings_.hourShift;
    if (withIni) args.kivIni = kivIni_;
    args.format = format;
    target(args);
}

void TF_Main::OnConfig() {
    const TTreeNode* node = SelectedNode();
    if (!node) return;
    nodeToReselect_ = node->text;
    int address = 0;
    if (SelectedStation(address)) {
        if (targets_.stationConfig(StationArgs(address), nodeToReselect_)) RebuildTree(nodeToReselect_);
    } else if (node->kind == KindVirtual) {
        if (const TVirtualEntry* entry = settings_.Virtual(node->text)) {
            const TVirtualDefArgs args{folders_.current, entry->label, entry->formula};
            std::string saved;
            if (targets_.virtualDefinition(args, saved)) RebuildTree(saved);
        }
    }
    FocusTree();
}

void TF_Main::OnProgramSettings() {
    // A renamed group rebuilds the tree: the node selected now is the one to
    // select again. Anything else keeps the tree and its ticks; a saved hour
    // shift is read here so that the next report gets it.
    if (const TTreeNode* node = SelectedNode()) nodeToReselect_ = node->text;
    if (targets_.programSettings(kivIni_, folders_.current))
        RebuildTree(nodeToReselect_);
    else
        settings_.hourShift = TProgramSettings(kivIni_).RepBaseHourShift();
}

void TF_Main::OnCapacity() {
    const TTreeNode* node = SelectedNode();
    if (!node || IsGroupKind(node->kind)) return;
    targets_.orderedCapacity({node->text, folders_.current, node->kind == KindVirtual, kivIni_});
}

void TF_Main::OnOptimise() {
    std::string key;
    std::string label;
    if (!SelectedKeyAndLabel(key, label)) return;
    TOptimiseArgs args;
    args.key = key;
    args.label = label;
    args.hourShift = settings_.hourShift;
    args.dataFolder = folders_.current;
    targets_.optimise(args);
}

void TF_Main::OnImport() { (void)RunImport(); }

void TF_Main::OnChangeFolder() {
    QString chosen;
    if (!ChooseFolder(QStringLiteral("Wybierz katalog danych"), QString::fromStdString(folders_.current), chosen, this))
        return;
    if (ChangeDataFolder(folders_, PathWithSeparator(chosen.toStdString()), false)) FolderChanged();
}

void TF_Main::OnHistoryItem(int k) {
    switch (PickHistoryItem(folders_, k)) {
    case HistoryPick::Missing:
        (void)MessageDlg("", "Wybrany katalog nie istnieje", MsgInformation, BtnOk);
        return;
    case HistoryPick::Same:
        ShowHistory();
        return;
    case HistoryPick::Switched:
        FolderChanged();
        return;
    }
}

void TF_Main::FolderChanged() {
    // Another running program may hold the new folder; the user then opens
    // it anyway or picks another one, which becomes the data folder instead.
    const std::string settled = SettleFolderLock(folders_.current, this);
    if (settled != folders_.current) (void)ChangeDataFolder(folders_, settled, false);
    ShowHistory();
    if (!SaveDataFolders(kivIni_, folders_))
        (void)MessageDlg("Kiv", "Nie udało się zapisać pliku " + kivIni_, MsgError, BtnOk);
    ReloadStationList();
    RebuildTree("");
}

void TF_Main::SelectText(const std::string& text) {
    {
        const QSignalBlocker block(view_);
        view_->SelectRef(tree_.Find(text));
    }
    Recompute();
}

void TF_Main::OnAddStation() {
    const int address = StationDb().AddNewStation(folders_.current);
    if (address == 0) return;
    RebuildTree(StationNodeText(StationDb().Station(StationDb().Find(address))));
}

void TF_Main::OnAddVirtual() {
    // Only the new key is written: whatever else the section holds stays.
    const std::string label = NextVirtualLabel(ReadSumEntries(kivIni_, folders_.current));
    if (!WriteSumEntry(kivIni_, folders_.current, NextSumNumber(kivIni_, folders_.current), NewVirtualEntry(label))) {
        (void)MessageDlg("Kiv", "Nie udało się zapisać pliku " + kivIni_, MsgError, BtnOk);
        return;
    }
    RebuildTree(label);
}

void TF_Main::OnRemoveVirtual() {
    const TTreeNode* node = SelectedNode();
    if (!node || node->kind != KindVirtual) return;
    std::vector<std::string> entries = TProgramSettings(kivIni_).VirtualEntries(folders_.current);
    std::string select;
    if (!RemoveVirtualEntry(entries, node->text, select)) return;
    if (!WriteVirtualList(kivIni_, folders_.current, entries)) {
        (void)MessageDlg("Kiv", "Nie udało się zapisać pliku " + kivIni_, MsgError, BtnOk);
        return;
    }
    RebuildTree(select);
    if (select.empty()) SelectText(FirstNonGroupText(tree_));
}

void TF_Main::OnMatchProfiles() {
    const TProfileLists lists{catalogue_.names, catalogue_.brands, catalogue_.types, catalogue_.serials};
    const int matched = MatchAllProfiles(lists, StationDb().Stations(), folders_.current);
    (void)MessageDlg("Kiv", MatchedProfilesText(matched, StationDb().Count()), MsgInformation, BtnOk);
    // The stations that got a profile change their node.
    const TTreeNode* node = SelectedNode();
    const std::string select = node ? node->text : std::string();
    ReloadStationList();
    RebuildTree(select);
}

void TF_Main::OnOkna() { OpenWindows().exec(); }

void TF_Main::OnAbout() {
    auto* about = findChild<TFOProgramie*>();
    if (!about) about = new TFOProgramie(this);
    about->exec();
}

} // namespace kiv
