// Polish letters in every window: a working folder whose Kiv.ini and station
// file are Windows-1250 and whose station reads with the demo profile (its
// texts are Windows-1250 bytes too), read from kiv-devsim the way a user does
// it. Each window on the road is walked for every text it shows (title,
// labels, buttons, list, tree and table items, menu entries); none may hold
// the replacement character U+FFFD, and each shows the Polish text it should.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include <functional>

#include "common/save_shot.h"
#include "common/tree_click.h"
#include "export/cur_data.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "support/message_recorder.h"
#include "support/text_encoding.h"
#include "transmission/tx_filter.h"
#include "transmission/tx_init.h"
#include "transmission/tx_init_fixture.h"
#include "transmission/tx_progress.h"

using namespace kiv;

namespace {

constexpr const char* kLabel = "Stacja Świętochłowice";
constexpr const char* kNode = "00012 Stacja Świętochłowice";

void WriteCp1250(const std::string& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << Utf8ToCp1250(text);
}

void AddTable(QStringList& texts, const QTableWidget* table) {
    for (int c = 0; c < table->columnCount(); ++c)
        if (const QTableWidgetItem* header = table->horizontalHeaderItem(c)) texts << header->text();
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
            if (const QTableWidgetItem* item = table->item(r, c)) texts << item->text();
}

// Everything the window and its children show as text.
QStringList Texts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (const QLabel* w : window->findChildren<QLabel*>()) texts << w->text();
    for (const QAbstractButton* w : window->findChildren<QAbstractButton*>()) texts << w->text();
    for (const QLineEdit* w : window->findChildren<QLineEdit*>()) texts << w->text();
    for (const QGroupBox* w : window->findChildren<QGroupBox*>()) texts << w->title();
    for (const QAction* a : window->findChildren<QAction*>()) texts << a->text();
    for (const QComboBox* w : window->findChildren<QComboBox*>())
        for (int i = 0; i < w->count(); ++i) texts << w->itemText(i);
    for (const QListWidget* w : window->findChildren<QListWidget*>())
        for (int i = 0; i < w->count(); ++i) texts << w->item(i)->text();
    for (QTreeWidget* w : window->findChildren<QTreeWidget*>())
        for (QTreeWidgetItemIterator it(w); *it; ++it)
            for (int c = 0; c < (*it)->columnCount(); ++c) texts << (*it)->text(c);
    for (const QTableWidget* w : window->findChildren<QTableWidget*>()) AddTable(texts, w);
    return texts;
}

// The current data window shows one group at a time: every group is walked.
QStringList CurDataTexts(TFCurData* view) {
    QStringList texts;
    auto* groups = view->findChild<QComboBox*>("ComboBox_Typ");
    for (int i = 0; groups && i < groups->count(); ++i) {
        groups->setCurrentIndex(i);
        texts << Texts(view);
    }
    return texts;
}

QStringList FilterTexts(TFTxFilter* filter) {
    test::SaveShot(filter, "filter-window.png");
    return Texts(filter);
}

// Runs the click that opens a modal window and walks that window before closing it.
template <typename Window>
QStringList ModalTexts(QObject* context, const std::function<void()>& open,
                       const std::function<QStringList(Window*)>& walk) {
    QStringList texts;
    QTimer::singleShot(0, context, [&] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) return;
        texts = walk(window);
        window->close();
    });
    open();
    return texts;
}

} // namespace

class TextWalkTest : public QObject {
    Q_OBJECT

private slots:
    void noWindowShowsABrokenLetter() {
        test::TxFolder folder;
        MessageRecorder recorder;
        test::Simulator sim;
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        WriteCp1250(folder.KivIni(), "[Catalogues]\r\nDataPath=" + folder.Data() + "\r\n[Ports]\r\nCOM1=" + sim.Port() +
                                         "\r\n; Ustawienia programu - źródło\r\n");
        folder.WriteStation(); // the station folder; its file is then rewritten in Windows-1250
        WriteCp1250(folder.StationFile(), std::string("[Main]\r\nLabel=") + kLabel +
                                              "\r\nGroupLabel=Sieć Żary\r\n[Hardware]\r\nDeviceProfile=" +
                                              test::kProfileName +
                                              "\r\n[Communication]\r\nComNumber=COM1\r\nBaudRate=115200\r\n"
                                              "Repeats=2\r\nStartTimeout=1000\r\nCharsTimeout=100\r\n");

        TStartupWindows windows = CreateStartupWindows(folder.KivIni(), folder.Root());
        TF_Main& main = *windows.main;
        main.show();
        auto* txInit = main.findChild<TFTxInit*>();
        auto* progress = main.findChild<TFTxProgress*>();
        QVERIFY(txInit && progress);
        QVERIFY2(test::ClickNode(main, kNode), kNode);

        const struct {
            const char* window;
            std::function<QStringList()> walk;
            QString shows; // a text the window shows, Polish letters included
        } rows[] = {
            {"main window", [&] { return Texts(&main); }, "Sieć Żary"},
            {"direct transmission",
             [&] {
                 main.CommandButton("BitBtn_TxData")->click();
                 return Texts(txInit);
             },
             kLabel},
            {"archive filter",
             [&] {
                 return ModalTexts<TFTxFilter>(this, [&] { txInit->FilterButton()->click(); }, FilterTexts);
             },
             "Vn - Objętość w warunkach normalnych"},
            {"transmission progress",
             [&] {
                 txInit->OkButton()->click();
                 const QStringList texts = Texts(progress);
                 progress->ExitButton()->click();
                 return texts;
             },
             "Przyrost objętości w warunkach normalnych"},
            {"current data",
             [&] {
                 return ModalTexts<TFCurData>(this, [&] { main.CommandButton("BitBtn_CurData")->click(); },
                                              CurDataTexts);
             },
             "Ciśnienie absolutne"},
        };
        for (const auto& row : rows) {
            const QStringList texts = row.walk();
            for (const QString& text : texts)
                QVERIFY2(!text.contains(QChar(0xFFFD)), qPrintable(QString(row.window) + ": " + text));
            QVERIFY2(texts.contains(row.shows), row.window);
        }
        QTRY_VERIFY(!txInit->Busy());
        for (QWidget* window : QApplication::topLevelWidgets())
            for (const QString& text : Texts(window))
                QVERIFY2(!text.contains(QChar(0xFFFD)), qPrintable(window->objectName() + ": " + text));
        QCOMPARE(recorder.Count(), std::size_t{0});
    }
};

QTEST_MAIN(TextWalkTest)
#include "text_walk_test.moc"
