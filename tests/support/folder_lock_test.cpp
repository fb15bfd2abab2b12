// The data folder lock against locks planted as other programs leave them:
// a live process, one that was killed, a number now used by a process
// started later, another desk; and the lock's own life in one process.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/temp_folder.h"
#include "support/file_replace.h"
#include "support/folder_lock.h"

extern char** environ;

namespace kiv {
namespace {

std::string Host() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// A process that runs until killed.
pid_t StartSleeper() {
    char sleep[] = "/bin/sleep", seconds[] = "60";
    char* argv[] = {sleep, seconds, nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

void Plant(const std::string& folder, const std::string& host, long pid, long long processStart) {
    std::ofstream(folder + kFolderLockName) << "Host=" << host << "\r\nPid=" << pid
                                            << "\r\nStarted=2026-12-01 08:00:00\r\nProgram=Kiv\r\nProcessStart="
                                            << processStart << "\r\n";
}

std::string LockText(const std::string& folder) {
    std::string text;
    (void)ReadWholeFile(folder + kFolderLockName, text);
    return text;
}

TEST(FolderLock, PlantedLocksAreTakenOverOnlyWhenTheirProcessIsGone) {
    const pid_t live = StartSleeper();
    const pid_t killed = StartSleeper();
    const pid_t zombie = StartSleeper();
    ASSERT_GT(live, 0);
    ::kill(killed, SIGKILL);
    ::waitpid(killed, nullptr, 0);
    ::kill(zombie, SIGKILL); // ended but never waited for
    while (LockHolderRuns({Host(), zombie, "", "", 0})) ::usleep(1000);
    struct Case {
        const char* name;
        std::string host;
        long pid;
        long long processStart;
        TLockResult result;
    };
    const Case cases[] = {
        {"live process here", Host(), live, 0, TLockResult::HeldByOther},
        {"process on another desk", "biuro-2", 1, 0, TLockResult::HeldByOther},
        {"killed process", Host(), killed, 0, TLockResult::Taken},
        {"ended, not waited for", Host(), zombie, 0, TLockResult::Taken},
        {"number reused by a later process", Host(), live, 1, TLockResult::Taken},
        {"number beyond any process", Host(), 4294967295L, 0, TLockResult::Taken},
        {"negative number", Host(), -1, 0, TLockResult::Taken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        const std::string folder = dir.Folder();
        Plant(folder, c.host, c.pid, c.processStart);
        const std::string planted = LockText(folder);
        TFolderLockOwner holder;
        EXPECT_EQ(FolderLockedByOther(folder, holder), c.result == TLockResult::HeldByOther);
        TFolderLock lock;
        ASSERT_EQ(lock.Acquire(folder, "kiv-cli read", holder), c.result);
        if (c.result == TLockResult::HeldByOther) {
            EXPECT_EQ(OwnerText(holder), "komputer " + c.host + ", proces " + std::to_string(c.pid) +
                                             " (Kiv), od 2026-12-01 08:00:00");
            EXPECT_EQ(LockText(folder), planted) << "the other program's lock stays";
            continue;
        }
        EXPECT_NE(LockText(folder).find("Pid=" + std::to_string(::getpid()) + "\r\n"), std::string::npos);
        lock.Release();
        EXPECT_EQ(LockText(folder), "") << "released";
    }
    ::kill(live, SIGKILL);
    ::waitpid(live, nullptr, 0);
    ::waitpid(zombie, nullptr, 0);
}

// Programs started at once on a folder whose lock a killed process left:
// each takes it over, but only one may end up holding it, and the others
// find that one's lock. Every racer lives until all have answered.
TEST(FolderLock, OnlyOneOfProgramsRacingOverAStaleLockWinsIt) {
    constexpr int kRacers = 4;
    const pid_t gone = StartSleeper();
    ::kill(gone, SIGKILL);
    ::waitpid(gone, nullptr, 0);
    for (int round = 0; round < 25; ++round) {
        test::TempFolder dir;
        const std::string folder = dir.Folder();
        Plant(folder, Host(), gone, 0);
        int go[2], answers[2], end[2];
        ASSERT_EQ(::pipe(go) | ::pipe(answers) | ::pipe(end), 0);
        std::vector<pid_t> racers(kRacers);
        for (pid_t& racer : racers) {
            if ((racer = ::fork()) != 0) continue;
            ::close(go[1]);
            ::close(end[1]);
            char c;
            (void)::read(go[0], &c, 1); // all start when the test closes its end
            TFolderLock lock;
            TFolderLockOwner holder;
            const int answer[2] = {::getpid(), static_cast<int>(lock.Acquire(folder, "racer", holder))};
            (void)::write(answers[1], answer, sizeof answer);
            (void)::read(end[0], &c, 1);
            ::_exit(0);
        }
        ::close(go[1]);
        ::close(answers[1]); // a racer that dies without answering ends the read
        std::vector<pid_t> winners;
        for (int k = 0; k < kRacers; ++k) {
            int answer[2] = {};
            ASSERT_EQ(::read(answers[0], answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
            if (answer[1] == static_cast<int>(TLockResult::Taken)) winners.push_back(answer[0]);
            else EXPECT_EQ(answer[1], static_cast<int>(TLockResult::HeldByOther));
        }
        TFolderLockOwner owner;
        EXPECT_TRUE(ReadFolderLock(folder, owner));
        const auto entries = std::distance(std::filesystem::directory_iterator(folder), {});
        EXPECT_EQ(entries, 1) << "nothing but the lock is left behind";
        ::close(end[1]);
        for (pid_t racer : racers) ::waitpid(racer, nullptr, 0);
        for (int fd : {go[0], answers[0], end[0]}) ::close(fd);
        ASSERT_EQ(winners.size(), 1u) << "round " << round;
        EXPECT_EQ(owner.pid, winners.front());
    }
}

// Within one program the lock is held once: a second holder finds it its
// own and leaves it when it ends; a moved lock is released by its new owner;
// a folder that cannot hold a lock is worked in without one.
TEST(FolderLock, OneProgramHoldsItsLockOnce) {
    test::TempFolder dir;
    const std::string folder = dir.Folder();
    TFolderLockOwner holder;
    TFolderLock first;
    ASSERT_EQ(first.Acquire(folder, "Kiv", holder), TLockResult::Taken);
    EXPECT_EQ(first.Folder(), folder);
    TFolderLockOwner owner;
    ASSERT_TRUE(ReadFolderLock(folder, owner));
    EXPECT_EQ(owner.host, Host());
    EXPECT_EQ(owner.program, "Kiv");
    EXPECT_TRUE(LockHolderRuns(owner));
    EXPECT_FALSE(FolderLockedByOther(folder, owner)) << "its own";
    {
        TFolderLock second;
        EXPECT_EQ(second.Acquire(folder, "kiv-cli round", holder), TLockResult::Own);
    }
    EXPECT_TRUE(ReadFolderLock(folder, owner)) << "kept by its first holder";
    TFolderLock moved = std::move(first);
    EXPECT_FALSE(first.Held());
    moved.Release();
    EXPECT_FALSE(ReadFolderLock(folder, owner));
    TFolderLock nowhere;
    EXPECT_EQ(nowhere.Acquire(folder + "missing/", "Kiv", holder), TLockResult::NotWritable);
    EXPECT_FALSE(nowhere.Held());
}

} // namespace
} // namespace kiv
