#include "modal_helper.h"
#include "support/gui/pol_msg.h"
#include "support/message_recorder.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <cstdlib>

using namespace kiv;

namespace {

QStringList CaptionsOf(const TFPolMsg &box) {
    QStringList captions;
    for (const QPushButton *b : box.Buttons())
        captions << b->text();
    return captions;
}

int HalfScreen() {
    return QGuiApplication::primaryScreen()->geometry().width() / 2;
}

// Sends a key where a user's key would go: the focused widget of the box.
void Press(TFPolMsg &box, Qt::Key key) {
    QWidget *target = box.focusWidget() ? box.focusWidget() : &box;
    QTest::keyClick(target, key);
}

} // namespace

class PolMsgTest : public QObject {
    Q_OBJECT
  private slots:
    void buttonsAndKeys_data();
    void buttonsAndKeys();
    void everyButtonInOrder();
    void kindCaptionsAndIcons();
    void boxStaysWithinHalfTheScreen_data();
    void boxStaysWithinHalfTheScreen();
    void centredWithIconLeftOfText();
    void closingWithoutEscapeButton();
    void helpButtonDoesNotClose();
    void sinkShowsTheBoxModally();
    void recorderStandsInForTheBox();
};

void PolMsgTest::buttonsAndKeys_data() {
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("onEnter");
    QTest::addColumn<int>("onEscape"); // kUnanswered: Escape leaves the box open

    QTest::newRow("OK") << unsigned(BtnOk) << QStringList{"&OK"} << int(ResOk) << int(ResOk);
    QTest::newRow("Tak+Nie") << unsigned(BtnYes | BtnNo) << QStringList{"&Tak", "&Nie"} << int(ResYes)
                             << int(ResNo);
    QTest::newRow("OK+Anuluj") << unsigned(BtnOk | BtnCancel) << QStringList{"&OK", "&Anuluj"} << int(ResOk)
                               << int(ResCancel);
    QTest::newRow("Tak+Nie+Anuluj") << unsigned(BtnYes | BtnNo | BtnCancel)
                                    << QStringList{"&Tak", "&Nie", "&Anuluj"} << int(ResYes)
                                    << int(ResCancel);
    QTest::newRow("Przerwij+Ponów+Zaniechaj")
        << unsigned(BtnAbort | BtnRetry | BtnIgnore) << QStringList{"P&rzerwij", "Ponó&w", "&Zaniechaj"}
        << int(ResRetry) << test::kUnanswered;
    QTest::newRow("Ponów+Anuluj") << unsigned(BtnRetry | BtnCancel) << QStringList{"&Anuluj", "Ponó&w"}
                                  << int(ResRetry) << int(ResCancel);
    QTest::newRow("Tak+Wszystko+Nie żadne")
        << unsigned(BtnYes | BtnAll | BtnNoToAll) << QStringList{"&Tak", "&Wszystko", "N&ie żadne"}
        << int(ResYes) << test::kUnanswered;
}

void PolMsgTest::buttonsAndKeys() {
    QFETCH(unsigned, buttons);
    QFETCH(QStringList, captions);
    QFETCH(int, onEnter);
    QFETCH(int, onEscape);

    TFPolMsg box("", "Czy zapisać zmiany?", MsgConfirmation, buttons);
    QCOMPARE(CaptionsOf(box), captions);
    for (int bit = 0; bit < kButtonCount; ++bit) {
        QPushButton *b = box.Button(bit);
        QCOMPARE(b != nullptr, bool((buttons >> bit) & 1u));
        if (b)
            QCOMPARE(b->isDefault(), bit == DefaultButtonBit(buttons));
    }

    box.show();
    box.setResult(test::kUnanswered);
    Press(box, Qt::Key_Return);
    QCOMPARE(box.result(), onEnter);
    QVERIFY(!box.isVisible());

    box.show();
    box.setResult(test::kUnanswered);
    Press(box, Qt::Key_Escape);
    QCOMPARE(box.result(), onEscape);
    QCOMPARE(box.isVisible(), onEscape == test::kUnanswered);
}

void PolMsgTest::everyButtonInOrder() {
    TFPolMsg box("", "Wszystkie przyciski", MsgWarning, (1u << kButtonCount) - 1u);
    QStringList expected;
    for (int bit = 0; bit < kButtonCount; ++bit)
        expected << QString::fromUtf8(ButtonCaption(bit));
    QCOMPARE(CaptionsOf(box), expected);

    // Left to right, continuing on a further row only when the row is full.
    const auto &buttons = box.Buttons();
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        const QRect prev = buttons[i - 1]->geometry(), cur = buttons[i]->geometry();
        QVERIFY(cur.top() > prev.bottom() || (cur.top() == prev.top() && cur.left() > prev.right()));
    }
    box.show();
    box.Button(6)->click();
    QCOMPARE(box.result(), int(ResIgnore));
}

void PolMsgTest::kindCaptionsAndIcons() {
    const struct {
        int kind;
        const char *caption;
        bool icon;
    } cases[] = {
        {MsgWarning, "Ostrzeżenie", true},    {MsgError, "Błąd !", true},
        {MsgInformation, "Informacja", true}, {MsgConfirmation, "Potwierdzenie", true},
        {MsgApplication, "Kiv", false},
    };
    for (const auto &c : cases) {
        TFPolMsg box("", "Tekst", c.kind, BtnOk);
        QCOMPARE(box.windowTitle(), QString::fromUtf8(c.caption));
        QCOMPARE(box.Icon() != nullptr, c.icon);
        if (c.icon) {
            QCOMPARE(box.Icon()->size(), QSize(32, 32));
            QVERIFY(!box.Icon()->pixmap().isNull());
        }
    }
    TFPolMsg named("Eksport", "Tekst", MsgError, BtnOk);
    QCOMPARE(named.windowTitle(), QString("Eksport"));
}

void PolMsgTest::boxStaysWithinHalfTheScreen_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<unsigned>("buttons");
    QString words;
    for (int i = 0; i < 120; ++i)
        words += QStringLiteral("Nie można zapisać pliku ");
    QString path = QStringLiteral("/dane");
    for (int i = 0; i < 60; ++i)
        path += QStringLiteral("/FC_%1").arg(i, 5, 10, QLatin1Char('0'));

    QTest::newRow("short") << QStringLiteral("Brak danych") << unsigned(BtnOk);
    QTest::newRow("many words") << words << unsigned(BtnYes | BtnNo);
    QTest::newRow("one long path") << (QStringLiteral("Nie znaleziono pliku ") + path) << unsigned(BtnOk);
    QTest::newRow("every button") << QStringLiteral("?") << unsigned((1u << kButtonCount) - 1u);
}

void PolMsgTest::boxStaysWithinHalfTheScreen() {
    QFETCH(QString, text);
    QFETCH(unsigned, buttons);
    TFPolMsg box("", text, MsgError, buttons);
    QVERIFY2(box.width() <= HalfScreen(), qPrintable(QString::number(box.width())));

    // Everything inside the box, the text above every button, no button on another.
    const QRect client = box.rect();
    const QRect textRect = box.Text()->geometry();
    QVERIFY(client.contains(textRect));
    QVERIFY(textRect.height() >= box.fontMetrics().height());
    for (const QPushButton *b : box.Buttons()) {
        QVERIFY(client.contains(b->geometry()));
        QVERIFY(b->geometry().top() > textRect.bottom());
        for (const QPushButton *other : box.Buttons())
            if (other != b)
                QVERIFY(!b->geometry().intersects(other->geometry()));
    }
}

void PolMsgTest::centredWithIconLeftOfText() {
    TFPolMsg box("", "Stacja nie odpowiada", MsgWarning, BtnOk | BtnCancel);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centre = box.geometry().center();
    QVERIFY(std::abs(centre.x() - screen.center().x()) <= 1);
    QVERIFY(std::abs(centre.y() - screen.center().y()) <= 1);

    const QRect icon = box.Icon()->geometry(), text = box.Text()->geometry();
    QVERIFY(icon.right() < text.left());
    QCOMPARE(icon.top(), text.top());

    // A single row of buttons is centred: equal room on both sides.
    const int left = box.Buttons().front()->geometry().left();
    const int right = box.width() - 1 - box.Buttons().back()->geometry().right();
    QVERIFY(std::abs(left - right) <= 1);
    // Buttons at least 50 quarter widths wide, all alike.
    const QFontMetrics fm(box.font());
    const int avg = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
    QVERIFY(box.Buttons().front()->width() >= 50 * avg / 4);
    QCOMPARE(box.Buttons().front()->size(), box.Buttons().back()->size());
}

// Closing by the title bar answers like Escape; a box that has no Escape
// button but has buttons to choose from insists on a choice.
void PolMsgTest::closingWithoutEscapeButton() {
    TFPolMsg yesNo("", "?", MsgConfirmation, BtnYes | BtnNo);
    yesNo.show();
    QVERIFY(yesNo.close());
    QCOMPARE(yesNo.result(), int(ResNo));

    TFPolMsg retry("", "?", MsgError, BtnAbort | BtnRetry | BtnIgnore);
    QVERIFY(!(retry.windowFlags() & Qt::WindowCloseButtonHint));
    retry.show();
    QVERIFY(!retry.close());
    QVERIFY(retry.isVisible());
    retry.Button(4)->click();
    QCOMPARE(retry.result(), int(ResAbort));

    TFPolMsg bare("", "?", MsgInformation, 0);
    QVERIFY(bare.Buttons().empty());
    bare.show();
    bare.setResult(test::kUnanswered);
    QVERIFY(bare.close());
    QCOMPARE(bare.result(), int(ResNone));
}

void PolMsgTest::helpButtonDoesNotClose() {
    TFPolMsg box("", "?", MsgInformation, BtnOk | BtnHelp);
    box.show();
    box.Button(10)->click();
    QVERIFY(box.isVisible());
    Press(box, Qt::Key_Return);
    QCOMPARE(box.result(), int(ResOk));
}

void PolMsgTest::sinkShowsTheBoxModally() {
    QtMessageSink sink;
    IMessageSink *before = SetMessageSink(&sink);
    QString title, text;
    test::OnModal<TFPolMsg>([&](TFPolMsg *box) {
        title = box->windowTitle();
        text = box->Text()->text();
        box->Button(1)->click();
    });
    QCOMPARE(MessageDlg("", "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo), int(ResNo));
    QCOMPARE(title, QString("Potwierdzenie"));
    QCOMPARE(text, QString("Czy porzucić zmiany?"));

    test::OnModal<TFPolMsg>([](TFPolMsg *box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(MessageDlg("", "Przerwać odczyt?", MsgWarning, BtnOk | BtnCancel), int(ResCancel));
    SetMessageSink(before);
}

// While a recorder lives nothing is shown; afterwards the Qt sink is back.
void PolMsgTest::recorderStandsInForTheBox() {
    QtMessageSink sink;
    IMessageSink *before = SetMessageSink(&sink);
    {
        MessageRecorder recorder;
        recorder.Answer(ResCancel);
        QCOMPARE(MessageDlg("", "Zapisać?", MsgConfirmation, BtnOk | BtnCancel), int(ResCancel));
        QCOMPARE(MessageDlg("", "Gotowe", MsgInformation), int(ResOk));
        QCOMPARE(recorder.Count(), std::size_t(2));
    }
    test::OnModal<TFPolMsg>([](TFPolMsg *box) { box->Button(2)->click(); });
    QCOMPARE(MessageDlg("", "Gotowe", MsgInformation), int(ResOk));
    SetMessageSink(before);
}

QTEST_MAIN(PolMsgTest)
#include "pol_msg_test.moc"
