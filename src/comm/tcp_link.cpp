// The TCP half of the communication module: a station behind a serial-device
// server or a GPRS modem that offers a TCP socket. Connecting waits, pumping
// the event loop, so that the time limit and a cancel are honoured; once
// connected, the exchange engine of comm_module.cpp runs on the socket.
#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include "comm/comm_log.h"
#include "comm/comm_module.h"

namespace kiv {
namespace {

constexpr int32_t kTcpPortMax = 65535;

std::string SocketErrorText(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return "połączenie odrzucone";
    case QAbstractSocket::HostNotFoundError: return "nieznany adres";
    case QAbstractSocket::NetworkError: return "sieć niedostępna";
    case QAbstractSocket::SocketTimeoutError: return "brak odpowiedzi";
    case QAbstractSocket::RemoteHostClosedError: return "połączenie zamknięte przez drugą stronę";
    case QAbstractSocket::SocketAccessError: return "brak uprawnień do połączenia";
    default: return "błąd połączenia nr " + std::to_string(static_cast<int>(error));
    }
}

} // namespace

std::string LinkText(const TLinkSettings& link) {
    if (!link.tcp)
        return link.port;
    const bool ipv6 = link.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + link.host + "]" : link.host) + ":" + std::to_string(link.tcpPort);
}

std::string OpenErrorLine(const TLinkSettings& link, const std::string& openError) {
    if (!link.tcp)
        return "Błąd otwarcia portu " + openError;
    // Without an address the reason stands alone; otherwise it follows the address tried.
    return (link.host.empty() ? "Błąd połączenia: " : "Błąd połączenia ") + openError;
}

bool TFCommModule::OpenTcp(const TLinkSettings& link) {
    const std::string where = LinkText(link);
    if (portState_ != PortClosed) {
        openError_ = where + ": port jest już otwarty";
        ShowConnection(OpenErrorLine(link, openError_));
        return false;
    }
    if (link.host.empty())
        openError_ = kNoStationAddress;
    else if (link.tcpPort < 1 || link.tcpPort > kTcpPortMax)
        openError_ = where + ": niepoprawny numer portu (PortRemote)";
    else
        openError_.clear();
    if (openError_.empty()) {
        ShowConnection("Łączenie z " + where);
        socket_->abort();
        socket_->setProxy(QNetworkProxy::NoProxy);
        socket_->connectToHost(QString::fromStdString(link.host), static_cast<quint16>(link.tcpPort));
        const std::string reason = AwaitConnection(std::max(link.connectTimeout, link.answerTimeout));
        if (!reason.empty())
            openError_ = where + ": " + reason;
    }
    if (!openError_.empty()) {
        CloseSocket();
        ShowConnection(OpenErrorLine(link, openError_));
        if (!ex_.logFile.empty())
            (void)WriteCommNote(ex_.logFile, OpenErrorLine(link, openError_));
        return false;
    }
    // A request is one small write; it must not wait for more to join it.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    ShowConnection("Połączono z " + where);
    ex_.txState = TxState::Idle;
    ex_.result = TxResult::NoReply;
    ex_.charTimeout = link.charTimeout;
    ex_.answerTimeout = link.answerTimeout;
    ex_.rtsOffDelay = 0;
    ex_.rtsOnDelay = 0;
    ex_.silence = link.silence;
    ex_.halfDuplex = 0; // no modem-control lines on a connection
    baud_ = 0;
    portState_ = PortTcp;
    return true;
}

// The connection has its limit to come up, checked at the module's
// 100 ms grain like every other limit; an empty text once it is up.
std::string TFCommModule::AwaitConnection(int32_t timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    QTimer tick; // wakes the loop for the limit and the cancel even when the socket is quiet
    tick.start(kTimerInterval);
    while (!TcpConnected()) {
        if (socket_->state() == QAbstractSocket::UnconnectedState)
            return SocketErrorText(socket_->error());
        if (Interrupted())
            return "łączenie przerwane";
        if (waited.elapsed() > timeoutMs)
            return "brak odpowiedzi w ciągu " + std::to_string(timeoutMs) + " ms";
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return {};
}

bool TFCommModule::TcpConnected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

void TFCommModule::CloseSocket() {
    timer_.stop();
    socket_->abort();
}

// The far end hung up: the exchange waiting for it ends with what came, and
// every later request of the read-out ends at once with no reply.
void TFCommModule::OnDisconnected() {
    if (portState_ != PortTcp)
        return;
    ShowConnection("Połączenie zamknięte przez drugą stronę");
    ReadReply();
    if (ex_.txState != TxState::Idle && ex_.txState != TxState::Done && ex_.txState != TxState::Checking)
        Complete();
}

} // namespace kiv
