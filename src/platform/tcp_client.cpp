#include "platform/tcp_client.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace platform {

TcpClient::TcpClient(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this)) {
    connect(socket_, &QTcpSocket::connected, this, [this] {
        connected_ = true;
        if (onConnect) onConnect(0);
    });
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        if (onReceive) onReceive();
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // Errors of an established connection end in disconnected below.
        if (!connected_ && onConnect) onConnect(static_cast<int>(error) + 1);
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!connected_) return;
        connected_ = false;
        if (onClose) onClose();
    });
}

TcpClient::~TcpClient() {
    socket_->disconnect(this);
    socket_->abort();
}

void TcpClient::Connect(const std::string& address, std::uint16_t port) {
    connected_ = false;
    socket_->abort();
    socket_->connectToHost(QHostAddress(QString::fromStdString(address)), port);
}

bool TcpClient::IsConnected() const {
    return connected_ && socket_->state() == QAbstractSocket::ConnectedState;
}

int TcpClient::Receive(std::uint8_t* buffer, int capacity) {
    if (capacity <= 0) return 0;
    const qint64 n = socket_->read(reinterpret_cast<char*>(buffer), capacity);
    return n > 0 ? static_cast<int>(n) : 0;
}

int TcpClient::Available() const { return static_cast<int>(socket_->bytesAvailable()); }

int TcpClient::Send(const std::uint8_t* data, int size) {
    if (!IsConnected()) return -1;
    const qint64 n = socket_->write(reinterpret_cast<const char*>(data), size);
    socket_->flush();
    return static_cast<int>(n);
}

void TcpClient::Close() {
    connected_ = false;
    socket_->abort();
}

}  // namespace platform
