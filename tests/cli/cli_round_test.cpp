// kiv-cli round as a scheduler runs it: a round through kiv-devsim's modem
// with one station read and one whose number does not answer, and the calls
// that end before any dial (a data folder another program holds among them),
// each with its exit code.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "cli_run.h"
#include "config/station_db.h"
#include "support/folder_lock.h"

namespace kiv {
namespace {

using test::ReadText;
using test::RunCli;

const std::string kProgramDir = KIV_PROGRAM_DIR "/";

// kiv-devsim's modem in front of device 1, on the pseudo-terminal it names
// on its first line; stopped with the object.
class Modem {
public:
    Modem(const test::TempFolder& dir, const std::vector<std::string>& numbers) {
        std::vector<std::string> args{kProgramDir + "kiv-devsim", "--profile", kProgramDir + "KM100.FCP", "--address",
                                      "1", "--modem", "--dial-time", "50", "--hourly-days", "2", "--daily-days", "2"};
        for (const std::string& n : numbers) args.insert(args.end(), {"--number", n});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = dir.File("devsim.out");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        for (int wait = 0; pid_ > 0 && wait < 100 && ReadText(out).find('\n') == std::string::npos; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        port_ = test::FirstLine(ReadText(out));
    }
    ~Modem() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    const std::string& Port() const { return port_; }

private:
    pid_t pid_ = -1;
    std::string port_;
};

class CliRound : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    std::string Data() const { return dir.Folder() + "dane/"; }
    void WriteKivIni(const std::string& text) const { std::ofstream(dir.File("Kiv.ini")) << text; }
    void AddStation(int address, const std::string& label, const std::string& number,
                    const std::string& modem = "Biuro") const {
        std::filesystem::create_directories(StationFolderPath(Data(), address));
        std::ofstream(StationFilePath(Data(), address))
            << "[Main]\nLabel=" << label << "\nTelephoneNumber=" << number
            << "\n[Hardware]\nDeviceProfile=Kivmet KM-100\n[Communication]\nModemProfile=" << modem << "\n";
    }

    test::TempFolder dir{"kiv-cli-round"};

private:
    std::filesystem::path previous_;
};

TEST_F(CliRound, ReadsTheStationsAndTellsWhichWereNotRead) {
    const Modem modem(dir, {"111=1", "222=NO ANSWER"});
    ASSERT_FALSE(modem.Port().empty());
    WriteKivIni("[Catalogues]\nDataPath=" + Data() + "\n[Ports]\nCOM4=" + modem.Port() +
                "\n[Modems]\nModemName1=Biuro\nModemPort1=COM4\nModemSpeed1=19200\n[Modem-auto]\nRepeats=1\n");
    AddStation(1, "Stacja A", "111");
    AddStation(2, "Stacja B", "222");

    const test::Outcome run = RunCli({"round", "--now"}, dir);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(run.out.find("00001 Stacja A: odczytano\n00002 Stacja B: nie odczytano - brak połączenia\n"
                           "Odczytano 1 z 2 stacji\n"),
              std::string::npos)
        << run.out;
    const std::string log = ReadText(dir.File("Modem.log"));
    EXPECT_NE(log.find("Dla stacji \"Stacja B\" brak połączenia\r\n"), std::string::npos) << log;
    EXPECT_NE(ReadText(StationFilePath(Data(), 1)).find("GoodReadOuts=1"), std::string::npos);
}

struct TCall {
    const char* name;
    std::vector<std::string> args;
    std::string kivIni; // "{data}" stands for the data folder; empty: no Kiv.ini
    int code;
    std::string said;   // a fragment of stdout and stderr together
    bool locked = false; // the data folder's lock held by another program that runs (this test)
};

void PrintTo(const TCall& c, std::ostream* out) { *out << c.name; }

class CliRoundCall : public CliRound, public ::testing::WithParamInterface<TCall> {};

TEST_P(CliRoundCall, EndsBeforeAnyDial) {
    const TCall& c = GetParam();
    std::string ini = c.kivIni;
    if (const std::size_t at = ini.find("{data}"); at != std::string::npos) ini.replace(at, 6, Data());
    if (!ini.empty()) WriteKivIni(ini);
    AddStation(3, "Bez modemu", "333", "");
    const std::string lock = Data() + kFolderLockName;
    if (c.locked) {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        std::ofstream(lock) << "Host=" << host << "\r\nPid=" << ::getpid()
                            << "\r\nStarted=2026-12-01 08:00:00\r\nProgram=Kiv\r\n";
    }
    const test::Outcome run = RunCli(c.args, dir);
    EXPECT_EQ(run.code, c.code) << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(c.said), std::string::npos) << run.out << run.err;
    EXPECT_EQ(std::filesystem::exists(lock), c.locked); // its own lock released, the other's left alone
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CliRoundCall,
    ::testing::Values(TCall{"NothingToRead", {"round", "--now"}, "[Catalogues]\nDataPath={data}\n", 0,
                            "Brak urządzeń do odczytu"},
                      TCall{"NoKivIni", {"round", "--now"}, "", 66, "brak pliku Kiv.ini"},
                      TCall{"NoDataFolder", {"round", "--now"}, "[Catalogues]\nDataPath=/brak/folderu\n", 66,
                            "/brak/folderu"},
                      TCall{"BadTime", {"round", "--at", "7:00"}, "[Catalogues]\nDataPath={data}\n", 64, "GG:MM:SS"},
                      TCall{"BothStarts", {"round", "--at", "07:00:00", "--now"}, "[Catalogues]\nDataPath={data}\n", 64,
                            "wykluczają się"},
                      TCall{"LockedByAnother", {"round", "--now"}, "[Catalogues]\nDataPath={data}\n", 75,
                            "jest używany przez inny program", true},
                      TCall{"ForcedPastTheLock", {"round", "--now", "--force"}, "[Catalogues]\nDataPath={data}\n", 0,
                            "Brak urządzeń do odczytu", true}),
    [](const ::testing::TestParamInfo<TCall>& info) { return info.param.name; });

} // namespace
} // namespace kiv
