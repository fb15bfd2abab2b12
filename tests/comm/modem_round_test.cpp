// The automatic modem round: a whole round against kiv-devsim's modem
// compared line by line with its expected Modem.log (times masked), short
// rounds that never reach a modem, the search and the start time rules.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/archive_readout.h"
#include "comm/comm_module.h"
#include "comm/direct_readout.h"
#include "comm/modem_round.h"
#include "comm/progress_recorder.h"
#include "comm/readout_stats.h"
#include "config/station_stats.h"
#include "common/temp_folder.h"
#include "devsim_process.h"
#include "reports/archive_fixture.h"
#include "support/message_recorder.h"
#include "link_test_app.h"

using kivtest::App;

namespace kiv {
namespace {

const std::string kProgramDir = KIV_PROGRAM_DIR "/";

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The log's lines without their "YYYY-MM-DD hh:mm:ss.mmm " time.
std::vector<std::string> Texts(const std::string& file) {
    std::vector<std::string> texts;
    for (const std::string& line : Lines(file)) texts.push_back(line.size() > 24 ? line.substr(24) : line);
    return texts;
}

// Seconds of the day of a log line, with the milliseconds.
double LineSecond(const std::string& line) {
    return std::stoi(line.substr(11, 2)) * 3600 + std::stoi(line.substr(14, 2)) * 60 + std::stod(line.substr(17, 6));
}

struct TStationRow {
    int address;
    std::string label, number, modem = "Biuro", profile = "Kivmet KM-100";
    bool ticked = true;
};

class ModemRoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        root = dir.Folder();
        data = root + "dane/";
        job.folder = {root + "Kiv.ini",
                      data,
                      {"Kivmet KM-100", "Pusty", "Uszkodzony"},
                      {"KM100.FCP", "PUSTY.FCP", "USZKODZ.FCP"},
                      root};
        std::filesystem::copy_file(kProgramDir + "KM100.FCP", root + "KM100.FCP");
        std::ofstream(root + "PUSTY.FCP");
        std::filesystem::copy_file(kProgramDir + "KM100.FCP", root + "USZKODZ.FCP");
        std::filesystem::resize_file(root + "USZKODZ.FCP", 12); // cut off inside its header
        job.runLog = root + "Modem.log";
        module.SetSettingsFile(root + "Kiv.ini");
    }

    void WriteKivIni(const std::string& com3) const {
        std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM3=" << com3
                                        << "\r\n[Modems]\r\nModemName1=Biuro\r\nModemPort1=COM3\r\nModemSpeed1=19200\r\n"
                                           "ModemName2=Zepsuty\r\nModemPort2=COMX\r\nModemSpeed2=19200\r\n"
                                           "[CommSettings]\r\nExchangePrefix=0\r\n";
    }

    void AddStations(const std::vector<TStationRow>& rows) {
        for (const TStationRow& s : rows) {
            std::filesystem::create_directories(StationFolderPath(data, s.address));
            std::ofstream(StationFilePath(data, s.address))
                << "[Main]\r\nLabel=" << s.label << "\r\nTelephoneNumber=" << s.number
                << "\r\n[Hardware]\r\nDeviceProfile=" << s.profile << "\r\n[Communication]\r\nModemProfile=" << s.modem
                << "\r\nPrefix=YES\r\nRepeats=2\r\n";
            job.stations.push_back({static_cast<uint16_t>(s.address), s.label, s.ticked});
        }
    }

    test::TempFolder dir{"kiv-round"};
    std::string root, data;
    TRoundJob job;
    TTxProgressRecorder progress;
    MessageRecorder messages;
    TFCommModule module;
};

// One round over every kind of station: a read-out, a busy number dialled
// three times (each after the 2 s pause) before the next station, the
// stations that cannot be dialled (a profile file empty, another damaged
// among them), a reply the program does not know, and an unticked station
// that is not even named.
TEST_F(ModemRoundTest, WholeRoundWritesTheExpectedLog) {
    kivtest::DevsimProcess sim(kProgramDir + "kiv-devsim",
                               {"--profile", kProgramDir + "KM100.FCP", "--address", "1", "--modem", "--number",
                                "0111=1", "--number", "0222=BUSY", "--number", "0777=VOICE", "--dial-time", "50",
                                "--hourly-days", "2", "--daily-days", "2", "--events", "3"});
    ASSERT_FALSE(sim.PortPath().empty());
    WriteKivIni(sim.PortPath());
    AddStations({{1, "Stacja A", "111"},
                 {2, "Stacja B", "222"},
                 {3, "Stacja C", "12;34"},
                 {4, "Stacja D", "444", "Brak"},
                 {5, "Stacja E", "555", "Zepsuty"},
                 {6, "Stacja F", "666", "Biuro", "Kivmet KM-100", false},
                 {7, "Stacja G", "777"},
                 {8, "Stacja H", "888", "Biuro", "Nieznany"},
                 {9, "Stacja I", "999", "Biuro", "Pusty"},
                 {10, "Stacja J", "1010", "Biuro", "Uszkodzony"}});
    TModemTimes quick;
    quick.commandChar = 150;
    quick.dialChar = 150;
    module.SetModemTimes(quick);
    std::vector<std::string> first;
    const TRoundOutcome outcome = RunModemRound(module, progress, job, [&first](const auto& list) {
        if (first.empty())
            for (const TRoundStation& s : list) first.push_back(RoundItemText(s));
    });

    std::vector<std::string> expected;
    std::ifstream golden(KIV_TEST_DATA_DIR "/modem_round/round.log");
    for (std::string line; std::getline(golden, line);) expected.push_back(line);
    EXPECT_EQ(Texts(job.runLog), expected);
    const std::vector<std::string> lines = Lines(job.runLog);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t busy = 2; busy <= 3; ++busy) EXPECT_GE(LineSecond(lines[busy]) - LineSecond(lines[busy - 1]), 2.0);
    EXPECT_EQ(first.front(), "00001 Stacja A [3]");
    EXPECT_EQ(first.size(), 9u);
    EXPECT_FALSE(outcome.AllRead());
    EXPECT_EQ(outcome.stations[0].readOut, TxResult::Good);
    EXPECT_EQ(outcome.stations[1].dials, 3);
    EXPECT_EQ(outcome.stations[2].dials, 0);
    EXPECT_EQ(progress.Status(), "Odczyt zakończony");
    EXPECT_EQ(progress.ExitCaption(), "OK");
    const TStationStats good = ReadStationStats(StationFilePath(data, 1));
    const TStationStats busy = ReadStationStats(StationFilePath(data, 2));
    EXPECT_EQ(std::make_tuple(good.attempts, good.good, good.lastResult, good.lastDial), std::make_tuple(1, 1, 15, 8));
    EXPECT_EQ(std::make_tuple(busy.attempts, busy.good, busy.lastResult, busy.lastDial), std::make_tuple(3, 0, 0, 5));
    EXPECT_NE(StationStatsTip(busy).find("Wynik ostatniej próby: Numer zajęty (modem: 5)\nPróby odczytu: 3\n"),
              std::string::npos);
    const TStationStats unknown = ReadStationStats(StationFilePath(data, 7));
    EXPECT_EQ(std::make_tuple(unknown.attempts, unknown.lastResult, unknown.lastDial), std::make_tuple(1, 0, 13));
    EXPECT_EQ(ReadStationStats(StationFilePath(data, 3)).attempts, 0); // never dialled
    EXPECT_EQ(messages.Count(), 0u);
}

// "Anuluj" pressed after a busy station, at once or during the next one's
// pause, ends the round before the next station is dialled.
TEST_F(ModemRoundTest, CancelBetweenStationsEndsTheRound) {
    kivtest::DevsimProcess sim(kProgramDir + "kiv-devsim", {"--profile", kProgramDir + "KM100.FCP", "--address", "1",
                                                            "--modem", "--number", "0111=BUSY", "--dial-time", "50"});
    ASSERT_FALSE(sim.PortPath().empty());
    WriteKivIni(sim.PortPath());
    AddStations({{1, "Stacja A", "111"}, {2, "Stacja B", "222"}});
    job.repeats = 1;
    for (const int pressAfterMs : {-1, 300}) {
        job.pauseMs = pressAfterMs < 0 ? 0 : 1500;
        std::filesystem::remove(job.runLog);
        const TRoundOutcome outcome = RunModemRound(module, progress, job, [&](const auto& list) {
            if (list.size() != 1 || list.front().address != 2) return;
            if (pressAfterMs < 0) progress.PressExit();
            else QTimer::singleShot(pressAfterMs, [this] { progress.PressExit(); });
        });
        EXPECT_EQ(Texts(job.runLog), (std::vector<std::string>{"Rozpoczęto odczyt automatyczny",
                                                               "Dla stacji \"Stacja A\" numer zajęty",
                                                               "Odczyt przerwany przez użytkownika",
                                                               "Zakończono odczyt automatyczny"}));
        EXPECT_EQ(outcome.end, TRoundEnd::Cancelled);
        EXPECT_EQ(outcome.stations[1].dials, 0) << pressAfterMs;
    }
}

struct TShortRound {
    const char* name;
    int repeats;
    std::vector<std::string> log;
    TRoundEnd end;
};

void PrintTo(const TShortRound& c, std::ostream* out) { *out << c.name; }

class ShortRoundTest : public ModemRoundTest, public ::testing::WithParamInterface<TShortRound> {};

TEST_P(ShortRoundTest, EndsWithoutReachingAModem) {
    const TShortRound& c = GetParam();
    WriteKivIni(root + "brak/tty");
    AddStations({{1, "Stacja A", "111"}, {2, "Stacja B", "222"}});
    job.repeats = c.repeats;
    job.pauseMs = 0;
    const TRoundOutcome outcome = RunModemRound(module, progress, job);
    EXPECT_EQ(Texts(job.runLog), c.log);
    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(outcome.stations[1].dials, 0);
    EXPECT_EQ(outcome.stations[1].failure, "nie podjęto próby odczytu");
    EXPECT_EQ(module.GetPortState(), PortClosed);
    EXPECT_EQ(ReadStationStats(StationFilePath(data, 1)).attempts, 0); // a port that fails is not the station's
}

INSTANTIATE_TEST_SUITE_P(
    Round, ShortRoundTest,
    ::testing::Values(
        TShortRound{"RepeatsZeroDialsNothing", 0, {"Rozpoczęto odczyt automatyczny", "Zakończono odczyt automatyczny"},
                    TRoundEnd::Completed},
        TShortRound{"PortThatCannotOpenEndsTheRound",
                    2,
                    {"Rozpoczęto odczyt automatyczny", "Błąd otwarcia portu szeregowego",
                     "Zakończono odczyt automatyczny"},
                    TRoundEnd::PortFailed}),
    [](const ::testing::TestParamInfo<TShortRound>& info) { return info.param.name; });

// A direct read-out whose TCP connection the station's server refuses counts
// as a try that did not reach the device; a serial port that will not open
// is the computer's and does not count.
TEST_F(ModemRoundTest, FailedConnectionCountsOnlyWhenItIsTheStations) {
    const int refusing = ::socket(AF_INET, SOCK_STREAM, 0); // bound, never listening
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ASSERT_EQ(::bind(refusing, reinterpret_cast<sockaddr*>(&at), size), 0);
    ASSERT_EQ(::getsockname(refusing, reinterpret_cast<sockaddr*>(&at), &size), 0);
    AddStations({{1, "Przez TCP", "1"}, {2, "Szeregowa", "2"}});
    for (const int address : {1, 2}) {
        TDirectReadOut road;
        road.link = {
            .device = root + "brak/tty", .tcp = address == 1, .host = "127.0.0.1", .tcpPort = ntohs(at.sin_port)};
        road.input.address = static_cast<uint16_t>(address);
        road.input.dataFolder = data;
        EXPECT_FALSE(RunDirectReadOut(module, progress, road).portOpened) << address;
    }
    ::close(refusing);
    const TStationStats refused = ReadStationStats(StationFilePath(data, 1));
    EXPECT_EQ(std::make_tuple(refused.attempts, refused.good, refused.lastResult, refused.lastDial),
              std::make_tuple(1, 0, 0, -1));
    EXPECT_EQ(ReadStationStats(StationFilePath(data, 2)).attempts, 0);
}

// Stations with a telephone, both profiles and data at least the minimum
// age old at the start; a station without any data always is.
TEST_F(ModemRoundTest, SearchListsStationsWithOldOrNoData) {
    const TimeStamp start = test::At(2026, 3, 20, 6);
    AddStations({{1, "Bez danych", "1"},
                 {2, "Świeża", "2"},
                 {3, "Stara", "3"},
                 {4, "Bez modemu", "4", ""},
                 {5, "Bez numeru", ""},
                 {6, "Nieodznaczona", "6"}});
    std::ofstream(StationFilePath(data, 6), std::ios::app) << "AutoModemCheck=NO\r\n";
    test::StoreSamples(data, 2, test::ChannelItem("dVn"), {{start - 2 * kDaySeconds, 1.0f}});
    test::StoreSamples(data, 3, test::ChannelItem("dVn"), {{start - 12 * kDaySeconds, 1.0f}});
    std::vector<TRekStacji> list;
    for (const TRoundStation& s : job.stations) list.push_back(ReadStationEntry(StationFilePath(data, s.address), s.address));

    std::vector<std::string> found;
    for (const TRoundStation& s : SearchRoundStations(job.folder, list, start, 10))
        found.push_back(RoundItemText(s) + (s.ticked ? " +" : " -"));
    EXPECT_EQ(found, (std::vector<std::string>{"00001 Bez danych +", "00003 Stara +", "00006 Nieodznaczona -"}));
    EXPECT_EQ(SearchRoundStations(job.folder, list, start, 30).size(), 2u);
}

TEST(ModemRoundRules, StartTimeAndSettings) {
    const TimeStamp day = test::At(2026, 5, 4);
    EXPECT_EQ(NextStart(day + 9 * 3600, 10 * 3600), day + 10 * 3600);
    EXPECT_EQ(NextStart(day + 11 * 3600, 10 * 3600), day + kDaySeconds + 10 * 3600); // past today: tomorrow
    EXPECT_EQ(NextStart(day + 10 * 3600, 10 * 3600), day + 10 * 3600);
    for (const auto& [text, seconds] : std::vector<std::pair<std::string, int>>{
             {"00:00:00", 0}, {"23:59:59", 86399}, {"24:10:05", 605}, {"07:30", 27000}, {"ab:61:-1", 0}})
        EXPECT_EQ(ParseStartTime(text), seconds) << text;
    EXPECT_GE(StationAge(day, -1), 30);

    test::TempFolder dir{"kiv-round-ini"};
    std::ofstream(dir.File("Kiv.ini")) << "[Modem-auto]\nStartTime=25:00:30\nMinimumAge=45\nRepeats=-2\n";
    // The statistics never create a station file.
    EXPECT_FALSE(RecordStationAttempt(dir.File("FC_00009/00009.INI"), {15, true, -1, 0}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("FC_00009")));
    const TRoundSettings settings = ReadRoundSettings(dir.File("Kiv.ini"));
    EXPECT_EQ(std::make_tuple(settings.startSecond, settings.minimumAge, settings.repeats, settings.connMaxMinutes),
              std::make_tuple(30, 30, 0, 10));
}

} // namespace
} // namespace kiv
