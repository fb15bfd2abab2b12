#pragma once
// The simulator's end of the line: a pseudo-terminal whose other end the
// program opens like a serial port, a real serial device, or a TCP port on
// 127.0.0.1 as a serial-device server offers one. Plain POSIX.
//
// A pseudo-terminal has no modem lines. Its DTR is read the POSIX way from
// the line speed the program set: speed 0 is the hang-up, any other speed a
// raised DTR. Kept idle at speed 0, the line also shows DTR off once the
// program closes its port and its settings are restored, as a real port
// drops DTR when it closes.
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>

#include "frame_codec.h"

namespace kiv::devsim {

class SerialLink {
public:
    SerialLink() = default;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;
    ~SerialLink();

    // Opens a new pseudo-terminal and gives the path the program opens;
    // `idleDtrOff` keeps it at speed 0 (DTR off) until the program sets a speed.
    [[nodiscard]] bool OpenPty(std::string& portPath, std::string& error, bool idleDtrOff = false);
    // Opens a serial device raw at 8N1 and the given rate.
    [[nodiscard]] bool OpenDevice(const std::string& path, int baud, std::string& error);
    // Listens on 127.0.0.1:port (0: a free port, given back in port). One
    // connection is served at a time; the next waits until it ends, and a
    // connection that ends or fails leaves the server listening.
    [[nodiscard]] bool OpenTcp(int& port, std::string& error);

    // Waits up to timeoutMs for bytes: 1 when some wait, 0 when none came
    // (a new connection taken, or a failed one dropped, counts as none), -1
    // when the line failed.
    [[nodiscard]] int Wait(int timeoutMs);

    // The descriptor to wait on: the line, or while no connection is up the listening socket.
    [[nodiscard]] int Fd() const { return fd_ < 0 ? listenFd_ : fd_; }
    // The program's DTR: the line speed on a pseudo-terminal, DSR (where a
    // null-modem cable brings it) on a device, a connection being up on
    // TCP; on when it cannot be read.
    [[nodiscard]] bool DtrOn() const;
    // Bytes waiting on the line (at most `capacity`); -1 when the line failed.
    [[nodiscard]] long Read(uint8_t* buffer, std::size_t capacity);
    // Sends the bytes; with `baud` each byte takes 10 bit times, with
    // `byteGapMs` the bytes go one at a time with that pause. Stops early and
    // gives false when `stop` is set or the line fails.
    [[nodiscard]] bool Write(const Bytes& bytes, int baud, int byteGapMs, const volatile std::sig_atomic_t& stop);

private:
    bool WriteAll(const uint8_t* bytes, std::size_t count);
    void DropClient();

    int fd_ = -1;
    int slaveFd_ = -1; // held open so the line stays up between the program's sessions
    int listenFd_ = -1; // TCP: the listening socket; fd_ is then the connection, -1 while none
};

} // namespace kiv::devsim
