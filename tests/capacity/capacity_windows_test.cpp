// The definition window and the ordered capacity window on a small data
// folder, every message answered by the recorder: the stored formula shown
// cleaned, members added through the real station picker (chosen ones
// fixed, main-window ticks offered pre-ticked) and removed, the entry saved
// with its capacity and tariff set kept; the closing questions; and the
// pictures of both windows for a person to look at.
#include "capacity/moc_zamowiona.h"
#include "capacity/obl_def.h"

#include "config/program_settings.h"
#include "config/virtual_stations.h"
#include "shell/browser.h"
#include "shell/model/station_picker.h"
#include "shell/shell_test_util.h"
#include "support/message_recorder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

namespace kiv {

namespace {

// The main window's nodes, with the ticks it had, through the picker, the
// chosen members fixed by the picker model as the main window's start-up does.
TMemberPicker BrowserPicker(TFBrowser& browser, const TStationTree& tree) {
    return [&browser, &tree](const TMemberLists& chosen) {
        std::vector<TTreeNode> nodes =
            PickerNodes(tree.Roots(), [&chosen](const std::string& text) { return IsChosenMember(text, chosen); });
        browser.Execute(nodes);
        return TickedTexts(nodes);
    };
}

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int r = 0; r < list->count(); ++r) rows << list->item(r)->text();
    return rows;
}

} // namespace

class CapacityWindowsTest : public QObject, test::DataFolderWindows {
    Q_OBJECT

    TOblDefArgs Args(const std::string& label) const {
        return {kivIni_, data_, label, LookupSum(kivIni_, data_, label).formula};
    }

private slots:
    void init() {
        OpenFolder("kiv-capacity-windows");
        for (const auto& [address, label] :
             {std::pair{12, "Kotłownia"}, {13, "Szkoła"}, {14, "Łaźnia"}, {20, "Huta Północ"}})
            CreateStation(data_, address, label);
        StationDb().Build(data_);
        test::WriteText(kivIni_, "[" + VirtualSectionName(data_) + "]\nSum1=Bilans@12-20@150@Taryfa A\n" +
                                      "Sum2=Druga@+00013@0\n");
    }
    void cleanup() { CloseFolder(); }

    void definitionAddsThroughThePickerAndKeepsTheRest() {
        TStationTree tree;
        tree.Build(StationDb().Stations(), ReadSumEntries(kivIni_, data_), true);
        QVERIFY(tree.Toggle(tree.Find("00013 Szkoła"))); // ticked in the main window
        TFBrowser browser;
        TFOblDef w;
        w.SetPicker(BrowserPicker(browser, tree));
        w.Setup(Args("Bilans"));
        w.show();
        QCOMPARE(Rows(w.PlusList()), QStringList{"00012 Kotłownia"});
        QCOMPARE(Rows(w.MinusList()), QStringList{"00020 Huta Północ"});
        QCOMPARE(w.EntryNumber(), 1);
        QVERIFY(!w.UseButton()->isEnabled());

        std::vector<int> offered;
        QTimer::singleShot(0, &browser, [&browser, &offered] {
            for (const TTreeNode& node : browser.Nodes()) offered.push_back(node.tick);
            QTest::mouseClick(browser.Tree()->viewport(), Qt::LeftButton, {},
                              browser.Tree()->visualItemRect(browser.ItemOf("00014 Łaźnia")).center());
            browser.OkButton()->click();
        });
        w.AddButton(true)->click();
        // 00012 and 00020 are chosen already, 00013 comes ticked from the main window.
        QCOMPARE(offered, (std::vector<int>{TickPartly, TickTicked, TickClear, TickPartly, TickClear, TickClear}));
        QCOMPARE(Rows(w.PlusList()), (QStringList{"00012 Kotłownia", "00013 Szkoła", "00014 Łaźnia"}));
        QVERIFY(w.UseButton()->isEnabled());
        w.PlusList()->item(0)->setSelected(true);
        w.RemoveButton(true)->click();
        w.LabelEdit()->selectAll();
        QTest::keyClicks(w.LabelEdit(), "Bilans nowy");
        w.SetPicker({}); // were "Dodaj" pressed now, the window would stay open
        QTest::keyClick(w.LabelEdit(), Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QVERIFY(w.Saved());
        QCOMPARE(w.SavedLabel(), std::string("Bilans nowy"));
        QCOMPARE(ReadSumEntry(kivIni_, data_, 1), std::string("Bilans nowy@+00013+00014-00020@150@Taryfa A"));
        QCOMPARE(recorder_->Count(), std::size_t{0});
    }

    void definitionAsksOnlyWhenClosedOtherwise() {
        const std::string before = test::ReadText(kivIni_);
        TFOblDef w;
        w.Setup(Args("Druga"));
        w.show();
        w.LabelEdit()->setText("Bilans");
        w.CancelButton()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(recorder_->Count(), std::size_t{0});

        w.Setup(Args("Druga"));
        w.show();
        w.LabelEdit()->setText("Bilans");
        recorder_->Answer(ResYes);
        w.close(); // Tak saves as "OK" does; the label is another station's
        QCOMPARE(recorder_->Messages()[0].text, std::string("Zapamiętać zmiany?"));
        QCOMPARE(recorder_->Messages()[0].buttons, unsigned(BtnYes | BtnNo));
        QCOMPARE(recorder_->Last().text, std::string("Stacja wirtualna o nazwie \"Bilans\" już istnieje"));
        QVERIFY(w.isVisible());
        recorder_->Answer(ResNo);
        w.close();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Saved());
        QCOMPARE(test::ReadText(kivIni_), before);
    }

    void capacityOfAStationAndOfAVirtualStation() {
        const std::string file = StationFilePath(data_, 12);
        const std::string before = test::ReadText(file);
        TFMocZamowiona w;
        w.Setup({"00012 Kotłownia", data_, false, kivIni_});
        w.show();
        QCOMPARE(w.StationLabel()->text(), QString("Stacja: 00012 Kotłownia"));
        QCOMPARE(w.Field()->text(), QString());
        QTest::keyClicks(w.Field(), "75");
        w.CancelButton()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.Field()->text(), QString());
        QCOMPARE(test::ReadText(file), before);

        w.Setup({"00012 Kotłownia", data_, false, kivIni_});
        w.show();
        QTest::keyClicks(w.Field(), "1234567x");
        QCOMPARE(w.Field()->text(), QString("123456"));
        recorder_->Answer(ResYes);
        w.close();
        QCOMPARE(recorder_->Last().text, std::string("Zapamiętać wartość mocy ?"));
        QVERIFY(!w.isVisible());
        QCOMPARE(StationOrderedCapacity(file), 123456);

        w.Setup({"Druga", data_, true, kivIni_});
        w.show();
        QCOMPARE(w.Field()->text(), QString("0"));
        w.Field()->selectAll();
        QTest::keyClicks(w.Field(), "150");
        QTest::keyClick(w.Field(), Qt::Key_Return);
        QVERIFY(w.isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.OkButton()));
        QTest::keyClick(w.OkButton(), Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE(ReadSumEntry(kivIni_, data_, 2), std::string("Druga@+00013@150@"));
        QCOMPARE(recorder_->Count(), std::size_t{1});

        // A virtual node whose entry is gone: the value has nowhere to go, and "OK" says so.
        const std::string kept = test::ReadText(kivIni_);
        w.Setup({"Usunięta", data_, true, kivIni_});
        w.show();
        QTest::keyClicks(w.Field(), "80");
        w.OkButton()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(recorder_->Count(), std::size_t{2});
        QCOMPARE(recorder_->Last().text, "Stacja wirtualna \"Usunięta\" nie jest zdefiniowana w pliku " + kivIni_ +
                                             ". Moc zamówiona nie została zapisana.");
        QCOMPARE(test::ReadText(kivIni_), kept);
    }

    void screenshots() {
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        TFOblDef definition;
        definition.Setup(Args("Bilans"));
        definition.show();
        QVERIFY(QTest::qWaitForWindowExposed(&definition));
        QVERIFY(definition.grab().save(folder + "/capacity_definition.png"));
        TFMocZamowiona capacity;
        capacity.Setup({"Bilans", data_, true, kivIni_});
        capacity.show();
        QVERIFY(QTest::qWaitForWindowExposed(&capacity));
        QVERIFY(capacity.grab().save(folder + "/capacity_ordered.png"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::CapacityWindowsTest)
#include "capacity_windows_test.moc"
