#include "comm/comm_module.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTcpSocket>

#include <algorithm>
#include <cctype>
#include <cstring>

#include <unistd.h>

#include "comm/comm_log.h"
#include "comm/link_frame.h"
#include "comm/progress.h"
#include "config/program_settings.h"

namespace kiv {
namespace {

TFCommModule* g_instance = nullptr;

constexpr int32_t kFallbackRate = 115200;

QSerialPort::Parity ParityFromText(const std::string& text) {
    switch (text.empty() ? '\0' : std::toupper(static_cast<unsigned char>(text.front()))) {
    case 'E': return QSerialPort::EvenParity;
    case 'M': return QSerialPort::MarkParity;
    case 'O': return QSerialPort::OddParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

// What was tried and the system's reason, for the progress line, the log and the command line.
std::string PortOpenError(const std::string& portText, const std::string& device, QSerialPort::SerialPortError error) {
    std::string reason;
    if (error == QSerialPort::DeviceNotFoundError || ::access(device.c_str(), F_OK) != 0)
        reason = "nie ma takiego urządzenia";
    else if (::access(device.c_str(), R_OK | W_OK) != 0)
        reason = "brak uprawnień do urządzenia";
    else if (error == QSerialPort::PermissionError)
        reason = "port zajęty przez inny program";
    else
        reason = "błąd portu nr " + std::to_string(static_cast<int>(error));
    const std::string tried = device == portText ? portText : portText + " (" + device + ")";
    return tried + ": " + reason;
}

} // namespace

TFCommModule::TFCommModule(QObject* parent)
    : QObject(parent), port_(new QSerialPort(this)), socket_(new QTcpSocket(this)) {
    if (g_instance == nullptr)
        g_instance = this;
    timer_.setInterval(kTimerInterval);
    connect(&timer_, &QTimer::timeout, this, &TFCommModule::OnTimer);
    connect(port_, &QSerialPort::bytesWritten, this, &TFCommModule::OnBytesWritten);
    connect(port_, &QSerialPort::readyRead, this, &TFCommModule::OnReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &TFCommModule::OnBytesWritten);
    connect(socket_, &QTcpSocket::readyRead, this, &TFCommModule::OnReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &TFCommModule::OnDisconnected);
}

TFCommModule::~TFCommModule() {
    if (port_->isOpen())
        port_->close();
    portState_ = PortClosed;
    socket_->abort();
    if (g_instance == this)
        g_instance = nullptr;
}

TFCommModule* TFCommModule::Instance() {
    return g_instance;
}

bool TFCommModule::IsBaudRateSupported(int32_t rate) {
    return std::find(std::begin(kBaudRates), std::end(kBaudRates), rate) != std::end(kBaudRates);
}

std::string TFCommModule::PortDeviceFor(const std::string& portText) const {
    return PortDeviceName(settingsFile_, portText);
}

bool TFCommModule::OpenDirect(const TLinkSettings& link) {
    if (portState_ != PortClosed) {
        openError_ = link.port + ": port jest już otwarty";
        ShowConnection("Błąd otwarcia portu " + openError_);
        return false;
    }
    if (!OpenLine(link))
        return false;
    ShowConnection("Port otwarty, " + std::to_string(baud_) + "Bd");
    // A line without modem control (a pseudo-terminal, some adapters)
    // refuses DTR and RTS; the port is open all the same.
    if (!port_->setDataTerminalReady(link.dtr) || !port_->setRequestToSend(link.rts))
        port_->clearError();
    ex_.txState = TxState::Idle;
    ex_.result = TxResult::NoReply;
    ex_.charTimeout = link.charTimeout;
    ex_.answerTimeout = link.answerTimeout;
    ex_.rtsOffDelay = link.rtsOffDelay;
    ex_.rtsOnDelay = link.rtsOnDelay;
    ex_.silence = link.silence;
    ex_.halfDuplex = link.halfDuplex ? 1 : 0;
    portState_ = PortDirect;
    return true;
}

// The port itself, for a direct line and a modem alike: speed (outside the
// list 115200), parity, one stop bit, no flow control.
bool TFCommModule::OpenLine(const TLinkSettings& link) {
    const int32_t rate = IsBaudRateSupported(link.baud) ? link.baud : kFallbackRate;
    const std::string device = link.device.empty() ? PortDeviceFor(link.port) : link.device;
    port_->setPortName(QString::fromStdString(device));
    port_->setBaudRate(rate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(ParityFromText(link.parity));
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        openError_ = PortOpenError(link.port, device, port_->error());
        ShowConnection("Błąd otwarcia portu " + openError_);
        if (!ex_.logFile.empty())
            (void)WriteCommNote(ex_.logFile, "Błąd otwarcia portu " + openError_);
        return false;
    }
    openError_.clear();
    baud_ = rate;
    return true;
}

void TFCommModule::CloseLine() {
    timer_.stop();
    if (port_->isOpen())
        port_->close();
}

bool TFCommModule::ClosePort() {
    if (portState_ == PortModemOnline) {
        HangUp(); // closes the line and tells how the modem took it
        portState_ = PortClosed;
        return true;
    }
    if (portState_ == PortTcp) {
        portState_ = PortClosed;
        CloseSocket();
        ShowConnection("Połączenie zamknięte");
        return true;
    }
    const bool wasOpen = portState_ == PortDirect || portState_ == PortModemCommand;
    CloseLine();
    if (wasOpen)
        ShowConnection("Port zamknięty");
    portState_ = PortClosed;
    return true;
}

void TFCommModule::SendFrame(uint8_t kind, uint16_t secondAddress, uint16_t dataLength, const uint8_t* data,
                             uint16_t deviceAddress) {
    const uint16_t room = kTxBufferSize - kFrameOverhead;
    const std::vector<uint8_t> frame =
        BuildFrame(RequestCode(kind), secondAddress, data, std::min(dataLength, room), deviceAddress);
    std::copy(frame.begin(), frame.end(), ex_.txBuffer.begin());
    ex_.txLength = static_cast<uint16_t>(frame.size());
    if (portState_ == PortDirect || portState_ == PortModemOnline || portState_ == PortTcp)
        StartExchange(true);
}

void TFCommModule::SendCommand(const std::string& text) {
    const std::size_t length = std::min(text.size(), kModemCommandLimit);
    std::memcpy(ex_.txBuffer.data(), text.data(), length);
    ex_.txLength = static_cast<uint16_t>(length);
    if (portState_ == PortModemCommand)
        StartExchange(false);
}

std::vector<uint8_t> TFCommModule::GetReply() const {
    return {ex_.rxBuffer.begin(), ex_.rxBuffer.begin() + ex_.rxCount};
}

char TFCommModule::ParityLetter() const {
    switch (port_->parity()) {
    case QSerialPort::EvenParity: return 'E';
    case QSerialPort::OddParity: return 'O';
    case QSerialPort::MarkParity: return 'M';
    case QSerialPort::SpaceParity: return 'S';
    default: return 'N';
    }
}

TxResult TFCommModule::WaitForExchange() {
    while (ex_.txState != TxState::Idle && ex_.txState != TxState::Done && LineOpen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return ex_.result;
}

void TFCommModule::StartExchange(bool frameMode) {
    ex_.rxCount = 0;
    ex_.frameMode = frameMode ? 1 : 0;
    ex_.frameStart = -1;
    ex_.expectedLength = 0;
    PurgeLine();
    RestartElapsed();
    SetTxState(TxState::Silence);
    timer_.start();
    // Nothing to wait for: the request goes out now rather than at the next tick.
    if (ex_.silence <= 0)
        LeaveSilence();
}

void TFCommModule::OnTimer() {
    ex_.elapsed = static_cast<int32_t>(clock_.elapsed());
    if (portState_ == PortDirect || portState_ == PortModemCommand || portState_ == PortModemOnline ||
        portState_ == PortTcp)
        Step();
}

QIODevice* TFCommModule::Line() const {
    if (portState_ == PortTcp)
        return socket_;
    return port_;
}

bool TFCommModule::LineOpen() const {
    return Line()->isOpen();
}

// A serial port drops both buffers; a connection drops what has arrived,
// also what the system holds that the socket has not taken in yet, so that a
// late reply to an earlier request is not taken for the next one's.
void TFCommModule::PurgeLine() {
    if (portState_ == PortTcp) {
        (void)socket_->waitForReadyRead(0);
        (void)socket_->readAll();
    } else {
        port_->clear(QSerialPort::AllDirections);
    }
}

// Limits are checked against the real time since the state began, so a
// limit of t ms ends at the first tick after t: between t and t + 100 ms.
void TFCommModule::Step() {
    switch (ex_.txState) {
    case TxState::Silence:
        if (ex_.elapsed > ex_.silence)
            LeaveSilence();
        break;
    case TxState::RtsOn:
        if (ex_.elapsed > ex_.rtsOnDelay) {
            RestartElapsed();
            Send();
        }
        break;
    case TxState::Sending:
        if (ex_.elapsed > kSendLimit) {
            ex_.result = TxResult::SendTimeout;
            SetTxState(TxState::Done);
        }
        break;
    case TxState::RtsOff:
        if (ex_.elapsed > ex_.rtsOffDelay)
            AwaitAnswer();
        break;
    case TxState::AwaitAnswer:
        if (ex_.elapsed > ex_.answerTimeout)
            Complete();
        break;
    case TxState::Receiving:
        if (ex_.elapsed > ex_.charTimeout)
            Complete();
        break;
    default:
        break;
    }
}

void TFCommModule::LeaveSilence() {
    RestartElapsed();
    if (ex_.halfDuplex != 0) {
        port_->setRequestToSend(true);
        SetTxState(TxState::RtsOn);
        if (ex_.rtsOnDelay <= 0)
            Send();
    } else {
        Send();
    }
}

void TFCommModule::Send() {
    // A wait for the modem's own report writes nothing.
    if (ex_.txLength == 0) {
        AwaitAnswer();
        return;
    }
    // A connection the far end has closed takes no request: nothing can answer.
    if (portState_ == PortTcp && !TcpConnected()) {
        Complete();
        return;
    }
    SetTxState(TxState::Sending);
    Line()->write(reinterpret_cast<const char*>(ex_.txBuffer.data()), ex_.txLength);
    if (!ex_.logFile.empty())
        WriteCommLog(ex_.logFile, ex_.txBuffer.data(), ex_.txLength, kLogSent);
}

void TFCommModule::OnBytesWritten() {
    if (ex_.txState != TxState::Sending || Line()->bytesToWrite() > 0)
        return;
    RestartElapsed();
    if (ex_.halfDuplex != 0 && ex_.rtsOffDelay > 0)
        SetTxState(TxState::RtsOff);
    else
        AwaitAnswer();
}

void TFCommModule::AwaitAnswer() {
    RestartElapsed();
    if (ex_.halfDuplex != 0)
        port_->setRequestToSend(false);
    SetTxState(TxState::AwaitAnswer);
    ReadReply(); // a reply may already wait in the port
}

void TFCommModule::OnReadyRead() {
    ReadReply();
}

// Takes what the port holds into the receive buffer. Bytes that arrive
// while no exchange waits for them stay in the port until the next purge.
void TFCommModule::ReadReply() {
    if (ex_.txState != TxState::AwaitAnswer && ex_.txState != TxState::Receiving)
        return;
    QIODevice* line = Line();
    const qint64 available = line->bytesAvailable();
    if (available <= 0)
        return;
    if (ex_.txState == TxState::AwaitAnswer)
        SetTxState(TxState::Receiving);
    RestartElapsed();
    const qint64 room = kRxLimit - ex_.rxCount;
    const qint64 got = line->read(reinterpret_cast<char*>(ex_.rxBuffer.data() + ex_.rxCount), std::min(available, room));
    if (got > 0)
        ex_.rxCount = static_cast<uint16_t>(ex_.rxCount + got);
    if (available > room) {
        Complete(); // an overlong reply ends with what fits
        return;
    }
    if (ex_.frameMode == 0)
        return;
    if (ex_.frameStart < 0) {
        const auto* start = static_cast<const uint8_t*>(std::memchr(ex_.rxBuffer.data(), kFrameStart, ex_.rxCount));
        if (start != nullptr)
            ex_.frameStart = static_cast<int32_t>(start - ex_.rxBuffer.data());
    }
    if (ex_.frameStart < 0)
        return;
    const int32_t fromStart = ex_.rxCount - ex_.frameStart;
    if (ex_.expectedLength == 0 && fromStart >= 3) {
        const uint16_t len = static_cast<uint16_t>(ex_.rxBuffer[ex_.frameStart + 1] |
                                                   ex_.rxBuffer[ex_.frameStart + 2] << 8);
        ex_.expectedLength = static_cast<uint16_t>(std::min<uint32_t>(len + kLenExtra, 0xFFFF));
    }
    if (ex_.expectedLength != 0 && fromStart >= ex_.expectedLength)
        Complete();
}

void TFCommModule::Complete() {
    SetTxState(TxState::Checking);
    if (!ex_.logFile.empty())
        WriteCommLog(ex_.logFile, ex_.rxBuffer.data(), ex_.rxCount, kLogReceived);
    if (ex_.rxCount == 0) {
        ex_.result = TxResult::NoReply;
    } else if (ex_.frameMode != 0) {
        std::size_t count = ex_.rxCount;
        const bool good = CheckFrame(ex_.rxBuffer.data(), count);
        ex_.rxCount = static_cast<uint16_t>(count);
        ex_.result = good ? TxResult::Good : TxResult::BadFrame;
    } else {
        ex_.result = TxResult::Good;
    }
    SetTxState(TxState::Done);
}

// The lamps follow the exchange: sending, waiting for the answer, receiving.
void TFCommModule::SetTxState(TxState state) {
    ex_.txState = state;
    if (progress_ != nullptr) {
        progress_->SetLamp(TxLamp::Transmit, state == TxState::Sending);
        progress_->SetLamp(TxLamp::Wait, state == TxState::AwaitAnswer);
        progress_->SetLamp(TxLamp::Receive, state == TxState::Receiving);
    }
    if (state == TxState::Done)
        timer_.stop();
    emit txStateChanged(state);
    if (state == TxState::Done)
        emit exchangeFinished(ex_.result);
}

void TFCommModule::RestartElapsed() {
    clock_.restart();
    ex_.elapsed = 0;
}

void TFCommModule::ShowConnection(const std::string& text) {
    if (progress_ != nullptr)
        progress_->SetConnection(text);
}

} // namespace kiv
