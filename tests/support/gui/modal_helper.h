#pragma once
// Answers a modal dialog the code under test is about to open: the action
// runs on it once its event loop starts. A dialog the action leaves open is
// ended with kUnanswered so a failing test reports instead of hanging.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

namespace kiv::test {

constexpr int kUnanswered = -99;

template <class Dialog, class Action> void OnModal(Action action) {
    QTimer::singleShot(0, qApp, [action] {
        auto *open = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *dialog = qobject_cast<Dialog *>(open);
        if (dialog)
            action(dialog);
        else
            QTest::qFail("the expected modal dialog did not open", __FILE__, __LINE__);
        if (open && open->isVisible())
            open->done(kUnanswered);
    });
}

} // namespace kiv::test
