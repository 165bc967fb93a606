#pragma once
// A fake of the unit's WiFi module for the set-up dialog's tests, reachable
// over TCP on 127.0.0.1 only, on a port of the system's choice. It cuts the
// host's bytes into the module's frames and records every one; it answers a
// keep-alive with three bytes of its own (unless told not to) and each AP or
// STA frame as the test's script says. One connection at a time: a new one
// replaces the last.
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <cstdint>
#include <deque>
#include <vector>

class QTcpSocket;

namespace emu {

using WifiBytes = std::vector<std::uint8_t>;

// What the fake does with an AP or STA frame.
struct WifiAnswer {
    enum Kind {
        kStatus,     // 55, the command, status: a reply
        kFourBytes,  // 55, the command, status, 0 in one write: no reply
        kSplit,      // the reply's first byte now, the rest on ReleaseHeld
        kSilence,    // nothing
        kClose,      // closes the connection
    };
    Kind kind = kStatus;
    std::uint8_t status = 1;
};

class FakeWifiModule : public QObject {
public:
    static constexpr std::uint8_t kKeepAliveAnswer[3] = {0x04, 0x01, 0x0A};

    explicit FakeWifiModule(QObject* parent = nullptr);
    ~FakeWifiModule() override;

    // Listens on 127.0.0.1 with a port of the system's choice.
    bool Listen();
    // Stops listening (a connect is refused) and keeps the connection.
    void StopListening();
    // Listens on 127.0.0.1 again, on the port Listen got.
    bool ListenAgain();
    std::uint16_t Port() const { return port_; }

    // Answers to the coming AP and STA frames, in order; with none left,
    // status 1.
    void Script(std::vector<WifiAnswer> answers);
    void SetAnswerKeepAlive(bool answer) { answerKeepAlive_ = answer; }
    // Writes bytes to the host now.
    void Write(const WifiBytes& bytes);
    // Sends what a kSplit answer held back.
    void ReleaseHeld();
    // Closes the connection from the module's side.
    void Drop();

    // Every frame received, whole: a keep-alive, an AP or STA frame, or a
    // single byte that begins none of them.
    const std::vector<WifiBytes>& Frames() const { return frames_; }
    int KeepAlives() const;
    int Accepted() const { return accepted_; }
    bool PeerConnected() const;

private:
    void OnNewConnection();
    void OnReadyRead();
    void OnFrame(const WifiBytes& frame);

    QTcpServer server_;
    std::uint16_t port_ = 0;
    QPointer<QTcpSocket> peer_;
    int accepted_ = 0;
    bool answerKeepAlive_ = true;
    std::deque<WifiAnswer> script_;
    WifiBytes input_;
    WifiBytes held_;
    std::vector<WifiBytes> frames_;
};

}  // namespace emu
