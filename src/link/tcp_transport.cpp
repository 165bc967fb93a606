#include "link/tcp_transport.h"

#include <algorithm>
#include <utility>

#include "platform/tcp_client.h"

TcpTransport::TcpTransport(std::string address, std::uint16_t port)
    : address_(std::move(address)), port_(port) {}

TcpTransport::~TcpTransport() = default;

bool TcpTransport::Open() {
    Close();
    ring_.Clear();
    client_ = std::make_unique<platform::TcpClient>();
    client_->onConnect = [this](int error) {
        if (error == 0) connected_ = true;
    };
    client_->onReceive = [this] { FillSocketRing(); };
    client_->Connect(address_, port_);
    return true;
}

void TcpTransport::Close() {
    client_.reset();
    connected_ = false;
}

SendResult TcpTransport::Send(const std::uint8_t* frame, int size) {
    if (!client_ || !connected_) return SendResult::kNotSent;
    // A failed or short send is not looked at: the reply time-out ends it.
    client_->Send(frame, size);
    return SendResult::kSent;
}

// Takes what fits in the ring; the rest waits in the socket until the tick
// has drained the ring.
void TcpTransport::FillSocketRing() {
    if (!client_) return;
    std::uint8_t chunk[SocketRing::kCapacity];
    const int n = client_->Receive(chunk, ring_.Free());
    if (n > 0) ring_.Write(chunk, n);
}

PollResult TcpTransport::Poll(std::uint8_t* buffer, int capacity) {
    PollResult result;
    result.count = ring_.Read(buffer, capacity);
    // Bytes left in the socket when the ring was full.
    if (client_ && client_->Available() > 0) FillSocketRing();
    return result;
}
