#pragma once
// The WiFi side of the link: a TCP connection to the unit on its access
// point. Every attempt gets a fresh socket. Received bytes wait in the
// SocketRing until the link tick drains them; notifications arrive on the UI
// thread, so the ring needs no lock.
#include <cstdint>
#include <memory>
#include <string>

#include "link/link_transport.h"
#include "link/socket_ring.h"

namespace platform {
class TcpClient;
}

class TcpTransport : public LinkTransport {
public:
    TcpTransport(std::string address, std::uint16_t port);
    ~TcpTransport() override;

    // Always true: the connect result comes later (IsConnected).
    bool Open() override;
    // Set once the connection is established, for the rest of the attempt:
    // a connection the unit closes is noticed through the reply time-outs.
    bool IsConnected() const override { return connected_; }
    SendResult Send(const std::uint8_t* frame, int size) override;
    PollResult Poll(std::uint8_t* buffer, int capacity) override;
    void Close() override;

    bool HasSocket() const { return client_ != nullptr; }

private:
    void FillSocketRing();

    const std::string address_;
    const std::uint16_t port_;
    std::unique_ptr<platform::TcpClient> client_;
    bool connected_ = false;
    SocketRing ring_;
};
