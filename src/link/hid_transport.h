#pragma once
// The USB side of the link. The unit is a HID device; each frame goes out as
// output reports of report id 0 plus 64 bytes, and one input report carries
// each reply. A reader thread owns the open device: it writes the reports
// the UI thread hands it, then waits up to 3000 ms for the first input
// report of that request and goes on reading reports until the next
// request, since the unit may send a frame nobody asked for, in a report of
// its own, before the reply. The UI thread takes what has come at its next
// poll.
//
// The hand-over is guarded by one mutex. Each request has a number: a read
// that completes for an older request is dropped, and before every write the
// thread throws away input reports still queued from earlier requests, so a
// late report never lands as the answer to a newer request.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "link/link_transport.h"
#include "platform/hid.h"

class HidTransport : public LinkTransport {
public:
    static constexpr int kReadTimeoutMs = 3000;
    // The reader looks for a newer request or a stop this often while it
    // waits for a report.
    static constexpr int kReadSliceMs = 20;
    static constexpr std::size_t kMaxFrame = 2048;

    HidTransport(std::uint16_t vendorId, std::uint16_t productId,
                 int readTimeoutMs = kReadTimeoutMs);
    ~HidTransport() override;

    // False when no device matches, or at once when one is already open.
    bool Open() override;
    bool IsConnected() const override { return device_ != nullptr; }
    // Blocks until the reader thread has written every report of the frame.
    SendResult Send(const std::uint8_t* frame, int size) override;
    PollResult Poll(std::uint8_t* buffer, int capacity) override;
    // Stops and joins the reader thread, then closes the device.
    void Close() override;

private:
    void ReaderLoop();
    int WriteFrame(const std::uint8_t* frame, std::size_t size);
    void ReadReply(std::uint64_t request);

    const std::uint16_t vendor_id_;
    const std::uint16_t product_id_;
    const int read_timeout_ms_;
    // Set before the thread starts and reset after it is joined.
    std::unique_ptr<platform::HidDevice> device_;
    std::thread reader_;

    std::mutex mutex_;
    std::condition_variable wake_;  // the reader: a write or a stop
    std::condition_variable done_;  // the UI thread: the write is done
    bool stop_ = false;
    bool write_requested_ = false;
    bool write_done_ = false;
    int write_result_ = 0;
    // The frame being handed over; the reader writes from its own copy.
    std::array<std::uint8_t, kMaxFrame> frame_{};
    std::size_t frame_size_ = 0;
    std::uint64_t request_ = 0;
    // 0 nothing yet, 1 reports are ready, -1 time-out, -2 read error
    int read_status_ = 0;
    // The reports read for the request since the last poll, one after the
    // other; what does not fit waits for no one.
    std::array<std::uint8_t, kMaxFrame> input_{};
    int input_count_ = 0;
};
