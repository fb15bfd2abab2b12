// kiv-cli read of a station behind a serial-device server (kiv-devsim --tcp)
// and the data folder lock: one simulator serves every call in turn, so it
// also shows that each call's connection ends and the next one is taken.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli_run.h"
#include "config/station_db.h"
#include "support/folder_lock.h"

namespace kiv {
namespace {

// A child process until the test ends; `firstLine` its first output line when asked.
class Child {
public:
    Child(std::vector<std::string> argv, bool readLine) {
        int out[2] = {-1, -1};
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        for (char c = 0; readLine && pid_ > 0 && ::read(out[0], &c, 1) == 1 && c != '\n';) firstLine += c;
        ::close(out[0]);
    }
    ~Child() { Stop(); }
    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    pid_t Pid() const { return pid_; }
    std::string firstLine;

private:
    pid_t pid_ = -1;
};

std::string Host() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

TEST(CliReadTcp, ReadsOverTheConnectionAndKeepsToTheFolderLock) {
    test::TempFolder dir;
    const std::string data = dir.Folder() + "data/";
    std::filesystem::create_directories(StationFolderPath(data, 12));
    Child sim({KIV_PROGRAM_DIR "/kiv-devsim", "--profile", KIV_PROGRAM_DIR "/KM100.FCP", "--address", "12", "--clock",
               "2026-06-01 00:30:00", "--tcp", "0"},
              true);
    ASSERT_FALSE(sim.firstLine.empty());
    Child other({"/bin/sleep", "60"}, false);
    Child gone({"/bin/sleep", "60"}, false);
    const long gonePid = gone.Pid();
    gone.Stop();
    struct Case {
        const char* name;
        std::string port;
        long lockPid; // a lock planted for this process; 0: none
        bool force;
        int exitCode;
        std::string line; // on stdout after a read, else the first line on stderr
    };
    const std::string lockedLine = "kiv-cli read: folder danych " + data + " jest używany przez inny program (komputer " +
                                   Host() + ", proces " + std::to_string(other.Pid()) +
                                   " (Kiv), od 2026-12-01 08:00:00); --force zapisuje mimo to";
    const Case cases[] = {
        {"free folder", sim.firstLine, 0, false, 0, "connection: Połączono z 127.0.0.1:" + sim.firstLine},
        {"locked by a running program", sim.firstLine, other.Pid(), false, kExitFolderLocked, lockedLine},
        {"locked, --force", sim.firstLine, other.Pid(), true, 0, "Wynik 15: Odczyt zakończony"},
        {"stale lock", sim.firstLine, gonePid, false, 0, "Wynik 15: Odczyt zakończony"},
        {"refused connection", "1", 0, false, 69, "kiv-cli read: Błąd połączenia 127.0.0.1:1: połączenie odrzucone"},
    };
    const std::string lockFile = data + kFolderLockName;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(StationFilePath(data, 12))
            << "[Main]\r\nLabel=Stacja\r\n[Hardware]\r\nDeviceProfile=KM100.FCP\r\n[Communication]\r\nConnType=TCP\r\n"
               "IPAddr=127.0.0.1\r\nPortRemote="
            << c.port << "\r\nRepeats=1\r\n";
        std::filesystem::remove(lockFile);
        std::filesystem::remove(StationFolderPath(data, 12) + "/00012.FCC");
        if (c.lockPid != 0)
            std::ofstream(lockFile) << "Host=" << Host() << "\r\nPid=" << c.lockPid
                                    << "\r\nStarted=2026-12-01 08:00:00\r\nProgram=Kiv\r\n";
        const std::string planted = test::ReadText(lockFile);
        std::vector<std::string> args{"read", data, "12", "--from", "2026-05-31 12:00:00"};
        if (c.force) args.push_back("--force");
        const test::Outcome run = test::RunCli(args, dir);
        EXPECT_EQ(run.code, c.exitCode) << run.out << run.err;
        const std::string& shown = c.exitCode == 0 ? run.out : run.err;
        EXPECT_NE((c.exitCode == 0 ? shown : test::FirstLine(shown)).find(c.line), std::string::npos) << shown;
        const bool othersLock = c.lockPid == other.Pid();
        EXPECT_EQ(test::ReadText(lockFile), othersLock ? planted : "") << "a lock of its own is gone after the call";
        EXPECT_EQ(std::filesystem::exists(StationFolderPath(data, 12) + "/00012.FCC"), c.exitCode == 0);
    }
}

} // namespace
} // namespace kiv
