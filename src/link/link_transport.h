#pragma once
// One carriage of frames to the unit: the USB HID device or the TCP socket.
// The link sequencer owns one of each and uses the one LinkType names.
#include <cstdint>

enum class SendResult {
    kSent,     // the frame went out; a reply is awaited
    kNotSent,  // nothing is open or connected; nothing went out
    kFailed,   // the write failed: the device is gone
};

struct PollResult {
    int count = 0;        // bytes delivered to the buffer
    bool failed = false;  // the reader reported an error or a time-out
};

class LinkTransport {
public:
    virtual ~LinkTransport() = default;
    // USB: finds and opens the device, false when there is none. WiFi:
    // makes a fresh socket and starts connecting; the result comes later.
    virtual bool Open() = 0;
    // WiFi: the connection is established. USB: the device is open.
    virtual bool IsConnected() const = 0;
    virtual SendResult Send(const std::uint8_t* frame, int size) = 0;
    // Moves what has arrived since the last poll, at most capacity bytes.
    virtual PollResult Poll(std::uint8_t* buffer, int capacity) = 0;
    // Closes whatever is open; nothing of the attempt outlives it.
    virtual void Close() = 0;
};
