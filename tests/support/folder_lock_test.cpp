// The data folder lock against locks planted as other programs leave them:
// a live process, one that was killed, a number now used by a process
// started later, another desk; and the lock's own life in one process.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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
