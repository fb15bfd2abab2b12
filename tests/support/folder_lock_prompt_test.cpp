// The main window's question about a data folder another running program
// holds: opening it anyway, or choosing another folder (the chooser answered
// by the test, without the file dialog and its file system thread), which
// takes the lock there. With KIV_ARTIFACT_DIR set the question is saved there as
// folder-lock-prompt.png.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/save_shot.h"
#include "common/temp_folder.h"
#include "support/gui/folder_lock_prompt.h"
#include "support/gui/modal_helper.h"

extern char** environ;

namespace kiv {

class FolderLockPromptTest : public QObject {
    Q_OBJECT
  private:
    std::string Host() const {
        char name[256] = {};
        ::gethostname(name, sizeof name - 1);
        return name;
    }
    void Plant(const std::string &folder, long pid) const {
        std::ofstream(folder + kFolderLockName) << "Host=" << Host() << "\r\nPid=" << pid
                                                << "\r\nStarted=2026-12-01 08:00:00\r\nProgram=Kiv\r\n";
    }
    static bool HeldBy(const std::string &folder, long pid) {
        TFolderLockOwner owner;
        return ReadFolderLock(folder, owner) && owner.pid == pid;
    }

  private slots:
    void LockedFolderIsOpenedAnywayOrAnotherChosen() {
        test::TempFolder dir;
        const std::string first = dir.Folder() + "first/", locked = dir.Folder() + "locked/",
                          other = dir.Folder() + "other/";
        for (const std::string &folder : {first, locked, other}) std::filesystem::create_directory(folder);
        char sleep[] = "/bin/sleep", seconds[] = "60";
        char *argv[] = {sleep, seconds, nullptr};
        pid_t live = -1;
        QVERIFY(posix_spawn(&live, argv[0], nullptr, nullptr, argv, environ) == 0);
        Plant(locked, live);

        QCOMPARE(SettleFolderLock(first), first);
        QVERIFY(HeldBy(first, ::getpid()));

        test::OnModal<TFFolderLockPrompt>([&](TFFolderLockPrompt *prompt) {
            const QString text = prompt->Text()->text();
            QVERIFY2(text.contains(QString::fromStdString(locked)), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("komputer %1, proces %2 (Kiv), od 2026-12-01 08:00:00")
                                       .arg(QString::fromStdString(Host()))
                                       .arg(live)),
                     qPrintable(text));
            QVERIFY(prompt->ChooseButton()->isDefault());
            test::SaveShot(prompt, "folder-lock-prompt.png");
            prompt->OpenButton()->click();
        });
        QCOMPARE(SettleFolderLock(locked), locked);
        QVERIFY(!ProgramFolderLock().Held());
        QVERIFY2(!HeldBy(first, ::getpid()), "the folder left behind is free again");
        QVERIFY(HeldBy(locked, live));

        test::OnModal<TFFolderLockPrompt>([](TFFolderLockPrompt *prompt) {
            prompt->reject(); // Escape: another folder
        });
        std::vector<std::string> offered;
        const auto choose = [&](const std::string &start, std::string &chosen) {
            offered.push_back(start);
            chosen = other;
            return true;
        };
        QCOMPARE(SettleFolderLock(locked, nullptr, choose), other);
        QCOMPARE(offered, std::vector<std::string>{locked});
        QVERIFY(HeldBy(other, ::getpid()));
        QVERIFY(HeldBy(locked, live));
        ProgramFolderLock().Release();
        ::kill(live, SIGKILL);
        ::waitpid(live, nullptr, 0);
    }
};

} // namespace kiv

QTEST_MAIN(kiv::FolderLockPromptTest)
#include "folder_lock_prompt_test.moc"
