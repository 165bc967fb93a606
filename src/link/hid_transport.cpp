#include "link/hid_transport.h"

#include <algorithm>
#include <chrono>
#include <cstring>

HidTransport::HidTransport(std::uint16_t vendorId, std::uint16_t productId, int readTimeoutMs)
    : vendor_id_(vendorId), product_id_(productId), read_timeout_ms_(readTimeoutMs) {}

HidTransport::~HidTransport() { Close(); }

bool HidTransport::Open() {
    if (device_) return false;
    device_ = platform::OpenFirstHidDevice(vendor_id_, product_id_);
    if (!device_) return false;
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        write_requested_ = false;
        write_done_ = false;
        read_status_ = 0;
        input_count_ = 0;
    }
    reader_ = std::thread(&HidTransport::ReaderLoop, this);
    return true;
}

void HidTransport::Close() {
    if (reader_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        reader_.join();
    }
    device_.reset();
}

SendResult HidTransport::Send(const std::uint8_t* frame, int size) {
    if (!device_ || size <= 0 || static_cast<std::size_t>(size) > kMaxFrame) {
        return SendResult::kNotSent;
    }
    std::unique_lock lock(mutex_);
    std::memcpy(frame_.data(), frame, static_cast<std::size_t>(size));
    frame_size_ = static_cast<std::size_t>(size);
    write_requested_ = true;
    write_done_ = false;
    ++request_;
    read_status_ = 0;
    input_count_ = 0;
    wake_.notify_all();
    done_.wait(lock, [this] { return write_done_; });
    return write_result_ > 0 ? SendResult::kSent : SendResult::kFailed;
}

PollResult HidTransport::Poll(std::uint8_t* buffer, int capacity) {
    std::lock_guard lock(mutex_);
    PollResult result;
    if (read_status_ == 1) {
        result.count = std::min(input_count_, capacity);
        std::memcpy(buffer, input_.data(), static_cast<std::size_t>(result.count));
    } else if (read_status_ < 0) {
        result.failed = true;
    }
    if (read_status_ != 0) {
        read_status_ = 0;
        input_count_ = 0;
    }
    return result;
}

void HidTransport::ReaderLoop() {
    std::array<std::uint8_t, kMaxFrame> frame;
    for (;;) {
        std::size_t size = 0;
        std::uint64_t request = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || write_requested_; });
            if (stop_) return;
            write_requested_ = false;
            size = frame_size_;
            std::memcpy(frame.data(), frame_.data(), size);
            request = request_;
        }
        const int written = WriteFrame(frame.data(), size);
        {
            std::lock_guard lock(mutex_);
            write_result_ = written;
            write_done_ = true;
        }
        done_.notify_all();
        if (written > 0) ReadReply(request);
    }
}

// Returns the bytes written, report ids included, or 0 when a write failed
// (the rest of the frame is not written).
int HidTransport::WriteFrame(const std::uint8_t* frame, std::size_t size) {
    // Reports still queued answer earlier requests, whose time is over.
    std::uint8_t stale[platform::kHidReportSize];
    while (device_->ReadReport(stale, sizeof stale, 0) > 0) {
    }
    int total = 0;
    for (std::size_t at = 0; at < size; at += platform::kHidReportSize) {
        std::uint8_t report[platform::kHidReportSize] = {};
        std::memcpy(report, frame + at, std::min(platform::kHidReportSize, size - at));
        const int n = device_->WriteReport(report);
        if (n <= 0) return 0;
        total += n;
    }
    return total;
}

void HidTransport::ReadReply(std::uint64_t request) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(read_timeout_ms_);
    bool answered = false;
    std::uint8_t report[platform::kHidReportSize];
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_ || write_requested_ || request != request_) return;
        }
        const int n = device_->ReadReport(report, sizeof report, kReadSliceMs);
        if (n > 0) {
            std::lock_guard lock(mutex_);
            if (request != request_) return;
            const std::size_t room = input_.size() - static_cast<std::size_t>(input_count_);
            const std::size_t take = std::min(static_cast<std::size_t>(n), room);
            std::memcpy(input_.data() + input_count_, report, take);
            input_count_ += static_cast<int>(take);
            read_status_ = 1;
            answered = true;
            continue;
        }
        if (n < 0) {
            std::lock_guard lock(mutex_);
            if (request == request_) read_status_ = -2;
            return;
        }
        // Once a report has come, a missing reply is the sequencer's
        // time-out to call, not the reader's.
        if (!answered && Clock::now() >= deadline) {
            std::lock_guard lock(mutex_);
            if (request == request_) read_status_ = -1;
            return;
        }
    }
}
