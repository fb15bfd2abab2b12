#include "serial_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kiv::devsim {
namespace {

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool MakeRaw(int fd, speed_t speed, bool setSpeed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (setSpeed && (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)) return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

speed_t SpeedOf(int baud) {
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return 0;
    }
}

using Clock = std::chrono::steady_clock;

// Sleeps until `due` in short slices, so that a stop signal ends a long byte
// gap soon; false when stopped.
bool SleepUntil(Clock::time_point due, const volatile std::sig_atomic_t& stop) {
    constexpr Clock::duration kSlice = std::chrono::milliseconds(50);
    for (Clock::time_point now = Clock::now(); now < due; now = Clock::now()) {
        if (stop) return false;
        std::this_thread::sleep_for(std::min(due - now, kSlice));
    }
    return true;
}

} // namespace

SerialLink::~SerialLink() {
    if (slaveFd_ >= 0) close(slaveFd_);
    if (fd_ >= 0) close(fd_);
    if (listenFd_ >= 0) close(listenFd_);
}

bool SerialLink::OpenPty(std::string& portPath, std::string& error, bool idleDtrOff) {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
        error = Reason("cannot create a pseudo-terminal");
        return false;
    }
    const char* name = ptsname(fd_);
    if (name == nullptr) {
        error = Reason("cannot name the pseudo-terminal");
        return false;
    }
    portPath = name;
    slaveFd_ = open(name, O_RDWR | O_NOCTTY);
    if (slaveFd_ < 0 || !MakeRaw(slaveFd_, B0, idleDtrOff) || !MakeRaw(fd_, B0, false)) {
        error = Reason("cannot set up " + portPath);
        return false;
    }
    return true;
}

bool SerialLink::OpenDevice(const std::string& path, int baud, std::string& error) {
    const speed_t speed = SpeedOf(baud);
    if (speed == 0) {
        error = "unsupported baud rate " + std::to_string(baud);
        return false;
    }
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0 || !MakeRaw(fd_, speed, true)) {
        error = Reason("cannot open " + path);
        return false;
    }
    return true;
}

bool SerialLink::OpenTcp(int& port, std::string& error) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t size = sizeof address;
    const int on = 1;
    if (listenFd_ < 0 || setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listenFd_, 4) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error = Reason("cannot listen on 127.0.0.1:" + std::to_string(port));
        return false;
    }
    port = ntohs(address.sin_port);
    return true;
}

int SerialLink::Wait(int timeoutMs) {
    const bool listening = listenFd_ >= 0 && fd_ < 0;
    pollfd pfd{Fd(), POLLIN, 0};
    const int ready = poll(&pfd, 1, timeoutMs);
    if (ready <= 0) return 0;
    if (listening) {
        fd_ = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        const int on = 1;
        if (fd_ >= 0) (void)setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return 0;
    }
    if ((pfd.revents & POLLNVAL) != 0) return -1;
    if ((pfd.revents & POLLERR) != 0) {
        if (listenFd_ < 0) return -1;
        DropClient();
        return 0;
    }
    return 1;
}

void SerialLink::DropClient() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool SerialLink::DtrOn() const {
    if (listenFd_ >= 0) return fd_ >= 0;
    if (slaveFd_ >= 0) {
        // The master reads the settings the program gave its end.
        termios tio{};
        return tcgetattr(fd_, &tio) != 0 || cfgetospeed(&tio) != B0;
    }
    int lines = 0;
    return ioctl(fd_, TIOCMGET, &lines) != 0 || (lines & TIOCM_DSR) != 0;
}

long SerialLink::Read(uint8_t* buffer, std::size_t capacity) {
    if (listenFd_ >= 0 && fd_ < 0) return 0;
    const ssize_t n = read(fd_, buffer, capacity);
    if (n > 0) return static_cast<long>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    if (listenFd_ < 0) return n == 0 ? 0 : -1;
    DropClient(); // the connection ended; the next one may come
    return 0;
}

bool SerialLink::WriteAll(const uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        // A reply for a connection that has gone is lost with it; the server goes on.
        if (listenFd_ >= 0 && fd_ < 0) return true;
        const ssize_t n = write(fd_, bytes, count);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd pfd{fd_, POLLOUT, 0};
                (void)poll(&pfd, 1, 50);
                continue;
            }
            if (listenFd_ < 0) return false;
            DropClient();
            return true;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SerialLink::Write(const Bytes& bytes, int baud, int byteGapMs, const volatile std::sig_atomic_t& stop) {
    if (baud <= 0 && byteGapMs <= 0) return WriteAll(bytes.data(), bytes.size());
    // Absolute deadlines keep the pace from drifting with the cost of each write.
    const std::chrono::nanoseconds perByte((baud > 0 ? 10'000'000'000LL / baud : 0) + byteGapMs * 1'000'000LL);
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (stop || !WriteAll(&bytes[i], 1)) return false;
        if (!SleepUntil(start + perByte * static_cast<long long>(i + 1), stop)) return false;
    }
    return true;
}

} // namespace kiv::devsim
