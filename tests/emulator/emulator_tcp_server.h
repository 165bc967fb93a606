#pragma once
// The emulator reachable over TCP on 127.0.0.1, on an ephemeral port. One
// connection at a time: a new one replaces the last, as the link makes a
// fresh socket for every attempt.
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <cstdint>
#include <deque>

#include "emulator/device_emulator.h"

class QTcpSocket;

namespace emu {

class EmulatorTcpServer : public QObject {
public:
    explicit EmulatorTcpServer(DeviceEmulator& device, QObject* parent = nullptr);
    ~EmulatorTcpServer() override;

    // Listens on 127.0.0.1 with a port of the system's choice.
    bool Listen();
    std::uint16_t Port() const;
    // Stops listening and drops the connection.
    void Close();
    int Accepted() const { return accepted_; }

private:
    void OnNewConnection();
    void OnReadyRead();
    void Deliver(const Bytes& bytes);
    void TrickleOne();

    DeviceEmulator& device_;
    QTcpServer server_;
    QPointer<QTcpSocket> peer_;
    int accepted_ = 0;
    struct Trickled {
        std::uint8_t byte;
        bool last;
    };
    std::deque<Trickled> trickle_;
    QTimer trickle_timer_;
};

// A loopback port that nothing listens on (it was free a moment ago).
std::uint16_t UnusedLoopbackPort();

}  // namespace emu
