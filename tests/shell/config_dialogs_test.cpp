// The station configuration, the program settings, the modem profile editor
// and the station picker on generated data folders, each message answered
// by the recorder; the two settings dialogs reached from the main window;
// pictures of both for a person to look at.
#include "config/program_config.h"
#include "shell/browser.h"
#include "shell/cfg_progr.h"
#include "shell/cfg_stacji.h"
#include "shell/main_window.h"
#include "shell/model/station_picker.h"
#include "shell/startup.h"
#include "shell/station_tree_view.h"
#include "shell_test_util.h"
#include "support/gui/edit_txt.h"
#include "support/message_recorder.h"
#include "transmission/modem_prof.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

using namespace kiv;
namespace fs = std::filesystem;

namespace {

// Runs the step on the modal window as soon as one is open.
void WhenModal(const std::function<void(QWidget*)>& step) {
    QTimer::singleShot(0, qApp, [step] { step(QApplication::activeModalWidget()); });
}

template <class W> W* Child(const QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no %s", name);
    return w;
}

} // namespace

class ConfigDialogsTest : public QObject, test::DataFolderWindows {
    Q_OBJECT

    TStationArgs Args(int address) const {
        return {address, kivIni_, {"KM-100", "KM-200"}, {"KM100.FCP", "KM200.FCP"}, data_,
                StationFilePath(data_, address)};
    }
    void CheckMessage(const char* text, const char* caption, int kind, unsigned buttons) {
        QCOMPARE(recorder_->Last().text, std::string(text));
        QCOMPARE(recorder_->Last().caption, std::string(caption));
        QCOMPARE(recorder_->Last().kind, kind);
        QCOMPARE(recorder_->Last().buttons, buttons);
    }

private slots:
    void init() {
        OpenFolder();
        test::WriteText(kivIni_, "[Catalogues]\nDataPath=" + data_ +
                                     "\n[Modems]\nModemName1=Biuro\nModemPort1=COM2\nModemSpeed1=19200\n"
                                     "ModemName2=Teren\nModemInitString2=AT&F\nModemName3=Stary\n");
        test::WriteStation(data_, {12, "Kotłownia", "Północ"});
        test::WriteStation(data_, {13, "Łaźnia", "Północ", true, true});
        test::WriteStation(data_, {14, "Szkoła", "Północ"});
        test::WriteStation(data_, {20, "Huta", "NORD"});
        test::WriteText(StationBaseName(data_, 12) + "_2024_01_A.FCD", "archiwum");
        test::WriteText(StationFolderPath(data_, 12) + "/notes.txt", "notatki");
        StationDb().Build(data_);
    }
    void cleanup() { CloseFolder(); }

    void onlyTheSerialNumberIsWrittenAndOkAsksFirst() {
        const std::string file = StationFilePath(data_, 12);
        const std::string before = test::ReadText(file);
        TFCfgStacji w;
        w.Setup(Args(12));
        w.show();
        QVERIFY(!w.ApplyButton()->isEnabled());
        Child<QLineEdit>(w, "Edit_SerialNr")->setText("A-77");
        QVERIFY(w.ApplyButton()->isEnabled());
        recorder_->Answer(ResCancel);
        w.OkButton()->click();
        CheckMessage("Czy zapisać zmiany?", "Konfiguracja stacji", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
        QVERIFY(w.isVisible());
        QCOMPARE(test::ReadText(file), before);
        recorder_->Answer(ResYes);
        w.OkButton()->click();
        QVERIFY(!w.isVisible());
        std::string expected = before;
        expected.insert(expected.find("[Communication]"), "SerialNumber=A-77\n");
        QCOMPARE(test::ReadText(file), expected);
        QVERIFY(!w.TreeChanged());
        QCOMPARE(recorder_->Count(), std::size_t{2});
    }

    void changesAreDroppedOnlyWhenTheUserSaysSo() {
        TFCfgStacji w;
        w.Setup(Args(12));
        w.show();
        Child<QLineEdit>(w, "Edit_Label")->setText("Nowa");
        recorder_->Answer({ResNo, ResNo});
        w.OkButton()->click(); // Nie: the close check asks again, and Nie keeps the dialog
        CheckMessage("Czy porzucić zmiany?", "Konfiguracja stacji", MsgConfirmation, BtnYes | BtnNo);
        QVERIFY(w.isVisible());
        recorder_->Answer(ResYes);
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(recorder_->Count(), std::size_t{3});
        QCOMPARE(ReadStationEntry(StationFilePath(data_, 12), 12).label, std::string("Kotłownia"));
    }

    void aTakenAddressIsRefusedAndAFreeOneMovesTheFolder() {
        const std::string file = StationFilePath(data_, 12);
        const std::string before = test::ReadText(file);
        TFCfgStacji w;
        w.Setup(Args(12));
        Child<QLineEdit>(w, "Edit_Label")->setText("Kotłownia Nowa");
        Child<QSpinBox>(w, "AbNumSpin_NrAddr")->setValue(20);
        QVERIFY(!w.Apply());
        CheckMessage("Podany numer adresowy już istnieje", "Konfiguracja stacji", MsgWarning, BtnOk);
        QCOMPARE(test::ReadText(file), before);
        QVERIFY(!w.TreeChanged());

        // A folder of the address made since the list was read counts as taken.
        fs::create_directories(StationFolderPath(data_, 17));
        Child<QSpinBox>(w, "AbNumSpin_NrAddr")->setValue(17);
        QVERIFY(!w.Apply());
        QCOMPARE(recorder_->Last().text, std::string("Podany numer adresowy już istnieje"));
        QCOMPARE(test::ReadText(file), before);

        // A read-only file stops the move before anything moves; the keys
        // are written under the old address and the user is told.
        const std::string locked = StationFolderPath(data_, 12) + "/locked.txt";
        test::WriteText(locked, "");
        fs::permissions(locked, fs::perms::owner_read);
        Child<QSpinBox>(w, "AbNumSpin_NrAddr")->setValue(16);
        QVERIFY(!w.Apply());
        QCOMPARE(recorder_->Last().text, "Nie udało się przenieść plików stacji do folderu " + StationFolderPath(data_, 16));
        QCOMPARE(ReadStationEntry(file, 12).label, std::string("Kotłownia Nowa"));
        QVERIFY(w.TreeChanged());
        QCOMPARE(w.NodeText(), std::string("00012 Kotłownia Nowa"));
        QCOMPARE(Child<QSpinBox>(w, "AbNumSpin_NrAddr")->value(), 12);
        fs::remove(locked);

        Child<QSpinBox>(w, "AbNumSpin_NrAddr")->setValue(15);
        QVERIFY(w.Apply());
        QVERIFY(!fs::exists(StationFolderPath(data_, 12)));
        const std::string moved = StationFolderPath(data_, 15) + "/";
        QVERIFY(fs::exists(moved + "00015_2024_01_A.FCD"));
        QVERIFY(!fs::exists(moved + "notes.txt"));
        QCOMPARE(ReadStationEntry(moved + "00015.INI", 15).label, std::string("Kotłownia Nowa"));
        QVERIFY(w.TreeChanged());
        QCOMPARE(w.NodeText(), std::string("00015 Kotłownia Nowa"));
        QCOMPARE(StationDb().Stations()[0].address, std::uint16_t{13});
        QCOMPARE(StationDb().Stations()[2].address, std::uint16_t{15});
        QCOMPARE(StationDb().Find(12), -1);
        // A later save goes to the station's new file.
        Child<QLineEdit>(w, "Edit_TelNr")->setText("0221");
        QVERIFY(w.Apply());
        QCOMPARE(StationDb().TelephoneCount(), 2);
        QVERIFY(test::ReadText(moved + "00015.INI").find("TelephoneNumber=0221") != std::string::npos);
    }

    // Values the controls cannot show: a profile not in the catalogue and a
    // group in another letter case show as they are; port, speed and parity
    // show their first item or 9600, times and indexes the nearest limit.
    // Each is saved as read until the user changes its control. The
    // connection type and the counter calculation decide which fields show.
    void openingShowsTheFileAndKeepsWhatTheListsLack() {
        const std::string file = StationFilePath(data_, 12);
        test::WriteText(file, "[Main]\nLabel=K\nGroupLabel=nord\n[Hardware]\nDeviceProfile=Zniknął\n"
                              "[Communication]\nModemProfile=Teren\nConnType=UDP\nComNumber=/dev/ttyUSB0\n"
                              "BaudRate=12345\nParity=Xyz\nIPAddr=10.0.0.7\nPortRemote=4001\nStartTimeout=20000\n"
                              "CharsTimeout=10\n[Calculations]\nCalcVn0Index=12000\nCalcVn1Index=-1\n");
        TFCfgStacji w;
        w.Setup(Args(12));
        w.show();
        QCOMPARE(Child<QComboBox>(w, "ComboBox_GrpLbl")->currentText(), QString("nord"));
        QCOMPARE(Child<QComboBox>(w, "ComboBox_DevProf")->currentIndex(), -1);
        QCOMPARE(Child<QComboBox>(w, "ComboBox_ModProf")->currentText(), QString("Teren"));
        QCOMPARE(Child<QComboBox>(w, "ComboBox_ComNr")->currentText(), QString("COM1"));
        QCOMPARE(Child<QComboBox>(w, "ComboBox_ComSpd")->currentText(), QString("9600"));
        QCOMPARE(Child<QComboBox>(w, "ComboBox_ComPar")->currentText(), QString("None"));
        QCOMPARE(Child<QSpinBox>(w, "AbNumSpin_DelayAnswer")->value(), 10000);
        QVERIFY(Child<QWidget>(w, "Edit_IP")->isVisible());
        QVERIFY(Child<QWidget>(w, "AbNumSpin_PortLocal")->isVisible());
        QVERIFY(!Child<QWidget>(w, "ComboBox_ComNr")->isVisible());
        QVERIFY(!Child<QWidget>(w, "CheckBox_ComDTR")->isVisible());
        QVERIFY(Child<QWidget>(w, "ComboBox_ConnType")->isVisible());
        Child<QComboBox>(w, "ComboBox_ConnType")->setCurrentText("TCP");
        QVERIFY(!Child<QWidget>(w, "AbNumSpin_PortLocal")->isVisible());
        QVERIFY(Child<QWidget>(w, "AbNumSpin_PortRemote")->isVisible());
        QVERIFY(!Child<QWidget>(w, "AbNumSpin_IndexVn0")->isVisible());
        Child<QComboBox>(w, "ComboBox_CalcCounter")->setCurrentIndex(2);
        QVERIFY(Child<QWidget>(w, "AbNumSpin_IndexVn0")->isVisible());
        QVERIFY(Child<QWidget>(w, "AbNumSpin_IndexVn1")->isVisible());
        QVERIFY(w.ApplyButton()->isEnabled());
        Child<QComboBox>(w, "ComboBox_ModProf")->setCurrentIndex(0); // "<brak>"
        QVERIFY(w.Apply());
        TRekStacjiFull saved;
        ReadFullStationRecord(file, 12, saved);
        QCOMPARE(saved.DeviceProfile, std::string("Zniknął"));
        QCOMPARE(saved.GroupLabel, std::string("nord"));
        QCOMPARE(saved.ModemProfile, std::string());
        QCOMPARE(saved.CalcVnMode, 2);
        QCOMPARE(saved.ComNumber, std::string("/dev/ttyUSB0"));
        QCOMPARE(saved.BaudRate, std::string("12345"));
        QCOMPARE(saved.Parity, std::string("Xyz"));
        QCOMPARE(saved.StartTimeout, 20000);
        QCOMPARE(saved.CharsTimeout, 10);
        QCOMPARE(saved.CalcVn0Index, 12000);
        QCOMPARE(saved.CalcVn1Index, -1);
        QCOMPARE(saved.IPAddr, std::string("10.0.0.7"));
        QCOMPARE(saved.ConnType, std::string("TCP"));
        QCOMPARE(saved.PortRemote, std::string("4001"));
        QVERIFY(w.TreeChanged());
        // What the user sets is written, and only that.
        Child<QComboBox>(w, "ComboBox_ComNr")->setCurrentText("COM5");
        Child<QSpinBox>(w, "AbNumSpin_DelayAnswer")->setValue(9000);
        Child<QLineEdit>(w, "Edit_IP")->setText(" 192.168.1.20 ");
        Child<QSpinBox>(w, "AbNumSpin_PortRemote")->setValue(4002);
        QVERIFY(w.Apply());
        ReadFullStationRecord(file, 12, saved);
        QCOMPARE(saved.IPAddr, std::string("192.168.1.20"));
        QCOMPARE(saved.PortRemote, std::string("4002"));
        QCOMPARE(saved.ComNumber, std::string("COM5"));
        QCOMPARE(saved.StartTimeout, 9000);
        QCOMPARE(saved.CharsTimeout, 10);
        QCOMPARE(saved.BaudRate, std::string("12345"));
    }

    void renamingAGroupRewritesItsStationsAtOnce() {
        TFEditTxt prompt;
        TFModemProf editor;
        TFCfgProgr w(prompt, editor);
        w.Setup(kivIni_, data_);
        w.show();
        auto* list = Child<QListWidget>(w, "ListBox_Grp");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->item(1)->text(), QString("Północ"));
        list->setCurrentRow(1);
        // Differing from another group only in letter case, "nord" is a
        // group of its own, counted apart from "NORD".
        WhenModal([&](QWidget* modal) {
            QCOMPARE(modal, &prompt);
            QCOMPARE(prompt.windowTitle(), QString("Edycja nazwy grupy"));
            prompt.Edit()->setText("nord");
            prompt.OkButton()->click();
        });
        Child<QPushButton>(w, "Button_GrpEdytuj")->click();
        const auto checkRenamed = [this] {
            for (const int address : {12, 13, 14})
                QCOMPARE(ReadStationEntry(StationFilePath(data_, address), address).groupLabel, std::string("nord"));
            QCOMPARE(StationDb().Groups(), (std::vector<std::string>{"NORD", "nord"}));
            QCOMPARE(StationDb().GroupCounts(), (std::vector<int>{1, 3}));
        };
        checkRenamed();
        QCOMPARE(list->item(1)->text(), QString("nord"));
        QVERIFY(!w.ApplyButton()->isEnabled());
        w.CancelButton()->click();
        QVERIFY(!w.isVisible());
        QVERIFY(w.TreeChanged());
        checkRenamed();
        QCOMPARE(recorder_->Count(), std::size_t{0});

        // "Usuń" empties the shown list only; a new name equal to a group
        // without regard to case is refused, shown or not.
        w.Setup(kivIni_, data_);
        recorder_->Answer({ResYes, ResYes});
        Child<QPushButton>(w, "Button_GrpUsun")->click();
        CheckMessage("Usunąć grupę?", "Konfiguracja programu", MsgConfirmation, BtnYes | BtnNo);
        Child<QPushButton>(w, "Button_GrpUsun")->click();
        QCOMPARE(list->count(), 0);
        WhenModal([&](QWidget*) {
            QCOMPARE(prompt.windowTitle(), QString("Nazwa nowej grupy"));
            prompt.Edit()->setText("Nord");
            prompt.OkButton()->click();
        });
        Child<QPushButton>(w, "Button_GrpDodaj")->click();
        CheckMessage("Grupa o podanej nazwie już istnieje", "Konfiguracja programu", MsgWarning, BtnOk);
        QCOMPARE(list->count(), 0);
        QCOMPARE(StationDb().Groups().size(), std::size_t{2});
    }

    void theModemGridEndsInAnEmptyRowThatEndsTheSavedList() {
        TFEditTxt prompt;
        TFModemProf editor;
        TFCfgProgr w(prompt, editor);
        w.Setup(kivIni_, data_);
        w.show();
        auto* grid = Child<QTableWidget>(w, "StringGrid_Mod");
        QCOMPARE(grid->rowCount(), 4);
        // Each profile keeps its own values, an absent port showing as the modem windows use it.
        QCOMPARE(grid->item(1, 1)->text(), QString("AT&F"));
        QCOMPARE(grid->item(1, 2)->text(), QString("COM1"));
        QCOMPARE(grid->item(0, 3)->text(), QString("19200"));
        QVERIFY(w.ModemRows().back().Empty());
        grid->setCurrentCell(3, 0);
        QVERIFY(!Child<QPushButton>(w, "Button_ModEdytuj")->isEnabled());
        QVERIFY(!Child<QPushButton>(w, "Button_ModUsun")->isEnabled());

        WhenModal([&](QWidget* modal) {
            QCOMPARE(modal, &editor);
            QCOMPARE(editor.PortCombo()->currentText(), QString("COM1"));
            QCOMPARE(editor.SpeedCombo()->currentText(), QString("9600"));
            QVERIFY(!editor.OkButton()->isEnabled());
            editor.NameEdit()->setText("   ");
            QVERIFY(!editor.OkButton()->isEnabled());
            editor.NameEdit()->setText("Nowy");
            editor.PortCombo()->setCurrentText("COM128");
            editor.OkButton()->click();
        });
        Child<QPushButton>(w, "Button_ModDodaj")->click();
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->item(3, 0)->text(), QString("Nowy"));
        QVERIFY(w.ApplyButton()->isEnabled());
        grid->setCurrentCell(0, 0);
        recorder_->Answer({ResYes, ResYes});
        Child<QPushButton>(w, "Button_ModUsun")->click();
        CheckMessage("Usunąć profil modemu?", "Konfiguracja programu", MsgConfirmation, BtnYes | BtnNo);
        Child<QSpinBox>(w, "AbNumSpin_Shft")->setValue(-5);
        w.OkButton()->click();
        QVERIFY(!w.isVisible());

        const TProgramConfig saved = ReadProgramConfig(kivIni_);
        QCOMPARE(saved.modems, w.ModemRows());
        QCOMPARE(saved.modems.size(), std::size_t{4});
        QCOMPARE(saved.modems[2].port, std::string("COM128"));
        QCOMPARE(saved.hourShift, -5);
        QCOMPARE(saved.modemConnMaxTime, 15);
        const std::string text = test::ReadText(kivIni_);
        QVERIFY(text.find("ModemName4=\nModemInitString4=\nModemPort4=\nModemSpeed4=\n") != std::string::npos);
        QCOMPARE(TProgramSettings(kivIni_).ModemNames(), (std::vector<std::string>{"Teren", "Stary", "Nowy"}));
    }

    void theModemEditorCancelsAndFallsBack() {
        TFModemProf editor;
        TModemProfile profile{"Biuro", "ATZ", "COM999", "1234"};
        WhenModal([&](QWidget*) {
            QCOMPARE(editor.windowTitle(), QString("Edycja profilu modemu"));
            QCOMPARE(editor.PortCombo()->currentText(), QString("COM1"));
            QCOMPARE(editor.SpeedCombo()->currentText(), QString("9600"));
            QCOMPARE(editor.PortCombo()->count(), 128);
            QCOMPARE(editor.SpeedCombo()->count(), 11);
            editor.NameEdit()->setText("Inny");
            editor.CancelButton()->click();
        });
        QVERIFY(!editor.Execute(profile));
        QCOMPARE(profile.name, std::string("Biuro"));
    }

    void thePickerTicksFreeStationsOnly() {
        TStationTree tree;
        tree.Build(StationDb().Stations(), {"Suma@+00012+00013@0"}, true);
        std::vector<TTreeNode> nodes = tree.Roots();
        nodes[1].children[1].tick = TickPartly; // 00013, chosen already
        TFBrowser w;
        w.Setup(nodes);
        w.show();
        QCOMPARE(w.windowTitle(), QString("Wybór stacji"));
        for (const char* text : {"00012 Kotłownia", "00013 Łaźnia", "Północ", "Suma", "00020 Huta"}) {
            QTreeWidgetItem* item = w.ItemOf(text);
            QVERIFY2(item, text);
            QTest::mouseClick(w.Tree()->viewport(), Qt::LeftButton, {}, w.Tree()->visualItemRect(item).center());
        }
        QCOMPARE(TickedTexts(w.Nodes()), (std::vector<std::string>{"00020 Huta", "00012 Kotłownia"}));
        QCOMPARE(w.Nodes()[1].children[1].tick, int(TickPartly));
        QCOMPARE(w.Nodes()[1].tick, int(TickClear));
        w.OkButton()->click();
        QCOMPARE(TickedTexts(w.Nodes()).size(), std::size_t{2});
        w.Setup(w.Nodes());
        w.CancelButton()->click();
        QVERIFY(TickedTexts(w.Nodes()).empty());
        QCOMPARE(w.Nodes()[1].children[1].tick, int(TickClear));
    }

    // The main window's commands open the two dialogs; a saved station
    // change rebuilds the tree with the station's node selected, a saved
    // setting keeps the tree and its ticks.
    void theMainWindowOpensBothDialogs() {
        TStartupWindows windows = CreateStartupWindows(kivIni_, temp_->Folder());
        TF_Main& main = *windows.main;
        main.show();
        main.TreeView()->SelectRef(main.Tree().Find("00014 Szkoła"));
        WhenModal([&](QWidget* modal) {
            QCOMPARE(modal, windows.stationConfig);
            Child<QLineEdit>(*modal, "Edit_Label")->setText("Szkoła nr 2");
            recorder_->Answer(ResYes);
            windows.stationConfig->OkButton()->click();
        });
        main.CommandButton("BitBtn_ConfigFC")->click();
        QCOMPARE(main.windowTitle(), QString("Kiv - 00014 Szkoła nr 2"));
        QCOMPARE(main.NodeToReselect(), std::string("00014 Szkoła nr 2"));

        // A saved hour shift reaches the commands that hand it over.
        for (const char* text : {"00012 Kotłownia", "00020 Huta"}) main.ToggleNode(main.Tree().Find(text));
        const std::vector<std::string> ticked = main.StationSet().keys;
        QCOMPARE(ticked.size(), std::size_t{2});
        bool opened = false;
        WhenModal([&](QWidget* modal) {
            opened = modal == windows.programSettings;
            Child<QSpinBox>(*modal, "AbNumSpin_Shft")->setValue(4);
            recorder_->Answer(ResYes);
            windows.programSettings->OkButton()->click();
        });
        main.MenuAction("MnuUstawieniaprogramu")->trigger();
        QVERIFY(opened);
        QCOMPARE(main.StationSet().keys, ticked);
        std::optional<TPeriodArgs> report;
        main.Targets().choosePeriod = [](int, TimeStamp&, TimeStamp&) { return true; };
        main.Targets().dailyReport = [&](const TPeriodArgs& a) { report = a; };
        main.CommandButton("BitBtn_ReportD")->click();
        QVERIFY(report.has_value());
        QCOMPARE(report->hourShift, 4);
        QCOMPARE(report->keyLabels.size(), std::size_t{2});
    }

    void screenshots() {
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        TFCfgStacji station;
        station.Setup(Args(13));
        station.show();
        QVERIFY(QTest::qWaitForWindowExposed(&station));
        QVERIFY(station.grab().save(folder + "/config_station.png"));
        test::WriteText(StationFilePath(data_, 14), "[Main]\nLabel=Szkoła\n[Communication]\nConnType=UDP\n"
                                                    "IPAddr=10.0.0.7\nPortRemote=4001\n[Calculations]\nCalcVnMode=1\n");
        station.Setup(Args(14));
        QVERIFY(station.grab().save(folder + "/config_station_udp.png"));
        TFEditTxt prompt;
        TFModemProf editor;
        TFCfgProgr settings(prompt, editor);
        settings.Setup(kivIni_, data_);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QVERIFY(settings.grab().save(folder + "/config_program.png"));
        editor.Setup({"Biuro", "ATZ", "COM2", "19200"});
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(editor.grab().save(folder + "/config_modem_profile.png"));
    }
};

QTEST_MAIN(ConfigDialogsTest)
#include "config_dialogs_test.moc"
