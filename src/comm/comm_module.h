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
// every frame sent and received to the transmission log. A modem is opened
// with OpenModem instead, which initialises and dials it in command mode
// (modem_control.h); once connected the port works in frame mode as above,
// and ClosePort hangs the modem up. A station behind a serial-device server
// is reached with OpenTcp: the same exchange engine and frame recognition run
// on a TCP connection (port state 5), with no modem-control lines.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "comm/link_settings.h"
#include "comm/modem_control.h"
#include "comm/tx_result.h"

class QIODevice;
class QSerialPort;
class QTcpSocket;

namespace kiv {

class ITxProgress;

enum PortState : uint8_t {
    PortClosed = 0,
    PortDirect = 1,      // direct line, frame mode
    PortModemCommand = 2, // modem in command mode (AT dialogue)
    PortModemOnline = 3, // modem connected, frame mode
    PortUdp = 4,         // reserved, no behaviour
    PortTcp = 5,         // TCP connection, frame mode
};

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
    // Closes the port whatever its state, a connected modem hung up first; always true.
    bool ClosePort();

    // Connects to link.host:link.tcpPort for a read-out; only when the port is
    // closed. The connection must be made within link.connectTimeout (the
    // answer timeout when longer), else OpenError() tells
    // "10.0.0.7:4001: brak odpowiedzi w ciągu 5000 ms"; a
    // refusal, an unknown host and a cancel are told the same way at once.
    // The exchanges then run as on a direct line.
    [[nodiscard]] bool OpenTcp(const TLinkSettings& link);

    // Opens the port for a modem, initialises it and dials; only when the
    // port is closed. Connected, the port is in frame mode (state 3); on
    // every other result it is closed again.
    [[nodiscard]] TModemResult OpenModem(const TModemDial& dial);
    // One AT command and the modem's reply line ("" when it stayed silent);
    // only in port state 2. The progress window's cancel ends the wait early.
    [[nodiscard]] std::string ModemCommand(const std::string& text);
    void SetModemTimes(const TModemTimes& times) { modemTimes_ = times; }
    [[nodiscard]] const TModemTimes& ModemTimes() const { return modemTimes_; }

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
    // Only the module's own tests use it, to run a command-mode exchange on a
    // line without a modem; OpenModem and ClosePort keep the state themselves.
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
    [[nodiscard]] bool OpenLine(const TLinkSettings& link);
    void CloseLine();
    // The device the exchanges run on: the socket in port state 5, else the serial port.
    [[nodiscard]] QIODevice* Line() const;
    [[nodiscard]] bool LineOpen() const;
    // Drops what the line holds before a request is sent.
    void PurgeLine();
    // Waits, pumping the event loop, for the connection OpenTcp started; the reason when it failed.
    [[nodiscard]] std::string AwaitConnection(int32_t timeoutMs);
    [[nodiscard]] bool TcpConnected() const;
    void CloseSocket();
    void OnDisconnected();
    void StartExchange(bool frameMode);
    // ModemCommand in two halves: the command sent, then its reply awaited,
    // cut short by cancel only when `cancellable`.
    void BeginCommand(const std::string& text);
    [[nodiscard]] std::string AwaitCommand(bool cancellable);
    [[nodiscard]] bool InitModem(const TModemDial& dial);
    // Sends the dial command(s); false when the user declined a question.
    [[nodiscard]] bool Dial(const std::string& number, std::string& reply);
    [[nodiscard]] TModemResult AbortDial();
    [[nodiscard]] TModemResult FailModem(TModemResult result);
    void HangUp();
    void DropDtr();
    [[nodiscard]] bool Interrupted() const;
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
    QTcpSocket* socket_;
    QTimer timer_;
    QElapsedTimer clock_;
    ITxProgress* progress_ = nullptr;
    std::string settingsFile_;
    uint8_t portState_ = PortClosed;
    int32_t baud_ = 0;
    std::string openError_;
    TExchange ex_;
    TModemTimes modemTimes_;
};

} // namespace kiv
