#pragma once
// The communication module: the one owner of the serial port. A front-end
// opens the port (OpenDirect), the read-out sends one request at a time
// (SendFrame) and pumps the event loop until State() is TxState::Done, then takes
// RxResult() and GetReply(). Between the two, the exchange runs as a state
// machine fed by three event sources: the 100 ms timer (time limits), the
// port's bytesWritten (the request is out) and readyRead (reply bytes). A
// reply frame ends the exchange the moment its last byte arrives; only a
// reply without a usable length waits for the character timeout. The module
// writes the link state to the progress window and, when a log file is set,
// every frame sent and received to the transmission log.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "comm/tx_result.h"

class QSerialPort;

namespace kiv {

class ITxProgress;

enum PortState : uint8_t {
    PortClosed = 0,
    PortDirect = 1,      // direct line, frame mode
    PortModemCommand = 2, // modem in command mode (AT dialogue)
    PortModemOnline = 3, // modem connected, frame mode
    PortUdp = 4,         // reserved, no behaviour
    PortTcp = 5,         // reserved, no behaviour
};

// How a direct line is set up: the link fields of a station file, or of the
// transmission window that edits them.
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
};

// The baud rates a line can be set to, slowest first.
inline constexpr int32_t kBaudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// The parity texts of the station file and the transmission window.
inline constexpr const char* kParityNames[] = {"None", "Odd", "Even", "Mark", "Space"};

constexpr std::size_t kTxBufferSize = 2501;
constexpr uint16_t kRxLimit = 2400;
constexpr int32_t kTimerInterval = 100;
constexpr int32_t kSendLimit = 5000;

// One request/reply exchange.
struct TExchange {
    TxState txState = TxState::Idle;
    uint8_t halfDuplex = 0;
    int32_t elapsed = 0; // ms since the last state change
    int32_t silence = 0;
    int32_t rtsOnDelay = 0;
    int32_t rtsOffDelay = 0;
    int32_t answerTimeout = 0;
    int32_t charTimeout = 0;
    std::array<uint8_t, kTxBufferSize> txBuffer{};
    std::array<uint8_t, kTxBufferSize> rxBuffer{};
    uint16_t txLength = 0;
    uint16_t rxCount = 0;
    uint8_t frameMode = 0;
    int32_t frameStart = -1;
    uint16_t expectedLength = 0;
    TxResult result = TxResult::NoReply;
    std::string logFile;
};

class TFCommModule : public QObject {
    Q_OBJECT
public:
    // The first module created becomes the application-wide one.
    explicit TFCommModule(QObject* parent = nullptr);
    ~TFCommModule() override;
    [[nodiscard]] static TFCommModule* Instance();

    // The progress window the module writes its connection line and lamps to.
    void SetProgress(ITxProgress* progress) { progress_ = progress; }
    // Kiv.ini, whose [Ports] section maps "COMn" to a device.
    void SetSettingsFile(const std::string& path) { settingsFile_ = path; }

    [[nodiscard]] static bool IsBaudRateSupported(int32_t rate);
    // The device a port text names: [Ports] COMn of the settings file when
    // present, else /dev/ttyS(n-1); a path is taken as it is.
    [[nodiscard]] std::string PortDeviceFor(const std::string& portText) const;

    // Opens the port for a direct line; only when the port is closed. Baud
    // rates outside the list fall back to 115200; parity from the first
    // letter of its text (E, M, O, S, else none); one stop bit, no flow control.
    // On failure OpenError() tells what was tried and why.
    [[nodiscard]] bool OpenDirect(const TLinkSettings& link);
    // "COM3 (/dev/ttyS2): no such device" for the last failed open, else empty.
    [[nodiscard]] const std::string& OpenError() const { return openError_; }
    // Closes the port whatever its state; always true.
    bool ClosePort();

    // Builds the request frame and, on an open frame-mode port, starts the exchange.
    void SendFrame(uint8_t kind, uint16_t secondAddress, uint16_t dataLength, const uint8_t* data,
                   uint16_t deviceAddress);
    // A command-mode exchange of plain text (the modem dialogue); only in port state 2.
    void SendCommand(const std::string& text);

    [[nodiscard]] TxState State() const { return ex_.txState; }
    [[nodiscard]] TxResult RxResult() const { return ex_.result; }
    // The received bytes; after a good frame check the frame starts at 0.
    [[nodiscard]] std::vector<uint8_t> GetReply() const;
    void SetLogFile(const std::string& name) { ex_.logFile = name; }

    [[nodiscard]] uint8_t GetPortState() const { return portState_; }
    // For the modem dialogue: command mode after dialling, online once connected.
    void SetPortState(uint8_t state) { portState_ = state; }
    [[nodiscard]] const TExchange& Exchange() const { return ex_; }
    [[nodiscard]] int32_t BaudRate() const { return baud_; }
    // The parity the port was set to: 'N', 'E', 'O', 'M' or 'S'.
    [[nodiscard]] char ParityLetter() const;

    // Pumps the event loop until the running exchange is finished; the result.
    TxResult WaitForExchange();

signals:
    void txStateChanged(kiv::TxState state);
    void exchangeFinished(kiv::TxResult result);

private:
    void StartExchange(bool frameMode);
    void OnTimer();
    void OnBytesWritten();
    void OnReadyRead();
    void Step();
    void LeaveSilence();
    void Send();
    void AwaitAnswer();
    void ReadReply();
    void Complete();
    void SetTxState(TxState state);
    void RestartElapsed();
    void ShowConnection(const std::string& text);

    QSerialPort* port_;
    QTimer timer_;
    QElapsedTimer clock_;
    ITxProgress* progress_ = nullptr;
    std::string settingsFile_;
    uint8_t portState_ = PortClosed;
    int32_t baud_ = 0;
    std::string openError_;
    TExchange ex_;
};

} // namespace kiv
