#pragma once
// How a line is set up for a read-out: the port, its speed and parity, the
// modem-control lines and the times of one exchange. The direct line takes
// them from the station file; a modem takes the port and speed from its
// profile and the times from the station. A station reached through a
// serial-device server or a GPRS modem names a host and a TCP port instead
// of the serial port; the times are the same.
#include <cstdint>
#include <string>

namespace kiv {

// The link fields of a station file, or of the transmission window that edits them.
struct TLinkSettings {
    std::string port = "COM1"; // "COMn" or a device path, as the user wrote it
    std::string device;        // what the port text maps to through [Ports]; empty: the module maps it
    int32_t baud = 9600;
    std::string parity = "None";
    int32_t charTimeout = 100;   // ms of silence that end a reply
    int32_t answerTimeout = 1000; // ms until the reply must begin
    int32_t silence = 0;         // ms of quiet line before each request
    int32_t rtsOnDelay = 0;
    int32_t rtsOffDelay = 0;
    bool halfDuplex = false;
    bool rts = true;
    bool dtr = true;
    bool tcp = false;          // a TCP connection to host:tcpPort instead of the serial port
    std::string host;          // an IP address or a host name
    int32_t tcpPort = 0;       // 1..65535; anything else does not connect
    // ms the connection may take to come up, or the answer timeout when that
    // is longer: a GPRS modem takes seconds where a device answers in 50 ms.
    int32_t connectTimeout = 5000;
};

// Why a station behind a serial-device server cannot be connected to.
inline constexpr const char* kNoStationAddress = "nie podano adresu IP stacji (IPAddr)";

// "COM2" for a serial line, "10.0.0.7:4001" ("[::1]:4001") for a TCP link.
[[nodiscard]] std::string LinkText(const TLinkSettings& link);
// The line telling why the link did not open, from the module's OpenError():
// "Błąd otwarcia portu COM3: ...", "Błąd połączenia 10.0.0.7:4001:
// połączenie odrzucone", "Błąd połączenia: nie podano adresu IP stacji (IPAddr)".
[[nodiscard]] std::string OpenErrorLine(const TLinkSettings& link, const std::string& openError);

// The baud rates a line can be set to, slowest first.
inline constexpr int32_t kBaudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// The parity texts of the station file and the transmission window.
inline constexpr const char* kParityNames[] = {"None", "Odd", "Even", "Mark", "Space"};

} // namespace kiv
