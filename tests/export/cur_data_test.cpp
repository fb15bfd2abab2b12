// The current data view: loading with its failure messages, the rows of a
// group with the composed volume, and the window showing them.
#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "common/save_shot.h"
#include "cur_data_fixture.h"
#include "export/cur_data.h"
#include "support/message_recorder.h"

using namespace kiv;

namespace {

TCurDataSource Source(const test::CurDataFolder& folder, const std::string& profile = "KM-100") {
    return {folder.data, test::CurDataFolder::kAddress, {"KM-200", "KM-100"}, {"KM200.FCP", "KM100.FCP"}, profile};
}

QStringList Column(const std::vector<TCurDataRow>& rows, int column) {
    QStringList out;
    for (const TCurDataRow& row : rows)
        out << QString::fromStdString(column == 0 ? row.name : column == 1 ? row.unit : row.value);
    return out;
}

} // namespace

class CurDataTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::CurDataFolder> folder_;
    std::unique_ptr<MessageRecorder> recorder_;

    TCurDataSet Loaded() {
        TCurDataSet set;
        if (LoadCurData(Source(*folder_), set) != CurDataLoaded) qFatal("current data did not load");
        return set;
    }

private slots:
    void init() {
        folder_ = std::make_unique<test::CurDataFolder>();
        recorder_ = std::make_unique<MessageRecorder>();
        QVERIFY(folder_->WriteProfile());
        QVERIFY(folder_->WriteFcc());
    }
    void cleanup() {
        recorder_.reset();
        folder_.reset();
    }

    void loadingKeepsCompactedItemsAndGroups() {
        const TCurDataSet set = Loaded();
        QCOMPARE(set.items.size(), std::size_t{4});
        for (int i = 0; i < 4; ++i) QCOMPARE(set.items[std::size_t(i)].ParamNumber(), i + 1);
        QCOMPARE(set.groupNames, (std::vector<std::string>{"LICZ", "POM"}));
        QCOMPARE(set.groupCaptions, (std::vector<std::string>{"Liczniki", "Pomiary"}));
        QCOMPARE(set.time, test::CurDataFolder::kTime);
    }

    void groupRowsWithComposedVolume_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("vn0");
        QTest::addColumn<int>("vn1");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("volumeRow"); // -1: none
        QTest::newRow("mode 0 adds nothing") << 0 << 0 << 2 << "LICZ" << QStringList{"1234", "56", ""} << -1;
        QTest::newRow("mode 1") << 1 << 0 << 2 << "LICZ" << QStringList{"1234", "56", "561234", ""} << 2;
        QTest::newRow("mode 2") << 2 << 0 << 2 << "LICZ" << QStringList{"1234", "56", "5601234", ""} << 2;
        QTest::newRow("counters swapped: after the later row")
            << 1 << 2 << 0 << "LICZ" << QStringList{"1234", "56", "12340056", ""} << 2;
        QTest::newRow("not in a group without both counters") << 1 << 0 << 2 << "POM" << QStringList{"1.5"} << -1;
        QTest::newRow("index is a position among all items, not a row of the group")
            << 1 << 0 << 1 << "LICZ" << QStringList{"1234", "56", ""} << -1;
        QTest::newRow("invalid value as a counter") << 1 << 0 << 3 << "LICZ" << QStringList{"1234", "56", ""} << -1;
        QTest::newRow("mode 3 is unknown") << 3 << 0 << 2 << "LICZ" << QStringList{"1234", "56", ""} << -1;
    }
    void groupRowsWithComposedVolume() {
        QFETCH(int, mode);
        QFETCH(int, vn0);
        QFETCH(int, vn1);
        QFETCH(QString, group);
        QFETCH(QStringList, values);
        QFETCH(int, volumeRow);
        const auto rows = GroupRows(Loaded(), group.toStdString(), {mode, vn0, vn1});
        QCOMPARE(Column(rows, 2), values);
        for (int r = 0; r < int(rows.size()); ++r) {
            const bool isVolume = rows[std::size_t(r)].name.starts_with("objętość w warunkach normalnych");
            QCOMPARE(isVolume, r == volumeRow);
        }
        if (volumeRow >= 0) {
            const TCurDataRow& row = rows[std::size_t(volumeRow)];
            QCOMPARE(row.unit, std::string("m3"));
            QCOMPARE(row.name, std::string(mode == 1 ? "objętość w warunkach normalnych: Vn0+Vn1*10000"
                                                     : "objętość w warunkach normalnych: Vn0+Vn1*100000"));
        }
    }

    void rowsCarryNamesAndUnitsFromTheProfile() {
        const auto rows = GroupRows(Loaded(), "LICZ", {});
        QCOMPARE(Column(rows, 0), (QStringList{"Parametr Vn0", "Parametr Vn1", "Parametr t"}));
        QCOMPARE(Column(rows, 1), (QStringList{"m3", "m3", "°C"}));
    }

    void composedVolumeRules() {
        std::string text;
        QVERIFY(ComposedVolume(1, 99999999, 99999999, text));
        QCOMPARE(text, std::string("1000099989999")); // 15 digits hold it whole
        QVERIFY(!ComposedVolume(1, -1, 5, text));
        QVERIFY(!ComposedVolume(2, 5, -1, text));
        QVERIFY(!ComposedVolume(0, 5, 5, text));
        double number = 0;
        QVERIFY(ValueNumber(" 12,5 ", number));
        QCOMPARE(number, 12.5);
        QVERIFY(!ValueNumber("", number));
        QVERIFY(!ValueNumber("12x", number));
    }

    void failuresShowTheirMessage_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << "no fcc" << "Brak poprawnego zbioru danych bieżących";
        QTest::newRow("damaged file") << "bad fcc" << "Brak poprawnego zbioru danych bieżących";
        QTest::newRow("profile not in the catalogue")
            << "unknown profile" << "Brak profilu urządzenia \"KM-300\" w folderze programu";
        QTest::newRow("profile unreadable") << "bad profile" << "Błąd odczytu profilu";
        QTest::newRow("read with another profile") << "other" << "Dane bieżące odczytano innym profilem";
    }
    void failuresShowTheirMessage() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        std::string profile = "KM-100";
        const std::string fcc = FccFileName(folder_->data, test::CurDataFolder::kAddress);
        if (damage == "no fcc") std::filesystem::remove(fcc);
        if (damage == "bad fcc") std::filesystem::resize_file(fcc, std::filesystem::file_size(fcc) - 3);
        if (damage == "unknown profile") profile = "KM-300";
        if (damage == "bad profile") std::filesystem::resize_file(folder_->program + "KM100.FCP", 30);
        if (damage == "other") QVERIFY(folder_->WriteFcc("KM-200"));
        TFCurData window;
        QVERIFY(!window.Setup(Source(*folder_, profile), {}));
        QVERIFY(recorder_->Count() >= 1);
        QCOMPARE(QString::fromStdString(recorder_->Last().text), message);
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
    }

    void windowShowsGroupsAndSizesColumns() {
        TFCurData window;
        QVERIFY(window.Setup(Source(*folder_), {1, 0, 2}));
        QCOMPARE(window.windowTitle(), QString("Dane bieżące - 2023-11-14 01:02:03"));
        QComboBox* combo = window.GroupCombo();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentText(), QString("Liczniki"));
        QTableWidget* grid = window.Grid();
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("Wartość"));
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->item(2, 2)->text(), QString("561234"));
        combo->setCurrentIndex(1);
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->item(0, 0)->text(), QString("Parametr p"));
        QCOMPARE(grid->item(0, 1)->text(), QString("bar"));

        window.resize(823, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int room = grid->width() - 23;
        QCOMPARE(grid->columnWidth(0), qRound(room * 0.6));
        QCOMPARE(grid->columnWidth(1), qRound(room * 0.15));
        QCOMPARE(grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2), room);
        combo->setCurrentIndex(0);
        test::SaveShot(&window, "cur_data.png");
        QCOMPARE(recorder_->Count(), std::size_t{0});
    }

    // Too narrow for the usual shares, even narrower than allowed: every
    // value and every header stays whole, the names give way.
    void narrowWindowShowsValuesWhole() {
        TFCurData window;
        QVERIFY(window.Setup(Source(*folder_), {1, 0, 2}));
        window.resize(220, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* grid = window.Grid();
        for (int group : {0, 1}) {
            window.GroupCombo()->setCurrentIndex(group);
            const int room = grid->width() - 23;
            const QFontMetrics metrics(grid->font());
            // The text margins a cell keeps on both sides.
            const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
            QHeaderView* header = grid->horizontalHeader();
            int widest = header->sectionSizeHint(2);
            for (int r = 0; r < grid->rowCount(); ++r)
                widest = std::max(widest, metrics.horizontalAdvance(grid->item(r, 2)->text()) + margins);
            QVERIFY2(grid->columnWidth(2) >= widest, qPrintable(grid->item(0, 2)->text()));
            QVERIFY(grid->columnWidth(0) >= header->sectionSizeHint(0));
            QVERIFY(grid->columnWidth(1) >= header->sectionSizeHint(1));
            QVERIFY(grid->columnWidth(0) < qRound(room * 0.6));
            QCOMPARE(grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2), room);
        }
        window.GroupCombo()->setCurrentIndex(0);
        test::SaveShot(&window, "cur_data_narrow.png");
    }
};

QTEST_MAIN(CurDataTest)
#include "cur_data_test.moc"
