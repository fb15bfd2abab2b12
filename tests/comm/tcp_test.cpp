// The TCP link of the communication module on the loopback: connections
// that fail in each of their ways within the set limits, and the exchange
// engine on a socket against a scripted serial-device server.
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
#include <atomic>
#include <functional>
#include <fstream>
#include <sstream>
#include <thread>

#include "comm/comm_module.h"
#include "comm/progress_recorder.h"
#include "pty_peer.h"

namespace {

using kivtest::Bytes;
using kivtest::Script;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tcp_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A listening socket on 127.0.0.1 with a port of the system's choice.
int Listen(int backlog, int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

int ConnectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    (void)::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

// A serial-device server: takes one connection and answers each request
// frame from a script; an empty script closes the connection.
class TcpPeer {
public:
    using Responder = std::function<Script(const Bytes&)>;
    explicit TcpPeer(Responder responder) : responder_(std::move(responder)) {
        listen_ = Listen(1, port_);
        thread_ = std::thread([this] { Run(); });
    }
    ~TcpPeer() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    int Port() const { return port_; }

private:
    bool Wait(int fd) const {
        pollfd pfd{fd, POLLIN, 0};
        while (!stop_)
            if (::poll(&pfd, 1, 20) > 0) return true;
        return false;
    }
    void Run() {
        if (!Wait(listen_)) return;
        const int client = ::accept(listen_, nullptr, nullptr);
        Bytes pending;
        uint8_t buffer[512];
        while (Wait(client)) {
            const long n = ::read(client, buffer, sizeof buffer);
            if (n <= 0) break;
            pending.insert(pending.end(), buffer, buffer + n);
            if (pending.size() < 3 || pending.size() < std::size_t(pending[1] | pending[2] << 8) + 6u) continue;
            const Script script = responder_(pending);
            pending.clear();
            if (script.empty()) break;
            for (const kivtest::Chunk& chunk : script) {
                std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
                if (::write(client, chunk.bytes.data(), chunk.bytes.size()) < 0) break;
            }
        }
        ::close(client);
    }

    Responder responder_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

kiv::TLinkSettings TcpLink(int port, int answerMs) {
    kiv::TLinkSettings link;
    link.tcp = true;
    link.host = "127.0.0.1";
    link.tcpPort = port;
    link.answerTimeout = answerMs;
    link.charTimeout = 100;
    return link;
}

const Bytes kClockData = {5, 4, 3, 2, 1, 26};
constexpr uint8_t kClockKind = 7;

bool Shown(const kiv::TTxProgressRecorder& progress, const std::string& line) {
    const auto& events = progress.Events();
    return std::find(events.begin(), events.end(), line) != events.end();
}

// A refused connection fails at once; one that the far end never takes up
// (its queue is full, so the request to connect goes unanswered) ends at the
// answer timeout; a device that takes the connection but never answers ends
// the exchange with result 1 at the same limit.
TEST(TcpLink, FailuresEndWithTheirMessageWithinTheSetLimits) {
    App();
    constexpr int kLimit = 300;
    int port = 0;
    const int refusing = Listen(1, port);
    ::close(refusing); // nothing listens there any more
    int fullPort = 0;
    const int full = Listen(0, fullPort);
    const int queued = ConnectTo(fullPort); // fills the queue of one
    int silentPort = 0;
    const int silent = Listen(1, silentPort);
    struct Case {
        const char* name;
        int port;
        bool opens;
        const char* line; // the progress window's connection line
        int lowMs;
        int highMs; // the limit, its 100 ms grain and room for a busy machine
    };
    const Case cases[] = {
        {"refused", port, false, "Błąd połączenia 127.0.0.1:%d: połączenie odrzucone", 0, kLimit},
        {"never taken up", fullPort, false, "Błąd połączenia 127.0.0.1:%d: brak odpowiedzi w ciągu 300 ms", kLimit,
         kLimit + 400},
        {"device silent", silentPort, true, "Połączono z 127.0.0.1:%d", kLimit, kLimit + 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kiv::TTxProgressRecorder progress;
        kiv::TFCommModule module;
        module.SetProgress(&progress);
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(module.OpenTcp(TcpLink(c.port, kLimit)), c.opens) << module.OpenError();
        if (c.opens) {
            module.SendFrame(kClockKind, 0, 0, nullptr, 1);
            EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::NoReply);
            EXPECT_EQ(module.GetPortState(), kiv::PortTcp);
        }
        const qint64 took = clock.elapsed();
        EXPECT_GE(took, c.lowMs);
        EXPECT_LT(took, c.highMs);
        char line[128];
        std::snprintf(line, sizeof line, c.line, c.port);
        EXPECT_TRUE(Shown(progress, "connection: " + std::string(line))) << line;
        module.ClosePort();
        EXPECT_EQ(module.GetPortState(), kiv::PortClosed);
    }
    for (const int fd : {full, queued, silent}) ::close(fd);
}

// Noise before the frame and a frame arriving byte by byte are taken as on a
// serial line, and the frame ends the exchange without the character
// timeout; a reply that comes too late is not taken for the next request's;
// when the far end hangs up, the waiting request and every later one end
// with result 1 at once, and the log shows each frame.
TEST(TcpLink, ExchangesRunOnTheConnectionUntilTheFarEndHangsUp) {
    App();
    const Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    const Bytes late = kivtest::ReplyFrame(1, 0xCB, {9, 9, 9, 9, 9, 26});
    int requests = 0;
    TcpPeer peer([&](const Bytes&) {
        switch (++requests) {
        case 1: {
            Script script = kivtest::ByteByByte(reply, 5);
            script.insert(script.begin(), kivtest::Chunk{{0x00, 0x16}, 0});
            return script;
        }
        case 2: return Script{{late, 1300}};
        case 3: return Script{{reply, 0}};
        default: return Script{};
        }
    });
    QTemporaryDir dir;
    const std::string log = dir.filePath("Tx.log").toStdString();
    kiv::TTxProgressRecorder progress;
    kiv::TFCommModule module;
    module.SetProgress(&progress);
    module.SetLogFile(log);
    constexpr int kAnswerMs = 1000;
    kiv::TLinkSettings link = TcpLink(peer.Port(), kAnswerMs);
    link.charTimeout = 2000;
    ASSERT_TRUE(module.OpenTcp(link)) << module.OpenError();
    QElapsedTimer clock;
    clock.start();
    module.SendFrame(kClockKind, 0, 0, nullptr, 1);
    EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::Good);
    EXPECT_EQ(module.GetReply(), reply);
    EXPECT_LT(clock.elapsed(), 1000) << "ended by the frame's length, not by the character timeout";
    module.SendFrame(kClockKind, 0, 0, nullptr, 1);
    EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::NoReply);
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the late reply arrives meanwhile
    module.SendFrame(kClockKind, 0, 0, nullptr, 1);
    EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::Good);
    EXPECT_EQ(module.GetReply(), reply);
    for (int k = 0; k < 2; ++k) {
        clock.restart();
        module.SendFrame(kClockKind, 0, 0, nullptr, 1);
        EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::NoReply);
        EXPECT_LT(clock.elapsed(), kAnswerMs * 7 / 10) << "request " << k + 4 << " ends without its answer timeout";
    }
    module.ClosePort();
    EXPECT_TRUE(Shown(progress, "connection: Połączenie zamknięte przez drugą stronę"));
    EXPECT_TRUE(Shown(progress, "connection: Połączenie zamknięte"));
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    const std::string logged = text.str();
    EXPECT_NE(logged.find("N: 68 05 00 01 00 00 00 4B 2A 59 16"), std::string::npos) << logged;
    EXPECT_NE(logged.find("O: 00 16 68 0B 00"), std::string::npos) << logged;
}

} // namespace
