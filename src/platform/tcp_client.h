#pragma once
// An asynchronous TCP client. Connect returns at once; the connect result,
// arriving data and the peer's close are reported on the UI thread from the
// event loop, never from inside a call on the client.
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

class QTcpSocket;

namespace platform {

class TcpClient : public QObject {
    Q_OBJECT
public:
    explicit TcpClient(QObject* parent = nullptr);
    // Closes the connection. Not to be destroyed from inside one of its own
    // notifications.
    ~TcpClient() override;

    // error 0: connected; any other value: the attempt failed.
    std::function<void(int error)> onConnect;
    // Bytes are waiting; take them with Receive.
    std::function<void()> onReceive;
    // The peer closed an established connection, or it broke.
    std::function<void()> onClose;

    // address: dotted IPv4.
    void Connect(const std::string& address, std::uint16_t port);
    bool IsConnected() const;
    // Takes at most capacity waiting bytes; returns how many, 0 when none.
    int Receive(std::uint8_t* buffer, int capacity);
    int Available() const;
    // Queues the bytes for sending; -1 when not connected.
    int Send(const std::uint8_t* data, int size);
    void Close();

private:
    QTcpSocket* socket_;
    bool connected_ = false;
};

}  // namespace platform
