#include "emulator/fake_wifi_module.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace emu {

namespace {

// Frame lengths by first byte, written here from the module's protocol, not
// taken from the product.
constexpr std::uint8_t kKeepAliveFirst = 0x04;
constexpr std::size_t kKeepAliveLength = 3;
constexpr std::uint8_t kSetAp = 0x01;
constexpr std::uint8_t kSetSta = 0x02;
constexpr std::size_t kSetLength = 99;

std::size_t FrameLength(std::uint8_t first) {
    if (first == kKeepAliveFirst) return kKeepAliveLength;
    if (first == kSetAp || first == kSetSta) return kSetLength;
    return 1;
}

}  // namespace

FakeWifiModule::FakeWifiModule(QObject* parent) : QObject(parent) {
    connect(&server_, &QTcpServer::newConnection, this, &FakeWifiModule::OnNewConnection);
}

FakeWifiModule::~FakeWifiModule() {
    server_.close();
    if (peer_) peer_->abort();
}

bool FakeWifiModule::Listen() {
    if (!server_.listen(QHostAddress::LocalHost, 0)) return false;
    port_ = server_.serverPort();
    return true;
}

void FakeWifiModule::StopListening() { server_.close(); }

bool FakeWifiModule::ListenAgain() {
    return port_ != 0 && server_.listen(QHostAddress::LocalHost, port_);
}

void FakeWifiModule::Script(std::vector<WifiAnswer> answers) {
    script_.assign(answers.begin(), answers.end());
}

void FakeWifiModule::Write(const WifiBytes& bytes) {
    if (!peer_) return;
    peer_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    peer_->flush();
}

void FakeWifiModule::ReleaseHeld() {
    Write(held_);
    held_.clear();
}

void FakeWifiModule::Drop() {
    if (peer_) peer_->disconnectFromHost();
}

int FakeWifiModule::KeepAlives() const {
    int n = 0;
    for (const WifiBytes& f : frames_) n += f.size() == kKeepAliveLength && f[0] == kKeepAliveFirst;
    return n;
}

bool FakeWifiModule::PeerConnected() const {
    return peer_ && peer_->state() == QAbstractSocket::ConnectedState;
}

void FakeWifiModule::OnNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++accepted_;
        if (peer_) {
            peer_->abort();
            peer_->deleteLater();
        }
        peer_ = socket;
        input_.clear();
        held_.clear();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &FakeWifiModule::OnReadyRead);
    }
}

void FakeWifiModule::OnReadyRead() {
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != peer_) return;
    const QByteArray in = socket->readAll();
    input_.insert(input_.end(), in.begin(), in.end());
    while (!input_.empty()) {
        const std::size_t length = FrameLength(input_[0]);
        if (input_.size() < length) break;
        const WifiBytes frame(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(length));
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(length));
        frames_.push_back(frame);
        OnFrame(frame);
    }
}

void FakeWifiModule::OnFrame(const WifiBytes& frame) {
    if (frame.size() == kKeepAliveLength) {
        if (answerKeepAlive_)
            Write(WifiBytes(std::begin(kKeepAliveAnswer), std::end(kKeepAliveAnswer)));
        return;
    }
    if (frame.size() != kSetLength) return;
    WifiAnswer answer;
    if (!script_.empty()) {
        answer = script_.front();
        script_.pop_front();
    }
    const std::uint8_t command = frame[0];
    switch (answer.kind) {
        case WifiAnswer::kStatus:
            Write({0x55, command, answer.status});
            break;
        case WifiAnswer::kFourBytes:
            Write({0x55, command, answer.status, 0x00});
            break;
        case WifiAnswer::kSplit:
            Write({0x55});
            held_ = {command, answer.status};
            break;
        case WifiAnswer::kSilence:
            break;
        case WifiAnswer::kClose:
            Drop();
            break;
    }
}

}  // namespace emu
