#include "emulator/emulator_tcp_server.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace emu {

namespace {
// Trickled bytes go out this often, so one reply spans several link polls.
constexpr int kTrickleMs = 3;
}  // namespace

EmulatorTcpServer::EmulatorTcpServer(DeviceEmulator& device, QObject* parent)
    : QObject(parent), device_(device) {
    connect(&server_, &QTcpServer::newConnection, this, &EmulatorTcpServer::OnNewConnection);
    trickle_timer_.setInterval(kTrickleMs);
    connect(&trickle_timer_, &QTimer::timeout, this, &EmulatorTcpServer::TrickleOne);
}

EmulatorTcpServer::~EmulatorTcpServer() { Close(); }

bool EmulatorTcpServer::Listen() { return server_.listen(QHostAddress::LocalHost, 0); }

std::uint16_t EmulatorTcpServer::Port() const { return server_.serverPort(); }

void EmulatorTcpServer::Close() {
    server_.close();
    trickle_timer_.stop();
    trickle_.clear();
    if (peer_) {
        peer_->abort();
        peer_->deleteLater();
    }
    device_.OnDisconnect();
}

void EmulatorTcpServer::OnNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++accepted_;
        if (peer_) {
            peer_->abort();
            peer_->deleteLater();
        }
        trickle_.clear();
        trickle_timer_.stop();
        device_.OnDisconnect();
        peer_ = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (device_.GetKnobs().closeAfterConnect) {
            socket->disconnectFromHost();
            continue;
        }
        connect(socket, &QTcpSocket::readyRead, this, &EmulatorTcpServer::OnReadyRead);
    }
}

void EmulatorTcpServer::OnReadyRead() {
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != peer_) return;
    const QByteArray in = socket->readAll();
    const auto replies = device_.OnHostBytes(reinterpret_cast<const std::uint8_t*>(in.constData()),
                                             static_cast<std::size_t>(in.size()));
    for (const OutgoingReply& r : replies) {
        if (r.delayTicks <= 0) {
            Deliver(r.bytes);
        } else {
            QPointer<QTcpSocket> target = socket;
            QTimer::singleShot(r.delayTicks * DeviceEmulator::kTickMs, this, [this, target, r] {
                if (target && target == peer_) Deliver(r.bytes);
            });
        }
    }
}

void EmulatorTcpServer::Deliver(const Bytes& bytes) {
    if (!peer_) return;
    switch (device_.GetKnobs().tcpSplit) {
        case TcpSplit::kWhole:
            peer_->write(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qint64>(bytes.size()));
            device_.OnReplyDelivered();
            break;
        case TcpSplit::kWithExtraFrame: {
            Bytes both = bytes;
            const Bytes extra = EncodeReply(DeviceEmulator::kExtraCode, {0});
            both.insert(both.end(), extra.begin(), extra.end());
            peer_->write(reinterpret_cast<const char*>(both.data()),
                         static_cast<qint64>(both.size()));
            device_.OnReplyDelivered();
            break;
        }
        case TcpSplit::kSingleBytes:
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                trickle_.push_back({bytes[i], i + 1 == bytes.size()});
            }
            if (!trickle_timer_.isActive()) trickle_timer_.start();
            break;
    }
    peer_->flush();
}

void EmulatorTcpServer::TrickleOne() {
    if (trickle_.empty() || !peer_) {
        trickle_timer_.stop();
        return;
    }
    const Trickled t = trickle_.front();
    trickle_.pop_front();
    peer_->write(reinterpret_cast<const char*>(&t.byte), 1);
    peer_->flush();
    if (t.last) device_.OnReplyDelivered();
}

std::uint16_t UnusedLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const std::uint16_t port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace emu
