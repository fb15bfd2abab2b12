// The main window on generated data folders: tree, ticking by mouse and
// Space, the availability of every command, what the commands hand over, the
// period chooser the period commands start at, the import offer on an empty
// folder, every command walked, the station and virtual station maintenance,
// the data folder history, closing, the about box and a screenshot.
#include "config/program_settings.h"
#include "datafiles/archive.h"
#include "datafiles/sample_value.h"
#include "reports/period_chooser.h"
#include "reports/rap_dob.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/node_icons.h"
#include "shell/startup.h"
#include "shell/station_tree_view.h"
#include "shell_test_util.h"
#include "support/gui/modal_helper.h"
#include "support/helpers.h"
#include "support/message_recorder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <memory>
#include <optional>

using namespace kiv;

namespace {

const char* const kQuestion = "Baza danych jest pusta. Czy importować dane o urządzeniach z wersji DOSowej?";

// Controls of each command row and the row's cells for the columns group,
// 5, 6, 7, 8, 9, station set, no station ("o" on, "a" any, "-" off).
struct ControlRow {
    std::vector<const char*> controls;
    const char* cells;
};

const std::vector<ControlRow> kTable{
    {{"BitBtn_TxData", "MnuTransmisja"}, "-o-oo---"},
    {{"BitBtn_TxModem", "MnuModem"}, "---o----"},
    {{"BitBtn_TxModemA", "MnuModemAuto"}, "aaaaa---"},
    {{"BitBtn_TxKivGaz", "MnuKivGaz"}, "oooooo-o"},
    {{"BitBtn_CurData", "MnuDaneBiezace"}, "-o-oo---"},
    {{"BitBtn_Events", "MnuZdarzenia"}, "-o-oo---"},
    {{"BitBtn_DrawGfx", "MnuGrafika"}, "-ooooo--"},
    {{"BitBtn_Report", "BitBtn_ReportD", "MnuRaport", "MnuRaportD"}, "-oooooo-"},
    {{"BitBtn_ConfigFC", "MnuBiezacaStacja"}, "-ooooo--"},
    {{"MnuMocZamowiona"}, "-ooooo--"},
    {{"MnuEksportCSV", "MnuEksportDZN"}, "-oooo-o-"},
    {{"MnuOptymalizacjaMocy"}, "-ooooo--"},
    {{"MnuUsunStacjeWirtualna"}, "-----o--"},
};

// The targets a control reaches, in order, with "00003 Gamma" selected, and
// the controls that reach them; the first row: those the window answers itself.
const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> kControlTargets{
    {{},
     {"MnuZmianafolderuDanych", "MnuHistoria", "MnuHistoria1", "MnuHistoria2", "MnuHistoria3", "MnuHistoria4",
      "MnuHistoria5", "MnuDodajStacje", "MnuDodajStacjeWirtualna", "MnuUsunStacjeWirtualna", "MnuDopasujProfile",
      "MnuOkna", "MnuOProgramie"}},
    {{"directTransmission"}, {"BitBtn_TxData", "MnuTransmisja"}},
    {{"modemTransmission"}, {"BitBtn_TxModem", "MnuModem"}},
    {{"autoModem"}, {"BitBtn_TxModemA", "MnuModemAuto"}},
    {{"transporterRead"}, {"BitBtn_TxKivGaz", "MnuKivGaz"}},
    {{"transporterProgram"}, {"MnuKivGazDB"}},
    {{"currentData"}, {"BitBtn_CurData", "MnuDaneBiezace"}},
    {{"events"}, {"BitBtn_Events", "MnuZdarzenia"}},
    {{"choosePeriod", "graph"}, {"BitBtn_DrawGfx", "MnuGrafika"}},
    {{"choosePeriod", "periodReport"}, {"BitBtn_Report", "MnuRaport"}},
    {{"choosePeriod", "dailyReport"}, {"BitBtn_ReportD", "MnuRaportD"}},
    {{"choosePeriod", "exportData"}, {"MnuEksportCSV", "MnuEksportDZN"}},
    {{"stationConfig"}, {"BitBtn_ConfigFC", "MnuBiezacaStacja"}},
    {{"orderedCapacity"}, {"MnuMocZamowiona"}},
    {{"optimise"}, {"MnuOptymalizacjaMocy"}},
    {{"importConfig"}, {"MnuImportKonfiguracjiZDOS"}},
    {{"dataCopy"}, {"MnuKopiowanieDanych"}},
    {{"programSettings"}, {"MnuUstawieniaprogramu"}},
};

// The targets the control reaches; nullptr for a control not listed.
const std::vector<std::string>* TargetsOf(const std::string& control) {
    for (const auto& [targets, controls] : kControlTargets)
        if (std::find(controls.begin(), controls.end(), control) != controls.end()) return &targets;
    return nullptr;
}

// The target notes its name in the log before it does what it did.
template <class R, class... A>
void Record(std::function<R(A...)>& target, const char* name, std::vector<std::string>& log) {
    target = [inner = target, name, &log](A... args) -> R {
        log.emplace_back(name);
        return inner(std::forward<A>(args)...);
    };
}

const std::vector<const char*> kAlwaysEnabled{
    "MnuKopiowanieDanych", "MnuZmianafolderuDanych", "MnuZamknij",         "MnuDodajStacje",
    "MnuDodajStacjeWirtualna", "MnuImportKonfiguracjiZDOS", "MnuDopasujProfile", "MnuUstawieniaprogramu",
    "MnuOkna",            "MnuOProgramie"};

// One hourly sample of the station's dVn, so the station has a default period.
void StoreSample(const std::string& dataFolder, int address, TimeStamp time) {
    std::array<uint8_t, kSampleSize> sample{};
    for (std::size_t i = 0; i < 4; ++i) sample[i] = static_cast<uint8_t>(time >> (8 * i));
    sample[4] = 60;
    sample[6] = VtUInt32;
    sample[7] = 1;
    TParamItem item = test::MakeItem({.shortName = "dVn", .kind = "dV", .column = 1});
    item.SetGraphTitle("dV-Q");
    TArchive archive;
    QCOMPARE(archive.StoreSamples(dataFolder, address, item, sample.data(), kSampleSize,
                                  {"Plum", "100", "MacMat", "GM-2", "", ""}, "dVn"),
             0);
}

} // namespace

class MainWindowTest : public QObject, test::DataFolderWindows {
    Q_OBJECT

private:
    void WriteSampleData(bool phones = true) {
        test::WriteStation(data_, {1, "Alfa", "Północ", true});
        test::WriteStation(data_, {2, "Beta", "", false, phones, phones});
        test::WriteStation(data_, {3, "Gamma", "Południe", true, phones, true});
        test::WriteStation(data_, {4, "Delta", "Północ", true, phones, false});
    }
    void WriteIni(const std::string& extra = "") {
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=" + data_ + "\nDataPath1=/archiwum/stare\n[Main]\n"
                                 "CursorPosition=00004 Delta\n[Report]\nRepBaseHourShift=30\n[" +
                                     VirtualSectionName(data_) + "]\nSum1=Suma A@+00001+00004@0\nSum2=Bilans@@0\n" +
                                     extra);
    }
    std::unique_ptr<TF_Main> Open() {
        auto w = std::make_unique<TF_Main>(kivIni_, temp_->Folder());
        return w;
    }
    static void Click(TF_Main& w, const std::string& text, bool onTick = false) {
        const TNodeRef ref = w.Tree().Find(text);
        QTreeWidgetItem* item = w.TreeView()->ItemOf(ref);
        QVERIFY2(item, text.c_str());
        const QPoint at = onTick ? w.TreeView()->TickPoint(ref) : w.TreeView()->visualItemRect(item).center();
        QTest::mouseClick(w.TreeView()->viewport(), Qt::LeftButton, {}, at);
    }
    static bool Enabled(const TF_Main& w, const char* name) {
        if (QPushButton* b = w.CommandButton(name)) return b->isEnabled();
        QAction* a = w.MenuAction(name);
        if (!a) qFatal("no control %s", name);
        return a->isEnabled();
    }
    static int Tick(const TF_Main& w, const std::string& text) { return w.Tree().Node(w.Tree().Find(text))->tick; }

private slots:
    void init() {
        OpenFolder();
        const std::string program = temp_->Sub("program");
        QVERIFY(test::WriteProfileFile(program + "KM100.FCP", "KM-100", "Common", "KM", ""));
        test::WriteText(program + "ZLY.FCP", "broken");
        SetProgramFolder(program);
    }
    void cleanup() { CloseFolder(); }

    void buildsTreeAndSelectsCursorPosition() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        QStringList tops;
        for (int i = 0; i < w->TreeView()->topLevelItemCount(); ++i) tops << w->TreeView()->topLevelItem(i)->text(0);
        QCOMPARE(tops, QStringList({"00002 Beta", "Bilans", "Południe", "Północ", "Suma A"}));
        QCOMPARE(w->TreeView()->currentItem()->text(0), QString("00004 Delta"));
        QCOMPARE(w->windowTitle(), QString("Kiv - 00004 Delta"));
        QCOMPARE(w->StatusText(), QString::fromStdString(data_));
        QCOMPARE(w->DataFolder(), data_);
        QCOMPARE(w->Catalogue().files, std::vector<std::string>{"KM100.FCP"});
        QCOMPARE(w->Catalogue().names, std::vector<std::string>{"KM-100"});
        QVERIFY(w->MenuAction("MnuHistoria1")->isVisible());
        QCOMPARE(w->MenuAction("MnuHistoria1")->text(), QString("/archiwum/stare/"));
        QVERIFY(!w->MenuAction("MnuHistoria2")->isVisible());
        QVERIFY(!w->MenuAction("MnuHistoria")->isVisible());
        QVERIFY(w->TickMode());
        QCOMPARE(recorder_->Count(), std::size_t{0});
        QVERIFY(w->minimumWidth() >= 470 && w->minimumHeight() >= 489);
    }

    void missingDataFolderFallsBackToWorkingFolder() {
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=/nie/ma/takiego/\n");
        test::WriteStation(temp_->Folder(), {7, "Siedem", ""});
        auto w = Open();
        w->show();
        QCOMPARE(w->DataFolder(), temp_->Folder());
        QCOMPARE(w->windowTitle(), QString("Kiv - 00007 Siedem"));
        QVERIFY(w->MenuAction("MnuHistoria")->isVisible());
        QVERIFY(!w->MenuAction("MnuHistoria")->isEnabled());
    }

    void tickingByMouseAndSpace() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, "00002 Beta", true);
        QCOMPARE(w->windowTitle(), QString("Kiv - zespół stacji"));
        QVERIFY(w->StationSet().setMode);
        QCOMPARE(w->StationSet().keys, std::vector<std::string>{"00002"});
        QVERIFY(!Enabled(*w, "BitBtn_DrawGfx"));
        QVERIFY(!Enabled(*w, "BitBtn_ConfigFC"));
        QVERIFY(!Enabled(*w, "MnuMocZamowiona"));
        QVERIFY(Enabled(*w, "BitBtn_Report"));
        QVERIFY(Enabled(*w, "MnuEksportCSV"));
        Click(*w, "00002 Beta", true);
        QVERIFY(!w->StationSet().setMode);

        Click(*w, "Północ", true);
        QCOMPARE(Tick(*w, "Północ"), int(TickTicked));
        QCOMPARE(Tick(*w, "00001 Alfa"), int(TickTicked));
        QCOMPARE(Tick(*w, "00004 Delta"), int(TickTicked));
        QCOMPARE(w->StationSet().keys, (std::vector<std::string>{"00001", "00004"}));
        Click(*w, "00001 Alfa", true);
        QCOMPARE(Tick(*w, "Północ"), int(TickPartly));
        w->TreeView()->SelectRef(w->Tree().Find("00004 Delta"));
        QTest::keyClick(w->TreeView(), Qt::Key_Space);
        QCOMPARE(Tick(*w, "Północ"), int(TickClear));
        QCOMPARE(w->windowTitle(), QString("Kiv - 00004 Delta"));

        // A click beside the tick box selects without ticking.
        Click(*w, "00001 Alfa");
        QCOMPARE(Tick(*w, "00001 Alfa"), int(TickClear));
        QCOMPARE(w->windowTitle(), QString("Kiv - 00001 Alfa"));
    }

    void availabilityTable_data() {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("tick");
        QTest::addColumn<int>("column");
        QTest::newRow("group") << "Północ" << "" << 0;
        QTest::newRow("kind 5") << "00001 Alfa" << "" << 1;
        QTest::newRow("kind 6") << "00002 Beta" << "" << 2;
        QTest::newRow("kind 7") << "00003 Gamma" << "" << 3;
        QTest::newRow("kind 8") << "00004 Delta" << "" << 4;
        QTest::newRow("kind 9") << "Suma A" << "" << 5;
        QTest::newRow("station set") << "00001 Alfa" << "00003 Gamma" << 6;
    }

    void availabilityTable() {
        QFETCH(QString, select);
        QFETCH(QString, tick);
        QFETCH(int, column);
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, select.toStdString());
        if (!tick.isEmpty()) Click(*w, tick.toStdString(), true);
        for (const auto& row : kTable)
            for (const char* control : row.controls)
                QVERIFY2(Enabled(*w, control) == (row.cells[column] != '-'), control);
        for (const char* control : kAlwaysEnabled) QVERIFY2(Enabled(*w, control), control);
        QVERIFY(!Enabled(*w, "MnuKivGazDB"));
        QVERIFY(!w->MenuAction("MnuKivGazDB")->isVisible());
    }

    void modemAutoNeedsATelephoneNumber() {
        WriteSampleData(false);
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, "00001 Alfa");
        QVERIFY(!Enabled(*w, "BitBtn_TxModemA"));
        QVERIFY(!Enabled(*w, "MnuModemAuto"));
    }

    void virtualStationSelected() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, "Suma A");
        QCOMPARE(w->windowTitle(), QString("Kiv - Suma A"));
        QVERIFY(Enabled(*w, "MnuUsunStacjeWirtualna"));
        QVERIFY(!Enabled(*w, "MnuEksportCSV"));
        QVERIFY(!Enabled(*w, "MnuEksportDZN"));
        std::string key;
        std::string label;
        QVERIFY(w->SelectedKeyAndLabel(key, label));
        QCOMPARE(key, std::string("+00001+00004"));
        QCOMPARE(label, std::string("Suma A"));

        // The period report proposes no period for a virtual station.
        std::optional<TPeriodArgs> report;
        int chooserMode = -1;
        w->Targets().choosePeriod = [&](int mode, TimeStamp& start, TimeStamp& end) {
            chooserMode = mode;
            return start == 0 && end == 0;
        };
        w->Targets().periodReport = [&](const TPeriodArgs& a) { report = a; };
        w->CommandButton("BitBtn_Report")->click();
        QCOMPARE(chooserMode, int(PeriodReport));
        QVERIFY(report.has_value());
        QCOMPARE(report->keyLabels, std::vector<std::string>{"+00001+00004@Suma A"});
        QCOMPARE(report->kivIni, kivIni_);
        QCOMPARE(report->hourShift, -2);
        QCOMPARE(report->lowerLimit, TimeStamp{0});
        QCOMPARE(report->upperLimit, TimeStamp{0xFFFFFFFFu});
    }

    void exportOfVirtualOnlySetWarnsAndExportsNothing() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        bool chooserRan = false;
        bool exported = false;
        w->Targets().choosePeriod = [&](int, TimeStamp&, TimeStamp&) { return chooserRan = true; };
        w->Targets().exportData = [&](const TPeriodArgs&) { exported = true; };
        Click(*w, "Suma A", true);
        QVERIFY(Enabled(*w, "MnuEksportCSV"));
        w->MenuAction("MnuEksportCSV")->trigger();
        QCOMPARE(recorder_->Count(), std::size_t{1});
        QCOMPARE(recorder_->Last().text, std::string("Stacje wirtualne zostały usunięte z listy eksportu"));
        QCOMPARE(recorder_->Last().kind, int(MsgWarning));
        QCOMPARE(recorder_->Last().buttons, unsigned(BtnOk));
        QVERIFY(!chooserRan);
        QVERIFY(!exported);
    }

    void exportOfMixedSetKeepsTheStations() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        std::optional<TPeriodArgs> args;
        int chooserMode = -1;
        TimeStamp proposed = 1;
        w->Targets().choosePeriod = [&](int mode, TimeStamp& start, TimeStamp& end) {
            chooserMode = mode;
            proposed = start | end;
            start = 100;
            end = 200;
            return true;
        };
        w->Targets().exportData = [&](const TPeriodArgs& a) { args = a; };
        Click(*w, "Suma A", true);
        Click(*w, "00003 Gamma", true);
        w->MenuAction("MnuEksportDZN")->trigger();
        QVERIFY(recorder_->Saw("Stacje wirtualne zostały usunięte z listy eksportu"));
        QCOMPARE(chooserMode, int(PeriodGraph));
        QCOMPARE(proposed, TimeStamp{0});
        QVERIFY(args.has_value());
        QCOMPARE(args->keyLabels, std::vector<std::string>{"00003@Gamma"});
        QCOMPARE(args->format, std::string("DZN"));
        QCOMPARE(args->start, TimeStamp{100});
        QCOMPARE(args->end, TimeStamp{200});
        QCOMPARE(args->dataFolder, data_);
        QVERIFY(args->kivIni.empty());
    }

    void stationCommandsHandOverTheirValues() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, "00003 Gamma");
        std::optional<TStationArgs> direct;
        std::optional<TStationArgs> modem;
        std::optional<TCurDataArgs> current;
        std::optional<TEventsArgs> events;
        std::optional<TCapacityArgs> capacity;
        w->Targets().directTransmission = [&](const TStationArgs& a) { direct = a; };
        w->Targets().modemTransmission = [&](const TStationArgs& a) { modem = a; };
        w->Targets().currentData = [&](const TCurDataArgs& a) { current = a; };
        w->Targets().events = [&](const TEventsArgs& a) { events = a; };
        w->Targets().orderedCapacity = [&](const TCapacityArgs& a) { capacity = a; };
        w->CommandButton("BitBtn_TxData")->click();
        w->MenuAction("MnuModem")->trigger();
        w->CommandButton("BitBtn_CurData")->click();
        w->CommandButton("BitBtn_Events")->click();
        w->MenuAction("MnuMocZamowiona")->trigger();
        QVERIFY(direct && modem && current && events && capacity);
        QCOMPARE(direct->address, 3);
        QCOMPARE(direct->kivIni, kivIni_);
        QCOMPARE(direct->dataFolder, data_);
        QCOMPARE(direct->stationFile, data_ + "FC_00003/00003.INI");
        QCOMPARE(direct->profileNames, std::vector<std::string>{"KM-100"});
        QCOMPARE(direct->profileFiles, std::vector<std::string>{"KM100.FCP"});
        QCOMPARE(modem->address, 3);
        QCOMPARE(current->address, 3);
        QCOMPARE(current->deviceProfile, std::string("KM-100"));
        QCOMPARE(current->calcVn1Index, 1);
        QCOMPARE(events->address, 3);
        QCOMPARE(capacity->nodeText, std::string("00003 Gamma"));
        QVERIFY(!capacity->isVirtual);
        QCOMPARE(recorder_->Count(), std::size_t{0});
    }

    void configurationAndTransporterRebuildTheTree() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        std::optional<TVirtualDefArgs> definition;
        w->Targets().virtualDefinition = [&](const TVirtualDefArgs& a, std::string& saved) {
            definition = a;
            saved = "00001 Alfa";
            return true;
        };
        w->Targets().stationConfig = [&](const TStationArgs& a, std::string& reselect) {
            reselect = FiveDigits(a.address) + " Nowa";
            test::WriteStation(a.dataFolder, {a.address, "Nowa", ""});
            w->ReloadStationList();
            return true;
        };
        w->Targets().transporterRead = [&](const TFolderArgs& a) {
            test::WriteStation(a.dataFolder, {9, "Z przenośnika", ""});
            return true;
        };
        std::optional<TOptimiseArgs> optimise;
        w->Targets().optimise = [&](const TOptimiseArgs& a) { optimise = a; };

        Click(*w, "Suma A");
        w->MenuAction("MnuOptymalizacjaMocy")->trigger();
        QVERIFY(optimise.has_value());
        QCOMPARE(optimise->key, std::string("+00001+00004"));
        QCOMPARE(optimise->hourShift, -2);
        w->CommandButton("BitBtn_ConfigFC")->click();
        QVERIFY(definition.has_value());
        QCOMPARE(definition->label, std::string("Suma A"));
        QCOMPARE(definition->formula, std::string("+00001+00004"));
        QCOMPARE(w->windowTitle(), QString("Kiv - 00001 Alfa"));

        w->MenuAction("MnuBiezacaStacja")->trigger();
        QCOMPARE(w->windowTitle(), QString("Kiv - 00001 Nowa"));

        w->CommandButton("BitBtn_TxKivGaz")->click();
        QVERIFY(w->Tree().Find("00009 Z przenośnika").Valid());
        QCOMPARE(w->windowTitle(), QString("Kiv - 00001 Nowa"));
        QCOMPARE(w->NodeToReselect(), std::string("00001 Nowa"));
    }

    // Clicks and commands answer from what the window read; Kiv.ini is read
    // again when the tree is rebuilt, as after the program settings change.
    void selectionDoesNotReadTheSettingsAgain() {
        WriteSampleData();
        WriteIni();
        auto w = Open();
        w->show();
        std::optional<TOptimiseArgs> optimise;
        w->Targets().optimise = [&](const TOptimiseArgs& a) { optimise = a; };
        w->Targets().programSettings = [](const std::string&, const std::string&) { return true; };
        std::string text = test::ReadText(kivIni_);
        text.replace(text.find("RepBaseHourShift=30"), 19, "RepBaseHourShift=5");
        text.replace(text.find("+00001+00004"), 12, "+00003");
        test::WriteText(kivIni_, text);

        std::string key;
        std::string label;
        for (int round = 0; round < 2; ++round) {
            Click(*w, "Suma A");
            QVERIFY(w->SelectedKeyAndLabel(key, label));
            w->MenuAction("MnuOptymalizacjaMocy")->trigger();
            QVERIFY(optimise.has_value());
            QCOMPARE(key, std::string(round == 0 ? "+00001+00004" : "+00003"));
            QCOMPARE(optimise->key, key);
            QCOMPARE(optimise->hourShift, round == 0 ? -2 : 5);
            w->MenuAction("MnuUstawieniaprogramu")->trigger();
        }
    }

    // The program's own chooser opens with the mode and proposed period of
    // the command; behind it each command opens its own window.
    void periodCommandsStartAtTheChooser() {
        WriteSampleData();
        WriteIni();
        StoreSample(data_, 3, EncodeTime({2024, 6, 9, 13, 0, 0}));
        TStartupWindows windows = CreateStartupWindows(kivIni_, temp_->Folder());
        TF_Main& w = *windows.main;
        TFWyborOkresu* chooser = windows.periodChooser;
        QVERIFY(chooser);
        const TDate today{2024, 6, 9};
        chooser->SetToday(today);
        w.show();
        Click(w, "00003 Gamma");

        const char* const oneMonth = "Wybierz przedział czasu z zakresu 1 miesiąca";
        const char* const twoMonths = "Wybierz przedział czasu z zakresu 2 miesięcy";
        const struct {
            const char* command;
            bool tickFirst; // into station set mode, where nothing is proposed
            const char* prompt;
            TDate first;
            TDate second;
            bool ok;
            const char* opens; // the window behind the chooser; the export's list is modal
        } rows[] = {
            {"BitBtn_DrawGfx", false, oneMonth, {2024, 6, 1}, {2024, 6, 9}, true, "kiv::TFGrafika"},
            {"MnuEksportCSV", false, oneMonth, {2024, 6, 1}, {2024, 6, 9}, true, "kiv::TFEksport"},
            {"BitBtn_ReportD", false, "Wybierz dzień", {2024, 6, 1}, {2024, 6, 9}, true, "kiv::TFRapDob"},
            {"MnuRaport", false, twoMonths, {2024, 6, 1}, {2024, 6, 9}, false, nullptr},
            {"BitBtn_Report", true, twoMonths, today, today, true, "kiv::TFRapOkres"},
        };
        for (const auto& row : rows) {
            if (row.tickFirst) Click(w, "00003 Gamma", true);
            recorder_->Clear();
            QString prompt;
            TPeriodDates shown;
            bool modal = false;
            QTimer::singleShot(0, chooser, [&] {
                modal = QApplication::activeModalWidget() == chooser;
                prompt = chooser->PromptLabel()->text();
                shown = chooser->Dates();
                (row.ok ? chooser->OkButton() : chooser->CancelButton())->click();
            });
            QString modalShown;
            QTimer answerModal;
            answerModal.setInterval(10);
            QObject::connect(&answerModal, &QTimer::timeout, [&] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (!dialog || dialog == chooser) return;
                modalShown = dialog->metaObject()->className();
                dialog->close();
            });
            answerModal.start();
            if (QPushButton* button = w.CommandButton(row.command))
                button->click();
            else
                w.MenuAction(row.command)->trigger();
            answerModal.stop();
            QVERIFY2(modal, row.command);
            QCOMPARE(prompt, QString(row.prompt));
            QVERIFY2(shown.first == row.first && shown.second == row.second, row.command);
            QVERIFY2(recorder_->Count() == 0, (std::string(row.command) + ": " + (recorder_->Count() ? recorder_->Last().text : "")).c_str());
            QStringList opened;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != &w && window->isVisible()) opened << window->metaObject()->className();
            if (!modalShown.isEmpty()) opened << modalShown;
            QCOMPARE(opened, row.opens ? QStringList{row.opens} : QStringList{});
            if (std::string(row.command) == "BitBtn_ReportD") {
                auto* report = w.findChild<TFRapDob*>();
                QCOMPARE(report->DayStart(), EncodeTime({2024, 6, 1, 0, 0, 1}));
                QCOMPARE(report->PrintList()->Count(), 1);
            }
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != &w) window->close();
        }
    }

    // Every target the main window calls is installed by the start-up; one
    // set by hand no longer counts as left.
    void startupInstallsEveryTarget() {
        TStartupWindows windows = CreateStartupWindows(kivIni_, temp_->Folder());
        QCOMPARE(TargetsLeftDefault(windows.main->Targets()), std::vector<std::string>{});
        TMainTargets targets = IdleTargets();
        targets.events = [](const TEventsArgs&) {};
        QCOMPARE(TargetsLeftDefault(targets).size(), std::size_t{18});
    }

    // Every menu item and button of the main window reaches its own targets.
    // The period chooser accepts at
    // once (it is walked in periodCommandsStartAtTheChooser); windows that
    // open are closed again.
    void everyCommandRunsItsFunction() {
        WriteSampleData();
        WriteIni();
        TStartupWindows windows = CreateStartupWindows(kivIni_, temp_->Folder());
        TF_Main& w = *windows.main;
        std::vector<std::string> reached;
        ForEachTargetMember([&](const char* name, auto member) { Record(w.Targets().*member, name, reached); });
        w.Targets().choosePeriod = [&](int, TimeStamp&, TimeStamp&) {
            reached.emplace_back("choosePeriod");
            return true;
        };
        w.show();
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        });
        closer.start(20);
        std::vector<QObject*> controls;
        for (QPushButton* button : w.centralWidget()->findChildren<QPushButton*>()) controls.push_back(button);
        for (QAction* top : w.menuBar()->actions())
            for (QAction* action : top->menu() ? top->menu()->actions() : QList<QAction*>{top})
                if (!action->isSeparator() && action->objectName() != "MnuZamknij") controls.push_back(action);
        QCOMPARE(controls.size(), std::size_t{41});
        for (QObject* control : controls) {
            const std::string name = control->objectName().toStdString();
            const std::vector<std::string>* expected = TargetsOf(name);
            QVERIFY2(expected, name.c_str());
            Click(w, "00003 Gamma");
            recorder_->Clear();
            reached.clear();
            if (auto* button = qobject_cast<QPushButton*>(control)) {
                button->setEnabled(true);
                button->click();
            } else {
                auto* action = qobject_cast<QAction*>(control);
                const bool enabled = action->isEnabled();
                action->setEnabled(true);
                action->trigger();
                action->setEnabled(enabled);
            }
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != &w && window->isVisible()) window->close();
            QVERIFY2(reached == *expected, name.c_str());
        }
        w.MenuAction("MnuZamknij")->trigger();
        QVERIFY(!w.isVisible());
    }

    // "Dodaj stację" after the highest address, refused with a message where
    // its folder cannot be made; virtual stations added under the first free
    // name and key (an entry after a gap kept), and removed, the neighbour
    // selected afterwards.
    void stationsAndVirtualStationsAddedAndRemoved() {
        for (const auto& [address, group] : {std::pair{1, "0 Sieć"}, {2, ""}, {7, ""}})
            test::WriteStation(data_, {address, "S" + std::to_string(address), group});
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=" + data_ + "\n[" + VirtualSectionName(data_) +
                                     "]\nSum1=Nowa stacja wirtualna 12@@0\nSum3=Zapas@@0\n");
        auto w = Open();
        w->show();
        const auto current = [&] { return w->TreeView()->currentItem()->text(0).toStdString(); };
        // A file where the new station's folder goes: the user is told and nothing is added.
        test::WriteText(data_ + "FC_00008", "not a folder");
        w->MenuAction("MnuDodajStacje")->trigger();
        QCOMPARE(recorder_->Count(), std::size_t{1});
        QCOMPARE(recorder_->Last().kind, int(MsgError));
        QVERIFY(recorder_->Last().text.starts_with("Nie udało się utworzyć stacji 00008 "));
        QCOMPARE(StationDb().Count(), 3);
        recorder_->Clear();
        std::filesystem::remove(data_ + "FC_00008");
        w->MenuAction("MnuDodajStacje")->trigger();
        QCOMPARE(current(), std::string("00008 Nowa stacja"));
        QCOMPARE(ReadStationEntry(StationFilePath(data_, 8), 8).label, std::string("Nowa stacja"));
        w->MenuAction("MnuDodajStacjeWirtualna")->trigger();
        w->MenuAction("MnuDodajStacjeWirtualna")->trigger();
        QCOMPARE(current(), std::string("Nowa stacja wirtualna 3"));
        QCOMPARE(TProgramSettings(kivIni_).VirtualEntries(data_),
                 (std::vector<std::string>{"Nowa stacja wirtualna 12@@0", "Nowa stacja wirtualna 2@@0", "Zapas@@0",
                                           "Nowa stacja wirtualna 3@@0"}));
        for (const char* next : {"Zapas", "Nowa stacja wirtualna 2", "Nowa stacja wirtualna 12", "00001 S1"}) {
            w->MenuAction("MnuUsunStacjeWirtualna")->trigger();
            QCOMPARE(current(), std::string(next));
        }
        QVERIFY(test::ReadText(kivIni_).find("Virtual-") == std::string::npos);
        QCOMPARE(recorder_->Count(), std::size_t{0});
    }

    // History item 3 of A, B, K, D with data folder X; then an import into
    // another folder switches to it, and the folder picker to a third.
    void dataFolderHistoryImportAndPicker() {
        const std::string k = temp_->Sub("K");
        const std::string n = temp_->Sub("N");
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=" + data_ + "\nDataPath1=/A/\nDataPath2=/B/\nDataPath3=" + k +
                                     "\nDataPath4=/D/\n");
        test::WriteStation(data_, {1, "X1", ""});
        test::WriteStation(k, {2, "K2", ""});
        auto w = Open();
        w->show();
        w->MenuAction("MnuHistoria3")->trigger();
        QCOMPARE(w->DataFolder(), k);
        QCOMPARE(w->History(), (TFolderHistory{data_, "/A/", "/B/", "/D/", ""}));
        QCOMPARE(w->MenuAction("MnuHistoria1")->text(), QString::fromStdString(data_));
        QVERIFY(!w->MenuAction("MnuHistoria5")->isVisible());
        QCOMPARE(w->windowTitle(), QString("Kiv - 00002 K2"));
        QCOMPARE(TProgramSettings(kivIni_).DataPath(0), k);
        QCOMPARE(TProgramSettings(kivIni_).DataPathHistory(), (std::vector<std::string>{data_, "/A/", "/B/", "/D/"}));

        w->MenuAction("MnuHistoria2")->trigger();
        QCOMPARE(recorder_->Last().text, std::string("Wybrany katalog nie istnieje"));
        QCOMPARE(w->DataFolder(), k);

        std::string importedFrom;
        w->Targets().importConfig = [&](const TImportArgs& a, std::string& destination) {
            importedFrom = a.dataFolder;
            destination = n;
            return true;
        };
        w->MenuAction("MnuImportKonfiguracjiZDOS")->trigger();
        QCOMPARE(importedFrom, k);
        QCOMPARE(w->DataFolder(), n);
        QCOMPARE(w->History(), (TFolderHistory{k, data_, "/A/", "/B/", "/D/"}));

        test::OnModal<QFileDialog>([&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Wybierz katalog danych"));
            d->setDirectory(QString::fromStdString(data_));
            static_cast<QDialog*>(d)->accept();
        });
        w->MenuAction("MnuZmianafolderuDanych")->trigger();
        QCOMPARE(w->DataFolder(), data_);
        QCOMPARE(w->History(), (TFolderHistory{n, k, "/A/", "/B/", "/D/"}));
    }

    void matchingProfilesCountsAndRedrawsTheTree() {
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=" + data_ + "\n");
        test::WriteStation(data_, {1, "Alfa", "", false});
        test::WriteStation(data_, {2, "Beta", "", false});
        WriteNameplate(data_, 1, {"Common", "KM", "12345"});
        auto w = Open();
        w->show();
        w->MenuAction("MnuDopasujProfile")->trigger();
        QCOMPARE(recorder_->Last().text, std::string("Dopasowano 1/2 profili"));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
        QCOMPARE(w->Tree().Node(w->Tree().Find("00001 Alfa"))->kind, int(KindStation));
        QCOMPARE(w->Tree().Node(w->Tree().Find("00002 Beta"))->kind, int(KindNoProfile));
    }

    void closingStoresTheSelectedStationOnly() {
        WriteSampleData();
        WriteIni();
        {
            auto w = Open();
            w->show();
            Click(*w, "Północ");
            w->close();
        }
        QCOMPARE(TProgramSettings(kivIni_).CursorPosition(), std::string("00004 Delta"));
        {
            auto w = Open();
            w->show();
            Click(*w, "00002 Beta");
            w->close();
        }
        QCOMPARE(TProgramSettings(kivIni_).CursorPosition(), std::string("00002 Beta"));
        auto w = Open();
        w->show();
        QCOMPARE(w->windowTitle(), QString("Kiv - 00002 Beta"));
    }

    void emptyFolderAsksToImport() {
        WriteIni();
        auto w = Open();
        int imports = 0;
        w->Targets().importConfig = [&](const TImportArgs& a, std::string&) {
            ++imports;
            [&] {
                QCOMPARE(a.dataFolder, data_);
                QCOMPARE(a.profileNames, std::vector<std::string>{"KM-100"});
                QCOMPARE(a.brands, std::vector<std::string>{"Common"});
                QCOMPARE(a.types, std::vector<std::string>{"KM"});
                QCOMPARE(a.serials, std::vector<std::string>{""});
            }();
            return false;
        };
        recorder_->Answer({ResYes, ResNo});
        w->show();
        QCOMPARE(imports, 1);
        QCOMPARE(recorder_->Count(), std::size_t{2});
        for (const auto& m : recorder_->Messages()) {
            QCOMPARE(m.text, std::string(kQuestion));
            QCOMPARE(m.shownCaption, std::string("Kiv"));
            QCOMPARE(m.kind, int(MsgConfirmation));
            QCOMPARE(m.buttons, unsigned(BtnYes | BtnNo));
        }
        QCOMPARE(w->TreeView()->topLevelItemCount(), 0);
        QCOMPARE(w->windowTitle(), QString("Kiv"));
        for (const auto& row : kTable)
            for (const char* control : row.controls)
                QVERIFY2(Enabled(*w, control) == (row.cells[7] != '-'), control);
        QVERIFY(Enabled(*w, "BitBtn_TxKivGaz"));
        for (const char* control : kAlwaysEnabled) QVERIFY2(Enabled(*w, control), control);
    }

    void importThatAddsStationsEndsTheOffer() {
        WriteIni();
        auto w = Open();
        w->Targets().importConfig = [&](const TImportArgs& a, std::string& destination) {
            test::WriteStation(a.dataFolder, {5, "Import", ""});
            destination = a.dataFolder;
            return true;
        };
        recorder_->Answer(ResYes);
        w->show();
        QCOMPARE(recorder_->Count(), std::size_t{1});
        QCOMPARE(w->windowTitle(), QString("Kiv - 00005 Import"));
    }

    void aboutBoxShowsTheVersion() {
        TFOProgramie about;
        QVERIFY(about.VersionLabel()->text().startsWith("Wersja "));
        QVERIFY(about.VersionLabel()->text().size() > 7);
        QVERIFY(about.LinkLabel()->openExternalLinks());
        QVERIFY(about.LinkLabel()->text().contains(kMakerWebAddress));
    }

    void nodeImagesAreDistinct() {
        std::vector<QImage> images;
        for (int kind : {0, 1, 5, 6, 7, 8, 9}) images.push_back(KindPixmap(kind).toImage());
        for (int tick : {TickClear, TickPartly, TickTicked}) images.push_back(TickPixmap(tick).toImage());
        for (std::size_t i = 0; i < images.size(); ++i)
            for (std::size_t j = i + 1; j < images.size(); ++j) QVERIFY(images[i] != images[j]);
    }

    // Saves a picture of the main window for a person to look at.
    void screenshot() {
        WriteSampleData();
        for (int a = 20; a < 32; ++a)
            test::WriteStation(data_, {a, "Stacja pomiarowa " + std::to_string(a), a % 3 ? "Zachód" : "", a % 4 != 0,
                                       a % 2 == 0, a % 5 == 0});
        WriteIni();
        auto w = Open();
        w->show();
        Click(*w, "Północ", true);
        Click(*w, "00004 Delta", true);
        Click(*w, "00003 Gamma");
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        QVERIFY(w->grab().save(folder + "/main_window.png"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
