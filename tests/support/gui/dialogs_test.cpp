#include "modal_helper.h"
#include "support/gui/edit_txt.h"
#include "support/gui/folder_chooser.h"
#include "support/gui/open_winds.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace kiv;

namespace {

// A window that may refuse to close, as one with unsaved changes would.
class Window : public QWidget {
  public:
    explicit Window(const QString &title, bool refuseClose = false) : refuse_(refuseClose) {
        setWindowTitle(title);
    }

  protected:
    void closeEvent(QCloseEvent *event) override {
        if (refuse_)
            event->ignore();
    }

  private:
    bool refuse_;
};

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void editTextOkReturnsTheEditedText();
    void editTextCancelEscapeAndCloseKeepTheInitialText();
    void openWindowsRegisterAndUnregister();
    void openWindowsForgetDestroyedWindows();
    void openWindowsCloseRefreshesTheList();
    void openWindowsShowBringsTheWindowBack();
    void openWindowsDoubleClickAndCancel();
    void folderChooserOffersOnlyFolders();
};

void DialogsTest::editTextOkReturnsTheEditedText() {
    QString title;
    test::OnModal<TFEditTxt>([&](TFEditTxt *d) {
        title = d->windowTitle();
        QCOMPARE(d->Edit()->text(), QString("Stacja 12"));
        QVERIFY(d->OkButton()->isDefault());
        d->Edit()->setText("Zbiorcza Północ");
        d->OkButton()->click();
    });
    QCOMPARE(TFEditTxt::EditText("Nazwa", "Stacja 12"), QString("Zbiorcza Północ"));
    QCOMPARE(title, QString("Nazwa"));

    // Enter in the field is "OK"; the instance is reused with fresh contents.
    TFEditTxt prompt;
    test::OnModal<TFEditTxt>([](TFEditTxt *d) {
        QTest::keyClicks(d->Edit(), "abc"); // typing replaces the selected initial text
        QTest::keyClick(d->Edit(), Qt::Key_Return);
    });
    QCOMPARE(prompt.Execute("Opis", "stary"), QString("abc"));
    test::OnModal<TFEditTxt>([](TFEditTxt *d) { d->OkButton()->click(); });
    QCOMPARE(prompt.Execute("Opis", "drugi"), QString("drugi"));
}

void DialogsTest::editTextCancelEscapeAndCloseKeepTheInitialText() {
    TFEditTxt prompt;
    test::OnModal<TFEditTxt>([](TFEditTxt *d) {
        d->Edit()->setText("zmienione");
        QCOMPARE(d->CancelButton()->text(), QString("Anuluj"));
        d->CancelButton()->click();
    });
    QCOMPARE(prompt.Execute("T", "pierwotne"), QString("pierwotne"));
    test::OnModal<TFEditTxt>([](TFEditTxt *d) {
        d->Edit()->setText("zmienione");
        QTest::keyClick(d->Edit(), Qt::Key_Escape);
    });
    QCOMPARE(prompt.Execute("T", "pierwotne"), QString("pierwotne"));
    test::OnModal<TFEditTxt>([](TFEditTxt *d) {
        d->Edit()->setText("zmienione");
        d->close();
    });
    QCOMPARE(prompt.Execute("T", "pierwotne"), QString("pierwotne"));
}

void DialogsTest::openWindowsRegisterAndUnregister() {
    TFOpenWinds list;
    QCOMPARE(list.windowTitle(), QString("Otwarte okna"));
    Window a("Raport dobowy"), b("Zdarzenia"), c("Wykres");
    list.RegisterWindow(&a);
    list.RegisterWindow(&b);
    list.RegisterWindow(&a);
    list.RegisterWindow(nullptr);
    QCOMPARE(list.Captions(), (QStringList{"Raport dobowy", "Zdarzenia"}));
    list.RegisterWindow(&c);
    QCOMPARE(list.IndexOf(&c), 2);

    for (int outside : {-1, -100, 3, 50})
        list.UnregisterWindow(outside);
    QCOMPARE(list.Count(), 3);
    list.UnregisterWindow(1);
    QCOMPARE(list.Captions(), (QStringList{"Raport dobowy", "Wykres"}));
    QCOMPARE(list.IndexOf(&b), -1);
    QCOMPARE(list.Window(1), static_cast<QWidget *>(&c));
    QCOMPARE(list.Window(2), nullptr);

    // Once unregistered, a window's end no longer concerns the list.
    list.RegisterWindow(&b);
    list.UnregisterWindow(list.IndexOf(&b));
    QCOMPARE(list.Count(), 2);

    QCOMPARE(&OpenWindows(), &OpenWindows());
}

void DialogsTest::openWindowsForgetDestroyedWindows() {
    TFOpenWinds list;
    auto first = std::make_unique<Window>("Pierwsze");
    auto second = std::make_unique<Window>("Drugie");
    Window third("Trzecie");
    list.RegisterWindow(first.get());
    list.RegisterWindow(second.get());
    list.RegisterWindow(&third);
    first.reset();
    QCOMPARE(list.Captions(), (QStringList{"Drugie", "Trzecie"}));

    // While the list is on screen it follows at once.
    list.show();
    QCOMPARE(list.List()->count(), 2);
    second.reset();
    QCOMPARE(list.List()->count(), 1);
    QCOMPARE(list.List()->item(0)->text(), QString("Trzecie"));
    list.hide();
}

void DialogsTest::openWindowsCloseRefreshesTheList() {
    TFOpenWinds list;
    Window a("A"), stubborn("Niezapisane", true), c("C");
    for (Window *w : {&a, &stubborn, &c}) {
        w->show();
        list.RegisterWindow(w);
    }
    list.show();
    QCOMPARE(list.List()->count(), 3);

    list.List()->setCurrentRow(1);
    list.CloseButton()->click();
    QVERIFY(stubborn.isVisible());
    QCOMPARE(list.List()->count(), 3);

    list.List()->setCurrentRow(2);
    list.CloseButton()->click();
    QVERIFY(!c.isVisible());
    QCOMPARE(list.Captions(), (QStringList{"A", "Niezapisane"}));
    QCOMPARE(list.List()->count(), 2);
    QVERIFY(list.List()->currentRow() >= 0);
    QVERIFY(list.isVisible());

    // A window deleted on close leaves the list too.
    auto *temporary = new Window("Wykres");
    temporary->setAttribute(Qt::WA_DeleteOnClose);
    temporary->show();
    list.RegisterWindow(temporary);
    list.List()->setCurrentRow(2);
    list.CloseButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(list.Captions(), (QStringList{"A", "Niezapisane"}));
    list.hide();
}

void DialogsTest::openWindowsShowBringsTheWindowBack() {
    TFOpenWinds list;
    Window a("A"), b("B");
    a.show();
    b.showMinimized();
    list.RegisterWindow(&a);
    list.RegisterWindow(&b);
    test::OnModal<TFOpenWinds>([](TFOpenWinds *d) {
        QCOMPARE(d->List()->count(), 2);
        d->List()->setCurrentRow(1);
        d->ShowButton()->click();
    });
    QCOMPARE(list.exec(), int(QDialog::Accepted));
    QVERIFY(b.isVisible());
    QVERIFY(!b.isMinimized());
    QCOMPARE(list.Count(), 2);
}

void DialogsTest::openWindowsDoubleClickAndCancel() {
    TFOpenWinds list;
    Window a("A"), b("B");
    list.RegisterWindow(&a);
    list.RegisterWindow(&b);
    test::OnModal<TFOpenWinds>([](TFOpenWinds *d) {
        QListWidget *l = d->List();
        const QPoint at = l->visualItemRect(l->item(0)).center();
        // A real double click begins with a click on the same item.
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    });
    QCOMPARE(list.exec(), int(QDialog::Accepted));
    QVERIFY(a.isVisible());
    QVERIFY(!b.isVisible());

    test::OnModal<TFOpenWinds>([](TFOpenWinds *d) { d->CancelButton()->click(); });
    QCOMPARE(list.exec(), int(QDialog::Rejected));
    QCOMPARE(list.Count(), 2);

    // Nothing listed: nothing to show or close.
    TFOpenWinds empty;
    test::OnModal<TFOpenWinds>([](TFOpenWinds *d) {
        QVERIFY(!d->ShowButton()->isEnabled());
        QVERIFY(!d->CloseButton()->isEnabled());
        d->CancelButton()->click();
    });
    QCOMPARE(empty.exec(), int(QDialog::Rejected));
}

void DialogsTest::folderChooserOffersOnlyFolders() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkpath("Dane/FC_00012"));
    const QString start = root.path() + "/Dane";

    QString folder = "niezmieniony";
    test::OnModal<QFileDialog>([&](QFileDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Wybierz katalog danych"));
        QCOMPARE(d->fileMode(), QFileDialog::Directory);
        QVERIFY(d->testOption(QFileDialog::ShowDirsOnly));
        QCOMPARE(d->directory().absolutePath(), QDir(start).absolutePath());
        d->reject();
    });
    QVERIFY(!ChooseFolder("Wybierz katalog danych", start, folder));
    QCOMPARE(folder, QString("niezmieniony"));

    // Confirming at once takes the start folder.
    test::OnModal<QFileDialog>([](QFileDialog *d) { static_cast<QDialog *>(d)->accept(); });
    QVERIFY(ChooseFolder("Wybierz katalog danych", start, folder));
    QCOMPARE(folder, QDir(start).absolutePath() + "/");

    test::OnModal<QFileDialog>([&](QFileDialog *d) {
        d->selectFile(start + "/FC_00012");
        static_cast<QDialog *>(d)->accept(); // through the file dialog's own check
    });
    QVERIFY(ChooseFolder("Wybierz katalog danych", start + "/", folder));
    QCOMPARE(folder, QDir(start).absolutePath() + "/FC_00012/");
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
