// A whole read-out over TCP against kiv-devsim --tcp, on the same road as
// the direct window and kiv-cli (RunDirectReadOut), set against the same
// read-out over the pseudo-terminal: the station's files must come out the
// same byte for byte.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "comm/direct_readout.h"
#include "comm/progress_recorder.h"
#include "config/station_db.h"
#include "datafiles/fcc.h"
#include "datafiles/plik.h"
#include "datafiles/profile.h"
#include "datafiles/timestamp.h"
#include "devsim_process.h"

namespace {

using namespace kiv;
constexpr int kAddress = 12;
const std::string kProgramDir = KIV_PROGRAM_DIR "/";

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tcp_readout_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every file of the station's folder but its station file, by name.
std::map<std::string, std::string> StationFiles(const std::string& dataFolder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(StationFolderPath(dataFolder, kAddress)))
        if (entry.path().extension() != ".INI") files[entry.path().filename().string()] = Bytes(entry.path());
    return files;
}

// The current-data file holds the device clock at the read-out, which may
// tick on between the two simulators' starts; all else must be the same.
void ExpectSameCurrentData(const std::string& ptyData, const std::string& tcpData) {
    TFileFCC pty, tcp;
    std::size_t ptyCount = 0, tcpCount = 0;
    const uint8_t *ptyValues = nullptr, *tcpValues = nullptr;
    TimeStamp ptyTime = 0, tcpTime = 0;
    std::string ptyName, tcpName;
    ASSERT_EQ(pty.ReadCurrentData(ptyData, kAddress, ptyCount, ptyValues, ptyTime, ptyName), 0);
    ASSERT_EQ(tcp.ReadCurrentData(tcpData, kAddress, tcpCount, tcpValues, tcpTime, tcpName), 0);
    EXPECT_EQ(std::string(ptyValues, ptyValues + ptyCount), std::string(tcpValues, tcpValues + tcpCount));
    EXPECT_EQ(ptyName, tcpName);
    EXPECT_EQ(pty.identity, tcp.identity);
    EXPECT_LE(tcpTime - ptyTime, 1u);
}

// One read-out of a fresh station folder under root, over the simulator's
// pseudo-terminal or its TCP port; the result and the station's files.
TxResult ReadInto(const std::string& root, bool tcp, std::map<std::string, std::string>& files) {
    std::vector<std::string> args{"--profile", kProgramDir + "KM100.FCP", "--address", std::to_string(kAddress),
                                  "--clock", "2026-06-01 00:30:00"};
    if (tcp) args.insert(args.end(), {"--tcp", "0"});
    const kivtest::DevsimProcess sim(kProgramDir + "kiv-devsim", args);
    const std::string data = root + "data/";
    std::filesystem::create_directories(StationFolderPath(data, kAddress));
    std::ofstream(StationFilePath(data, kAddress))
        << "[Main]\r\nLabel=Stacja\r\n[Hardware]\r\nDeviceProfile=KM100.FCP\r\n[Communication]\r\n"
        << (tcp ? "ConnType=TCP\r\nIPAddr=127.0.0.1\r\nPortRemote=" + sim.PortPath() : std::string("ComNumber=COM1"))
        << "\r\n";
    const std::string kivIni = root + "Kiv.ini";
    std::ofstream(kivIni) << "[Ports]\r\nCOM1=" << sim.PortPath() << "\r\n";
    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(data, kAddress), kAddress, station);
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    TFCProfileRdWr reader;
    EXPECT_TRUE(reader.ReadProfile(kProgramDir + "KM100.FCP", params, items, groups));
    TDirectReadOut job = DirectReadOutOf(station, kivIni, data, params, items);
    TimeStamp from = 0;
    EXPECT_TRUE(ParseStamp("2026-05-25 00:00:00", from));
    job.input.startTime = static_cast<int32_t>(from);
    EXPECT_EQ(job.link.tcp, tcp);
    TTxProgressRecorder progress;
    TFCommModule module;
    SeedDataRandom(28); // the scrambling keys and the unused sample bytes alike on both roads
    const TReadOutOutcome outcome = RunDirectReadOut(module, progress, job);
    EXPECT_TRUE(outcome.portOpened) << outcome.portError;
    files = StationFiles(data);
    return outcome.result;
}

TEST(TcpReadOut, GivesTheSameFilesAsThePseudoTerminal) {
    App();
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    std::map<std::string, std::string> overPty, overTcp;
    ASSERT_EQ(ReadInto(root + "pty/", false, overPty), TxResult::Good);
    ASSERT_EQ(ReadInto(root + "tcp/", true, overTcp), TxResult::Good);
    ASSERT_GE(overPty.size(), 3u) << "current data, events and archive months";
    for (const auto& [name, bytes] : overPty) {
        SCOPED_TRACE(name);
        ASSERT_EQ(overTcp.count(name), 1u);
        if (name.size() > 4 && name.substr(name.size() - 4) == ".FCC" && bytes != overTcp[name])
            ExpectSameCurrentData(root + "pty/data/", root + "tcp/data/");
        else
            EXPECT_TRUE(bytes == overTcp[name]) << bytes.size() << " against " << overTcp[name].size() << " bytes";
    }
    EXPECT_EQ(overTcp.size(), overPty.size());
}

} // namespace
