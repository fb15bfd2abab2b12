// kiv-devsim itself: started as the program would be, talked to through its
// pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "common/param_item.h"
#include "common/temp_folder.h"
#include "datafiles/profile.h"
#include "frame_codec.h"

extern char** environ;

namespace kiv::devsim {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const Bytes kClockRequest{0x68, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x4B, 0x2A, 0x59, 0x16};

std::string WriteTestProfile(const fs::path& folder) {
    TRecProfParams params;
    params.profileByte = 1;
    params.texts = {"DEVSIM TEST", "Plum", "MacMAT", "", ""};
    const TParamItem item = test::MakeItem({.shortName = "Vn", .param = 0, .type = 6, .hour = 0, .hourType = 6});
    const std::string name = (folder / "TEST.FCP").string();
    TFCProfileRdWr writer;
    EXPECT_EQ(writer.WriteProfile(name, params, &item, 1, {}), 0);
    return name;
}

// A running kiv-devsim; stopped with SIGTERM at the end of the test.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), std::string(KIV_PROGRAM_DIR) + "/kiv-devsim");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        stdout_ = out[0];
    }
    ~Simulator() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) close(stdout_);
    }

    // The first line of its output: the port path.
    std::string FirstLine() {
        std::string line;
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        char c = 0;
        while (Clock::now() < deadline) {
            pollfd pfd{stdout_, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0) continue;
            if (read(stdout_, &c, 1) != 1 || c == '\n') break;
            line.push_back(c);
        }
        return line;
    }

    // Ends it with SIGTERM; its exit status.
    int Stop() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

int OpenPort(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return fd;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Bytes read until `count` have come or the time is up.
Bytes ReadFor(int fd, std::size_t count, std::chrono::milliseconds limit) {
    Bytes got;
    const auto deadline = Clock::now() + limit;
    uint8_t buffer[512];
    while (got.size() < count && Clock::now() < deadline) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, 20) <= 0) continue;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

class DevsimPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.empty());
        profile_ = WriteTestProfile(folder_);
    }

    std::vector<std::string> Args(std::vector<std::string> more) const {
        std::vector<std::string> args{"--profile", profile_, "--address", "1", "--clock", "2026-01-02 03:04:05"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    test::TempFolder temp_{"kiv-devsim-pty"};
    const fs::path folder_ = temp_.path;
    std::string profile_;
};

TEST_F(DevsimPty, ClockRequestGetsAValidReply) {
    Simulator sim(Args({}));
    const std::string port = sim.FirstLine();
    ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;
    const int fd = OpenPort(port);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, kClockRequest.data(), kClockRequest.size()), 11);
    const Bytes reply = ReadFor(fd, 17, std::chrono::seconds(5));
    close(fd);
    ASSERT_EQ(reply.size(), 17u);
    Frame frame;
    ASSERT_TRUE(DecodeFrame(reply, frame));
    EXPECT_EQ(frame.address, 1);
    EXPECT_EQ(frame.code, 0xCB);
    ASSERT_EQ(frame.data.size(), 6u);
    EXPECT_EQ(Bytes(frame.data.begin() + 2, frame.data.end()), (Bytes{3, 2, 1, 26})); // hour, day, month, year
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(DevsimPty, RequestsForOtherAddressesStayUnanswered) {
    Simulator sim(Args({}));
    const int fd = OpenPort(sim.FirstLine());
    ASSERT_GE(fd, 0);
    const Bytes other = EncodeFrame({2, 0, 0x4B, {}});
    ASSERT_EQ(write(fd, other.data(), other.size()), 11);
    EXPECT_TRUE(ReadFor(fd, 1, std::chrono::milliseconds(400)).empty());
    // The device is still there for its own address.
    ASSERT_EQ(write(fd, kClockRequest.data(), kClockRequest.size()), 11);
    EXPECT_EQ(ReadFor(fd, 17, std::chrono::seconds(5)).size(), 17u);
    close(fd);
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(DevsimPty, NoisePacingAndSpoiledCrcOnTheLine) {
    Simulator sim(Args({"--noise-before", "4", "--noise-after", "3", "--corrupt-crc", "2", "--baud", "2400"}));
    const int fd = OpenPort(sim.FirstLine());
    ASSERT_GE(fd, 0);
    for (int n = 1; n <= 2; ++n) {
        const auto start = Clock::now();
        ASSERT_EQ(write(fd, kClockRequest.data(), kClockRequest.size()), 11);
        const Bytes line = ReadFor(fd, 24, std::chrono::seconds(5));
        const auto took = Clock::now() - start;
        ASSERT_EQ(line.size(), 24u);
        // 24 bytes of 10 bits at 2400 Bd take 100 ms on the wire.
        EXPECT_GE(took, std::chrono::milliseconds(95));
        EXPECT_EQ(line[4], 0x68);
        EXPECT_EQ(line[20], 0x16);
        Frame frame;
        EXPECT_EQ(DecodeFrame(Bytes(line.begin() + 4, line.begin() + 21), frame), n == 1) << "reply " << n;
    }
    close(fd);
    EXPECT_EQ(sim.Stop(), 0);
}

} // namespace
} // namespace kiv::devsim
