// kiv-cli transporter against kiv-devsim as a KivGAZ transporter: the
// directory printed, unknown devices dropped or added, a protocol-2 device
// left unread with its KivGAZ.log line, two devices read into their archive
// files, a directory that stops at the first request left unanswered, and
// the data folders it refuses.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "cli_run.h"
#include "config/ini_file.h"
#include "config/station_db.h"
#include "support/folder_lock.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;
const std::string kBin = KIV_PROGRAM_DIR "/";

// The 15th of this month at noon: the few days a device archives before it
// fall into one month file per parameter whatever the day of the run, and
// within the history a first read-out fetches.
std::string MidMonth() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-15 12:00:00", std::localtime(&now));
    return text;
}

// kiv-devsim as a transporter on address 65534, its clock in mid-month; the
// shell names its pid first.
class Transporter {
  public:
    explicit Transporter(const std::string& args) {
        pipe_ =
            ::popen(("exec 2>/dev/null; echo $$; exec " + kBin + "kiv-devsim --profile " + kBin +
                     "KM100.FCP --baud 115200 --hourly-days 2 --daily-days 3 --events 3 --clock '" + MidMonth() +
                     "' --transporter 65534 " + args)
                        .c_str(),
                    "r");
        char line[256] = {};
        if (pipe_ != nullptr && std::fgets(line, sizeof line, pipe_) != nullptr) pid_ = std::atoi(line);
        if (pipe_ != nullptr && std::fgets(line, sizeof line, pipe_) != nullptr) port_ = line;
        if (!port_.empty()) port_.pop_back(); // the line's end
    }
    ~Transporter() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        if (pipe_ != nullptr) ::pclose(pipe_);
    }
    const std::string& Port() const { return port_; }

  private:
    FILE* pipe_ = nullptr;
    int pid_ = 0;
    std::string port_;
};

class CliTransporter : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path);
    }
    void TearDown() override { fs::current_path(previous_); }

    std::string Data() const { return dir_.Folder() + "dane/"; }
    void Station(int address, const std::string& profile) const {
        fs::create_directories(StationFolderPath(Data(), address));
        std::ofstream(StationFilePath(Data(), address))
            << "[Main]\nLabel=Stacja " << address << "\n[Hardware]\nDeviceProfile=" << profile << "\n";
    }
    // A stored Address of 0 stands for the default 65534.
    void Settings(const std::string& port, const std::string& data) const {
        std::ofstream(dir_.File("Kiv.ini"))
            << "[Catalogues]\nDataPath=" << data << "\n[Ports]\nCOM1=" << port << "\n[KivGAZ]\nAddress=0\nComNumber=COM1\n";
    }
    void Settings(const Transporter& transporter) const { Settings(transporter.Port(), Data()); }
    std::string Log() const { return test::ReadText(dir_.File("KivGAZ.log")); }

    test::TempFolder dir_{"kiv-cli-transporter"};
    fs::path previous_;
};

TEST_F(CliTransporter, ListsDropsTheUnknownAndReadsTheRest) {
    const Transporter transporter("--address 12 --extra-device 13 --extra-device 40:" + kBin +
                                  "KM200.FCP --extra-device 77 --device-name 77=Nowa");
    Settings(transporter);
    Station(12, "Kivmet KM-100");
    Station(13, "Kivmet KM-100");
    Station(40, "Kivmet KM-200");
    const test::Outcome run = test::RunCli({"transporter"}, dir_);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.out, "12\tStacja 12\tknown\n13\tStacja 13\tknown\n40\tStacja 40\tknown\n77\tNowa\tnew\n"
                       "12\t15\tOdczyt zakończony\n13\t15\tOdczyt zakończony\n"
                       "40\t-\tNie ustawiono protokołu GazModem-1\n");
    EXPECT_FALSE(fs::exists(StationFolderPath(Data(), 77)));
    for (int address : {12, 13}) {
        int archives = 0;
        for (const auto& file : fs::directory_iterator(StationFolderPath(Data(), address)))
            archives += file.path().extension() == ".FCD" ? 1 : 0;
        EXPECT_EQ(archives, 7) << address; // every archived parameter of the profile
    }
    EXPECT_NE(Log().find("Nie ustawiono protokołu GazModem-1. Adres urządzenia = 40\r\n"), std::string::npos);
    EXPECT_NE(Log().find("Odczyt zakończony. Adres urządzenia = 13\r\n"), std::string::npos);
    EXPECT_EQ(Log().find(" N: "), std::string::npos); // frames only with --log
}

TEST_F(CliTransporter, AddsTheUnknownAndStopsAtTheFirstSilentEntry) {
    // The serial number carries a tab: it is stored as the read-out will compare it.
    const Transporter transporter("--address 77 --device-name '77=Nowa kotłownia' --serial \"$(printf 'S10\\t0001')\" "
                                  "--extra-device 13 --silent-entry 1");
    Settings(transporter);
    Station(13, "Kivmet KM-100");
    const test::Outcome run = test::RunCli({"transporter", "--add-unknown", "--log"}, dir_);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "77\tNowa kotłownia\tnew\n77\t-\tBrak zbioru profilu\n");
    EXPECT_EQ(run.err, "kiv-cli transporter: Nowe urządzenia wymagają skonfigurowania\n");
    const std::string file = StationFilePath(Data(), 77);
    EXPECT_EQ(ReadIniString("Main", "Label", "", file), "Nowa kotłownia");
    EXPECT_EQ(StoredNameplate(file), (std::vector<std::string>{"Kivmet", "KM-100", "S10\t0001"}));
    const std::string silent = " N: 68 08 00 FE FF 00 00 7B 01 01 00";
    std::size_t tries = 0;
    for (std::size_t at = Log().find(silent); at != std::string::npos; at = Log().find(silent, at + 1)) ++tries;
    EXPECT_EQ(tries, 5u); // every attempt of the unanswered entry, then no further entry
    EXPECT_EQ(Log().find(" N: 68 08 00 FE FF 00 00 7B 01 02 00"), std::string::npos);
}

TEST_F(CliTransporter, RefusesAMissingDataFolderAndOneLockedByAnotherProgram) {
    Settings("/brak/portu", dir_.Folder() + "brak/");
    test::Outcome run = test::RunCli({"transporter"}, dir_);
    EXPECT_EQ(run.code, 66);
    EXPECT_EQ(run.err, "kiv-cli transporter: Wybrany katalog nie istnieje: " + dir_.Folder() + "brak/\n");

    Settings("/brak/portu", Data());
    fs::create_directories(Data());
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::ofstream(Data() + kFolderLockName) << "Host=" << host << "\r\nPid=" << ::getpid()
                                            << "\r\nStarted=2026-12-01 08:00:00\r\nProgram=Kiv\r\n";
    run = test::RunCli({"transporter"}, dir_);
    EXPECT_EQ(run.code, kExitFolderLocked);
    EXPECT_NE(run.err.find("jest używany przez inny program"), std::string::npos) << run.err;
    run = test::RunCli({"transporter", "--force"}, dir_);
    EXPECT_EQ(run.code, 69) << run.err; // past the lock, to the port that is not there
    EXPECT_TRUE(fs::exists(Data() + kFolderLockName));
}

} // namespace
} // namespace kiv
