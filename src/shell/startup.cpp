#include "shell/startup.h"

#include "capacity/moc_zamowiona.h"
#include "capacity/obl_def.h"
#include "capacity/optymal.h"
#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "comm/direct_readout.h"
#include "config/program_settings.h"
#include "export/cur_data.h"
#include "export/eksport.h"
#include "reports/events_window.h"
#include "reports/grafika.h"
#include "reports/period_chooser.h"
#include "reports/rap_dob.h"
#include "reports/rap_okres.h"
#include "shell/about_box.h"
#include "shell/browser.h"
#include "shell/cfg_progr.h"
#include "shell/cfg_stacji.h"
#include "shell/file_copy.h"
#include "shell/import_cfg.h"
#include "shell/main_window.h"
#include "shell/model/station_picker.h"
#include "shell/model/station_tree.h"
#include "shell/node_icons.h"
#include "shell/station_tree_view.h"
#include "shell/window_keeper.h"
#include "support/gui/edit_txt.h"
#include "support/gui/open_winds.h"
#include "support/gui/pol_msg.h"
#include "support/helpers.h"
#include "transmission/modem_prof.h"
#include "transmission/tx_init.h"
#include "transmission/tx_kivgaz.h"
#include "transmission/tx_kivgaz_db.h"
#include "transmission/tx_modem.h"
#include "transmission/tx_modem_a.h"
#include "transmission/tx_progress.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include <csignal>

namespace kiv {

namespace {

constexpr int kSignalWatchMs = 100;
volatile std::sig_atomic_t g_stopSignal = 0;

// A second signal, while the program still winds up, ends it at once.
void OnStopSignal(int signal) {
    g_stopSignal = 1;
    RequestStop();
    std::signal(signal, SIG_DFL);
}

// "&Transmisja", "&Modem", "Modem - &auto", "Dane &bieżące" and "&Zdarzenia": the link, its
// progress window, the transmission and events windows live as long as the
// main window. Every window that reads devices shares the link and the
// progress window returned.
void InstallReadingTargets(TStartupWindows& windows) {
    TF_Main& main = *windows.main;
    auto* comm = new TFCommModule(&main);
    auto* progress = new TFTxProgress(&main);
    windows.comm = comm;
    windows.progress = progress;
    auto* txInit = new TFTxInit(*comm, *progress, &main);
    main.Targets().directTransmission = [txInit](const TStationArgs& a) {
        txInit->Open({a.address, a.kivIni, a.profileNames, a.profileFiles, a.dataFolder, a.stationFile});
    };
    auto* txModem = new TFTxModem(*comm, *progress, &main);
    main.Targets().modemTransmission = [txModem](const TStationArgs& a) {
        txModem->Open({a.address, a.kivIni, a.profileNames, a.profileFiles, a.dataFolder, a.stationFile});
    };
    auto* txModemA = new TFTxModemA(*comm, *progress, &main);
    main.Targets().autoModem = [txModemA](const TFolderArgs& a) {
        txModemA->Open({a.kivIni, a.dataFolder, a.profileNames, a.profileFiles, ProgramFolder()});
    };
    main.TreeView()->SetStatsFolder([window = &main] { return window->DataFolder(); });
    main.Targets().currentData = [window = &main](const TCurDataArgs& a) {
        ShowCurrentData({a.dataFolder, a.address, a.profileNames, a.profileFiles, a.deviceProfile},
                        {a.calcVnMode, a.calcVn0Index, a.calcVn1Index}, window);
    };
    auto* events = new TFEvents(&main);
    main.Targets().events = [events](const TEventsArgs& a) { events->Open(a.dataFolder, a.address); };
}

// "&Przenośnik KivGAZ" and its programming share the one link.
void InstallTransporter(TStartupWindows& windows) {
    TF_Main& main = *windows.main;
    auto* kivGaz = new TFTxKivGaz(*windows.comm, *windows.progress, &main);
    main.Targets().transporterRead = [kivGaz](const TFolderArgs& a) {
        return kivGaz->Run({a.kivIni, a.dataFolder, a.profileNames, a.profileFiles});
    };
    auto* kivGazDb = new TFTxKivGazDB(*windows.comm, &main);
    main.Targets().transporterProgram = [kivGazDb](const std::string& kivIni) { kivGazDb->Run(kivIni); };
}

// "&Grafika", "&Raport", "Raport &dobowy" and the exports start at the one
// period chooser.
TFWyborOkresu* InstallPeriodChooser(TF_Main& main) {
    auto* chooser = new TFWyborOkresu(&main);
    main.Targets().choosePeriod = [chooser](int mode, TimeStamp& start, TimeStamp& end) {
        return chooser->ChoosePeriod(mode, start, end);
    };
    auto* daily = new TFRapDob(&main);
    main.Targets().dailyReport = [daily](const TPeriodArgs& a) {
        daily->Open({a.keyLabels, a.dataFolder, a.start, a.end, a.lowerLimit, a.upperLimit, a.hourShift, a.kivIni});
    };
    // One graph window per station of the set, each on its first parameter.
    main.Targets().graph = [window = &main](const TPeriodArgs& a) {
        for (const std::string& keyLabel : a.keyLabels) {
            const TDailyEntry entry = SplitDailyEntry(keyLabel);
            TGraphRequest request;
            request.dataFolder = a.dataFolder;
            request.key = entry.key;
            request.label = entry.label;
            request.hourShift = a.hourShift;
            request.lower = a.lowerLimit;
            request.upper = a.upperLimit;
            request.start = a.start;
            request.end = a.end;
            request.kivIni = a.kivIni;
            (void)TFGrafika::OpenNew(request, window);
        }
    };
    auto* period = new TFRapOkres(&main);
    main.Targets().periodReport = [period](const TPeriodArgs& a) {
        (void)period->Open({a.keyLabels, a.dataFolder, a.start, a.end, a.lowerLimit, a.upperLimit, a.hourShift, a.kivIni});
    };
    auto* exporter = new TFEksport(&main);
    main.Targets().exportData = [exporter](const TPeriodArgs& a) {
        exporter->Run({a.keyLabels, a.dataFolder, a.start, a.end, a.lowerLimit, a.upperLimit, a.hourShift, a.format});
    };
    return chooser;
}

// "&Konfiguracja stacji", "Bieżąca stacja" and "Ustawienia programu".
TFCfgStacji* InstallStationConfig(TF_Main& main) {
    auto* config = new TFCfgStacji(&main);
    main.Targets().stationConfig = [config](const TStationArgs& a, std::string& reselect) {
        return config->Execute(a, reselect);
    };
    return config;
}

TFCfgProgr* InstallProgramSettings(TF_Main& main, TFEditTxt& prompt, TFModemProf& modemEditor) {
    auto* settings = new TFCfgProgr(prompt, modemEditor, &main);
    main.Targets().programSettings = [settings](const std::string& kivIni, const std::string& dataFolder) {
        return settings->Execute(kivIni, dataFolder);
    };
    return settings;
}

// "Optymalizacja mocy zamówionej", "Moc zamówiona" and "&Konfiguracja stacji"
// of a virtual station. "Dodaj" in the definition window runs the one station
// picker on the main window's nodes with their ticks, the members chosen
// already fixed.
void InstallCapacityWindows(TF_Main& main, TFBrowser& browser) {
    auto* optimise = new TFOptymal(&main);
    main.Targets().optimise = [optimise, &main](const TOptimiseArgs& a) {
        (void)optimise->Start(
            {a.key, a.label, a.hourShift, a.upperLimit, a.lowerLimit, a.dataFolder, main.KivIniPath()});
    };
    auto* capacity = new TFMocZamowiona(&main);
    main.Targets().orderedCapacity = [capacity](const TCapacityArgs& a) {
        capacity->Execute({a.nodeText, a.dataFolder, a.isVirtual, a.kivIni});
    };
    auto* definition = new TFOblDef(&main);
    definition->SetPicker([&main, &browser](const TMemberLists& chosen) {
        std::vector<TTreeNode> nodes = PickerNodes(
            main.Tree().Roots(), [&chosen](const std::string& text) { return IsChosenMember(text, chosen); });
        browser.Execute(nodes);
        return TickedTexts(nodes);
    });
    main.Targets().virtualDefinition = [definition, &main](const TVirtualDefArgs& a, std::string& savedLabel) {
        return definition->Execute({main.KivIniPath(), a.dataFolder, a.label, a.formula}, savedLabel);
    };
}

// "Import konfiguracji z DOS" and the offer of an empty data folder;
// "Kopiowanie danych".
TFImportCfg* InstallImport(TF_Main& main) {
    auto* import = new TFImportCfg(&main);
    main.Targets().importConfig = [import](const TImportArgs& a, std::string& destination) {
        return import->Execute(a, destination);
    };
    return import;
}

TFFileCopy* InstallDataCopy(TF_Main& main) {
    auto* copy = new TFFileCopy(&main);
    main.Targets().dataCopy = [copy](const std::string& dataFolder) { copy->Execute(dataFolder); };
    return copy;
}

} // namespace

TStartupWindows CreateStartupWindows(const std::string& kivIni, const std::string& workingFolder) {
    TStartupWindows windows;
    windows.main = std::make_unique<TF_Main>(kivIni, workingFolder);
    windows.stationConfig = InstallStationConfig(*windows.main);
    InstallReadingTargets(windows);
    InstallTransporter(windows);
    windows.about = new TFOProgramie(windows.main.get());
    windows.importCfg = InstallImport(*windows.main);
    windows.periodChooser = InstallPeriodChooser(*windows.main);
    windows.openWinds = &OpenWindows();
    // The settings dialog works with the one text prompt and modem profile
    // editor, so those two come first.
    windows.editTxt = new TFEditTxt(windows.main.get());
    windows.modemProfile = new TFModemProf(windows.main.get());
    windows.programSettings = InstallProgramSettings(*windows.main, *windows.editTxt, *windows.modemProfile);
    windows.browser = new TFBrowser(windows.main.get());
    windows.fileCopy = InstallDataCopy(*windows.main);
    InstallCapacityWindows(*windows.main, *windows.browser);
    return windows;
}

void CloseOnStopSignals(QWidget& main) {
    g_stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Qt may not be touched from a signal handler; a timer looks at the flag.
    // Once the read-out, if any, has ended, every window closes, the main
    // window last (it stores the selected node), and the event loop ends
    // even if a dialog was open.
    auto* watch = new QTimer(&main);
    watch->setInterval(kSignalWatchMs);
    QObject::connect(watch, &QTimer::timeout, &main, [&main, watch] {
        if (g_stopSignal == 0 || ReadOutRunning()) return;
        watch->stop();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &main && window->isVisible()) window->close();
        main.close();
        QCoreApplication::quit();
    });
    watch->start();
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    KeepCNumbers();
    QApplication::setApplicationName(QStringLiteral("Kiv"));
    QApplication::setWindowIcon(QIcon(KindPixmap(KindStation)));
    QtMessageSink sink;
    IMessageSink* previous = SetMessageSink(&sink);
    const std::string working = PathWithSeparator(QDir::currentPath().toStdString());
    const std::string kivIni = KivIniPath(working);
    // Outlives every window, so the last ones hidden at exit are still stored.
    TWindowKeeper keeper(kivIni);
    app.installEventFilter(&keeper);
    int code = 0;
    {
        TStartupWindows windows = CreateStartupWindows(kivIni, working);
        CentreOnScreen(windows.main.get());
        CloseOnStopSignals(*windows.main);
        windows.main->show();
        code = QApplication::exec();
    }
    SetMessageSink(previous);
    return code;
}

} // namespace kiv
