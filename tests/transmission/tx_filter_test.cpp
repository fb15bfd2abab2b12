// The archive filter window: ticks from the station file, the three mark
// buttons, and what "OK" and "Anuluj" leave in the file.
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <iterator>

#include "common/param_item.h"
#include "support/message_recorder.h"
#include "transmission/tx_filter.h"

using namespace kiv;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<TTxFilterEntry> ThreeArchives() {
    return {{"Vn", "Objętość normalna", true}, {"Vb", "Objętość robocza", true}, {"T", "Temperatura gazu", true}};
}

std::vector<Qt::CheckState> Ticks(const TFTxFilter& window) {
    std::vector<Qt::CheckState> ticks;
    for (int row = 0; row < window.List()->count(); ++row)
        ticks.push_back(window.List()->item(row)->checkState());
    return ticks;
}

const std::vector<Qt::CheckState> kAllTicked(3, Qt::Checked);
const std::vector<Qt::CheckState> kNoneTicked(3, Qt::Unchecked);

} // namespace

class TxFilterTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::string station_;
    const std::string kStationText = "[Station]\r\nLabel=Stacja 12\r\n; uwagi\r\n";

private slots:
    void init() {
        station_ = dir_.filePath("00012.INI").toStdString();
        std::ofstream(station_, std::ios::binary) << kStationText;
    }

    void noSectionTicksAllAndOkWritesNothing() {
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QCOMPARE(window.windowTitle(), QString("Filtr - Stacja 12"));
        QCOMPARE(window.List()->item(0)->text(), QString("Vn - Objętość normalna"));
        QVERIFY(Ticks(window) == kAllTicked);
        QTest::mouseClick(window.OkButton(), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(ReadAll(station_), kStationText);
    }

    void okWithoutChangesCreatesNoFile() {
        const std::string missing = dir_.filePath("00013.INI").toStdString();
        TFTxFilter window;
        window.Setup(missing, "Stacja 13", ThreeArchives());
        window.show();
        QTest::mouseClick(window.OkButton(), Qt::LeftButton);
        QVERIFY(!QFile::exists(QString::fromStdString(missing)));
    }

    void invertOnAllTickedUnticksAll() {
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QTest::mouseClick(window.InvertButton(), Qt::LeftButton);
        QVERIFY(Ticks(window) == kNoneTicked);
        QTest::mouseClick(window.OkButton(), Qt::LeftButton);
        for (const char* name : {"Vn", "Vb", "T"})
            QVERIFY2(!Wanted(station_, name), name);
        const std::string text = ReadAll(station_);
        QVERIFY(text.find("; uwagi") != std::string::npos);
        QVERIFY(text.find("[TxFilter]") != std::string::npos);
    }

    void ticksComeFromTheSection() {
        std::ofstream(station_, std::ios::binary | std::ios::app) << "[txfilter]\r\nvn=no\r\nVb=yes\r\n";
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        QVERIFY((Ticks(window) == std::vector<Qt::CheckState>{Qt::Unchecked, Qt::Checked, Qt::Checked}));
    }

    // Short names come from the profile as bytes. Windows-1250 names, also one
    // that happens to be valid UTF-8 ("DÓŁ"), keep keys of their own letters,
    // and the read-out's Wanted() sees the ticks the window saved.
    void windows1250NamesKeepTheirTicks() {
        const std::vector<TTxFilterEntry> entries = {{"D\xD3\xA3", "Dół", true}, {"Obj\xEA", "Objętość", true}};
        TTxFilterList list;
        list.Load(station_, entries);
        list.UncheckAll();
        QCOMPARE(list.Save(), 0);
        const std::string text = ReadAll(station_);
        QVERIFY2(text.find("DÓŁ=NO") != std::string::npos, text.c_str());
        QVERIFY2(text.find("Obję=NO") != std::string::npos, text.c_str());
        for (const TTxFilterEntry& entry : entries) QVERIFY(!Wanted(station_, entry.shortName));
        list.Load(station_, entries);
        for (const TTxFilterEntry& entry : list.Entries()) QVERIFY(!entry.checked);
    }

    void markButtonsAndClicks() {
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QTest::mouseClick(window.UncheckAllButton(), Qt::LeftButton);
        QVERIFY(Ticks(window) == kNoneTicked);
        QTest::mouseClick(window.CheckAllButton(), Qt::LeftButton);
        QVERIFY(Ticks(window) == kAllTicked);
        window.List()->item(1)->setCheckState(Qt::Unchecked); // as a click on the item does
        QVERIFY(window.Filter().Changed());
        QTest::mouseClick(window.OkButton(), Qt::LeftButton);
        // Every item is written, the unchanged ones too.
        const std::string text = ReadAll(station_);
        QVERIFY(text.find("Vn=YES") != std::string::npos);
        QVERIFY(text.find("Vb=NO") != std::string::npos);
        QVERIFY(text.find("T=YES") != std::string::npos);
    }

    void checkAllOnTickedListStillCountsAsChange() {
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QTest::mouseClick(window.CheckAllButton(), Qt::LeftButton);
        QVERIFY(window.Filter().Changed());
    }

    void cancelWithChangesAsks() {
        MessageRecorder messages;
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QTest::mouseClick(window.InvertButton(), Qt::LeftButton);

        messages.Answer(ResNo);
        QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
        QCOMPARE(messages.Count(), std::size_t(1));
        QCOMPARE(messages.Last().text, std::string("Czy porzucić zmiany?"));
        QCOMPARE(messages.Last().caption, std::string("Filtr"));
        QCOMPARE(messages.Last().buttons, unsigned(BtnYes | BtnNo));
        QVERIFY(window.isVisible());

        messages.Answer(ResYes);
        window.close(); // the title bar asks the same way
        QCOMPARE(messages.Count(), std::size_t(2));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(ReadAll(station_), kStationText);
    }

    void cancelWithoutChangesAsksNothing() {
        MessageRecorder messages;
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", ThreeArchives());
        window.show();
        QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
        QCOMPARE(messages.Count(), std::size_t(0));
        QVERIFY(!window.isVisible());
    }

    void archiveListOfAProfile() {
        auto item = [](const char* shortName, const char* fullName, int hour, int day) {
            return test::MakeItem({.shortName = shortName, .hour = hour, .day = day, .fullName = fullName});
        };
        const std::vector<TParamItem> items = {item("Vn", "Objętość", 0, -1), item("p", "Ciśnienie", -1, -1),
                                               item("Vd", "Dobowa", -1, 3), item("T", "Temperatura", 2, 2)};
        TFTxFilter window;
        window.Setup(station_, "Stacja 12", items);
        QCOMPARE(window.List()->count(), 3);
        QCOMPARE(window.List()->item(1)->text(), QString("Vd - Dobowa"));
        QCOMPARE(window.List()->item(2)->text(), QString("T - Temperatura"));
    }
};

QTEST_MAIN(TxFilterTest)
#include "tx_filter_test.moc"
