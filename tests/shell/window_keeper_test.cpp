// Windows keep their place between runs: a window shown, moved, resized and
// closed comes back there when it is made again; a place off every screen
// comes back onto one; kept ticks come back too; only the program's own
// windows are kept, the message dialog never.
#include "common/temp_folder.h"
#include "export/cur_data.h"
#include "shell/main_window.h"
#include "shell/model/window_place.h"
#include "shell/window_keeper.h"
#include "support/gui/kept_tick.h"
#include "transmission/tx_filter.h"
#include "transmission/tx_progress.h"

#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

using namespace kiv;

namespace {

// A window of the program as the keeper sees one: named, with a kept tick and another tick.
class Proba : public QDialog {
public:
    explicit Proba(const char* name = "TFProba") : log(new QCheckBox("Log", this)), other(new QCheckBox("Inny", this)) {
        setObjectName(name);
        log->setObjectName("CheckBox_Log");
        other->setObjectName("CheckBox_Inny");
        KeepTickBetweenRuns(log);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(log);
        layout->addWidget(other);
        resize(250, 150);
    }
    QCheckBox* log;
    QCheckBox* other;
};

} // namespace

class WindowKeeperTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> temp_;
    std::unique_ptr<TWindowKeeper> keeper_;
    std::string ini_;

    static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

private slots:
    void init() {
        temp_ = std::make_unique<test::TempFolder>("kiv-keeper");
        ini_ = temp_->File("Kiv.ini");
        keeper_ = std::make_unique<TWindowKeeper>(ini_);
        qApp->installEventFilter(keeper_.get());
    }
    void cleanup() {
        keeper_.reset();
        temp_.reset();
    }

    void placeAndTickComeBackInTheNextRun() {
        const QPoint where = Screen().topLeft() + QPoint(37, 41);
        {
            Proba w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.move(where);
            w.resize(333, 222);
            w.log->setChecked(true);
            w.other->setChecked(true);
            w.close();
        }
        TPlace place;
        QVERIFY(ReadWindowPlace(ini_, "TFProba", place));
        QCOMPARE(place, (TPlace{where.x(), where.y(), 333, 222}));

        Proba w;
        w.show();
        QCOMPARE(w.pos(), where);
        QCOMPARE(w.size(), QSize(333, 222));
        QVERIFY(w.log->isChecked());
        QVERIFY2(!w.other->isChecked(), "an unmarked tick starts as the window makes it");

        // Shown again in the same run, it stays where the user left it.
        w.move(where + QPoint(5, 6));
        w.hide();
        w.show();
        QCOMPARE(w.pos(), where + QPoint(5, 6));
    }

    void placeOffEveryScreenComesBackOntoOne() {
        QVERIFY(WriteWindowPlace(ini_, "TFProba", {-5000, 9000, 300, 200}));
        Proba w;
        w.show();
        QCOMPARE(w.size(), QSize(300, 200));
        QVERIFY(Screen().contains(QRect(w.pos(), w.size())));
    }

    void theProgramsWindowsAreKeptTheMessageDialogIsNot() {
        TF_Main main("", temp_->Folder());
        TFCurData curData;
        TFTxProgress progress;
        TFTxFilter filter;
        QCOMPARE(TWindowKeeper::WindowKey(&main), QString("TF_Main"));
        QCOMPARE(TWindowKeeper::WindowKey(&curData), QString("TFCurData"));
        QCOMPARE(TWindowKeeper::WindowKey(&progress), QString("TFTxProgress"));
        QCOMPARE(TWindowKeeper::WindowKey(&filter), QString("TFTxFilter"));
        QDialog qtDialog;
        QCOMPARE(TWindowKeeper::WindowKey(&qtDialog), QString());

        for (const char* name : {"TFPolMsg", "Wykres"}) {
            Proba w(name);
            w.show();
            w.close();
        }
        TPlace place;
        QVERIFY(!ReadWindowPlace(ini_, "TFPolMsg", place));
        QVERIFY(!ReadWindowPlace(ini_, "Wykres", place));
        QVERIFY(ReadWindowPlace(ini_, "TFProba", place) == false);
    }
};

QTEST_MAIN(WindowKeeperTest)
#include "window_keeper_test.moc"
