// The TCP link on the loopback: connections that fail in each of their ways
// within the set limits, the exchange engine on a socket against kiv-devsim
// --tcp, and a whole read-out over TCP that writes the same station files as
// the same read-out over the pseudo-terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "comm/direct_readout.h"
#include "comm/progress_recorder.h"
#include "datafiles/fcc.h"
#include "datafiles/plik.h"
#include "datafiles/profile.h"
#include "devsim_process.h"
#include "link_test_app.h"

using kivtest::App;

namespace kiv {
namespace {

const std::string kProgramDir = KIV_PROGRAM_DIR "/";
constexpr uint8_t kClockKind = 7;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// A listening socket on a port of the system's choice.
int Listen(int backlog, int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

TLinkSettings TcpLink(const std::string& port, int answerMs, int charMs = 100) {
    TLinkSettings link;
    link.tcp = true;
    link.host = "127.0.0.1";
    link.tcpPort = std::atoi(port.c_str());
    link.answerTimeout = answerMs;
    link.charTimeout = charMs;
    link.connectTimeout = 100; // the answer timeout, being longer, is the connection's limit
    return link;
}

bool Shown(const TTxProgressRecorder& progress, const std::string& line) {
    const auto& events = progress.Events();
    return std::find(events.begin(), events.end(), line) != events.end();
}

// A refused connection and a missing address fail at once; one that the far
// end never takes up (its queue is full, so the request to connect goes
// unanswered) ends at the answer timeout; a device that takes the connection
// but never answers ends the exchange with result 1 at the same limit.
// Closing the port hangs up: the far end sees the end of the connection.
TEST(TcpLink, FailuresEndWithTheirMessageWithinTheSetLimits) {
    App();
    constexpr int kLimit = 300;
    QTemporaryDir dir;
    const kivtest::DevsimProcess silent(kProgramDir + "kiv-devsim",
                                        {"--profile", kivtest::WriteDevsimProfile(dir.path().toStdString(), 1),
                                         "--address", "1", "--silence", "1", "--tcp", "0"});
    int refused = 0, full = 0, taker = 0;
    ::close(Listen(1, refused)); // nothing listens there any more
    const int queue = Listen(0, full);
    const int queued = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in fullAddress = Loopback(full);
    (void)::connect(queued, reinterpret_cast<const sockaddr*>(&fullAddress), sizeof fullAddress); // fills the queue
    const int server = Listen(1, taker);
    const std::string at = "127.0.0.1:";
    struct Case {
        const char* name;
        std::string host;
        int port;
        bool opens;
        std::string line; // the progress window's connection line
        int lowMs;
        int highMs; // the limit, its 100 ms grain and room for a busy machine
    };
    const Case cases[] = {
        {"refused", "127.0.0.1", refused, false,
         "Błąd połączenia " + at + std::to_string(refused) + ": połączenie odrzucone", 0, kLimit},
        {"no address", "", refused, false, "Błąd połączenia: nie podano adresu IP stacji (IPAddr)", 0, kLimit},
        {"never taken up", "127.0.0.1", full, false,
         "Błąd połączenia " + at + std::to_string(full) + ": brak odpowiedzi w ciągu 300 ms", kLimit, kLimit + 400},
        {"device silent", "127.0.0.1", std::atoi(silent.PortPath().c_str()), true,
         "Połączono z " + at + silent.PortPath(), kLimit, kLimit + 400},
        {"hung up by the port's close", "127.0.0.1", taker, true, "Połączono z " + at + std::to_string(taker), 0,
         kLimit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTxProgressRecorder progress;
        TFCommModule module;
        module.SetProgress(&progress);
        TLinkSettings link = TcpLink(std::to_string(c.port), kLimit);
        link.host = c.host;
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(module.OpenTcp(link), c.opens) << module.OpenError();
        if (c.port == std::atoi(silent.PortPath().c_str())) {
            module.SendFrame(kClockKind, 0, 0, nullptr, 1);
            EXPECT_EQ(module.WaitForExchange(), TxResult::NoReply);
        }
        EXPECT_GE(clock.elapsed(), c.lowMs);
        EXPECT_LT(clock.elapsed(), c.highMs);
        EXPECT_TRUE(Shown(progress, "connection: " + c.line));
        const int accepted = c.port == taker ? ::accept(server, nullptr, nullptr) : -1;
        module.ClosePort();
        EXPECT_EQ(module.GetPortState(), PortClosed);
        if (accepted < 0) continue;
        pollfd hangUp{accepted, POLLIN, 0};
        char byte = 0;
        EXPECT_EQ(::poll(&hangUp, 1, 2000), 1);
        EXPECT_EQ(::recv(accepted, &byte, 1, MSG_DONTWAIT), 0) << "the end of the connection";
        ::close(accepted);
    }
    for (int fd : {server, queued, queue}) ::close(fd);
}

// Noise before the frame and a frame arriving byte by byte are taken as on a
// serial line, the frame ending the exchange without the character timeout;
// a reply that comes too late is not taken for the next request's; once the
// far end has gone, every request ends with result 1 at once.
TEST(TcpLink, ExchangesRunOnTheConnectionUntilTheFarEndGoes) {
    App();
    QTemporaryDir dir;
    const std::string profile = kivtest::WriteDevsimProfile(dir.path().toStdString(), 1);
    const std::string log = dir.filePath("Tx.log").toStdString();
    const auto start = [&](std::vector<std::string> faults) {
        faults.insert(faults.end(), {"--profile", profile, "--address", "1", "--tcp", "0"});
        return std::make_unique<kivtest::DevsimProcess>(kProgramDir + "kiv-devsim", faults);
    };
    const auto exchange = [](TFCommModule& module, TxResult expected, int withinMs, const char* what) {
        QElapsedTimer clock;
        clock.start();
        module.SendFrame(kClockKind, 0, 0, nullptr, 1);
        EXPECT_EQ(module.WaitForExchange(), expected) << what;
        EXPECT_LT(clock.elapsed(), withinMs) << what;
    };
    TTxProgressRecorder progress;
    TFCommModule module;
    module.SetProgress(&progress);
    module.SetLogFile(log);
    auto sim = start({"--noise-before", "3", "--byte-gap", "5"});
    ASSERT_TRUE(module.OpenTcp(TcpLink(sim->PortPath(), 1000, 2000))) << module.OpenError();
    exchange(module, TxResult::Good, 1000, "ended by the frame's length, not by the character timeout");
    EXPECT_EQ(module.GetReply().front(), 0x68);
    module.ClosePort();

    sim = start({"--reply-delay", "1300"});
    ASSERT_TRUE(module.OpenTcp(TcpLink(sim->PortPath(), 1000))) << module.OpenError();
    exchange(module, TxResult::NoReply, 1500, "too late");
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the late reply arrives meanwhile
    exchange(module, TxResult::NoReply, 1500, "the late reply dropped before the next request");
    sim.reset();
    exchange(module, TxResult::NoReply, 700, "the far end gone");
    exchange(module, TxResult::NoReply, 700, "the far end gone, once more");
    module.ClosePort();
    EXPECT_TRUE(Shown(progress, "connection: Połączenie zamknięte przez drugą stronę"));
    EXPECT_TRUE(Shown(progress, "connection: Połączenie zamknięte"));
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("N: 68 05 00 01 00 00 00 4B 2A 59 16"), std::string::npos) << text.str();
}

constexpr int kAddress = 12;

// Every file of the station's folder but its station file, by name.
std::map<std::string, std::string> StationFiles(const std::string& dataFolder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(StationFolderPath(dataFolder, kAddress))) {
        if (entry.path().extension() == ".INI") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        files[entry.path().filename().string()] = bytes.str();
    }
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

// One read-out of a fresh station on the direct road (RunDirectReadOut, as
// the window and kiv-cli read do), over the simulator's pseudo-terminal or
// its TCP port ("Tcp": the link type in any case); the station's files.
std::map<std::string, std::string> ReadInto(const std::string& data, bool tcp) {
    std::vector<std::string> args{"--profile", kProgramDir + "KM100.FCP", "--address", std::to_string(kAddress),
                                  "--clock", "2026-06-01 00:30:00"};
    if (tcp) args.insert(args.end(), {"--tcp", "0"});
    const kivtest::DevsimProcess sim(kProgramDir + "kiv-devsim", args);
    std::filesystem::create_directories(StationFolderPath(data, kAddress));
    std::ofstream(StationFilePath(data, kAddress))
        << "[Main]\r\nLabel=Stacja\r\n[Communication]\r\n"
        << (tcp ? "ConnType=Tcp\r\nIPAddr=127.0.0.1\r\nPortRemote=" + sim.PortPath() : std::string("ComNumber=COM1"))
        << "\r\n";
    const std::string kivIni = data + "Kiv.ini";
    std::ofstream(kivIni) << "[Ports]\r\nCOM1=" << sim.PortPath() << "\r\n";
    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(data, kAddress), kAddress, station);
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    EXPECT_TRUE(TFCProfileRdWr().ReadProfile(kProgramDir + "KM100.FCP", params, items, groups));
    TDirectReadOut job = DirectReadOutOf(station, kivIni, data, params, items);
    TimeStamp from = 0;
    EXPECT_TRUE(ParseStamp("2026-05-25 00:00:00", from));
    job.input.startTime = static_cast<int32_t>(from);
    EXPECT_EQ(job.link.tcp, tcp);
    TTxProgressRecorder progress;
    TFCommModule module;
    SeedDataRandom(28); // the scrambling keys and the unused sample bytes alike on both roads
    EXPECT_EQ(RunDirectReadOut(module, progress, job).result, TxResult::Good);
    return StationFiles(data);
}

TEST(TcpReadOut, GivesTheSameFilesAsThePseudoTerminal) {
    App();
    QTemporaryDir dir;
    const std::string ptyData = dir.path().toStdString() + "/pty/", tcpData = dir.path().toStdString() + "/tcp/";
    const auto overPty = ReadInto(ptyData, false);
    auto overTcp = ReadInto(tcpData, true);
    ASSERT_GE(overPty.size(), 3u) << "current data, events and archive months";
    EXPECT_EQ(overTcp.size(), overPty.size());
    for (const auto& [name, bytes] : overPty) {
        SCOPED_TRACE(name);
        if (name.ends_with(".FCC") && bytes != overTcp[name])
            ExpectSameCurrentData(ptyData, tcpData);
        else
            EXPECT_TRUE(bytes == overTcp[name]) << bytes.size() << " against " << overTcp[name].size() << " bytes";
    }
}

} // namespace
} // namespace kiv
