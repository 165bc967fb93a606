#include "emulator/emulator_hid.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>

#include "emulator/device_emulator.h"

namespace emu {

using Clock = std::chrono::steady_clock;

struct EmulatorHidBackend::Slot {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    DeviceEmulator* emulator = nullptr;

    // Shared by the device (the link's reader thread) and the test.
    std::mutex mutex;
    std::condition_variable arrived;
    bool unplugged = false;
    int open = 0;
    std::vector<Report> written;
    struct Pending {
        Clock::time_point due;
        Report report;
    };
    std::deque<Pending> input;
};

namespace {

class FakeHidDevice : public platform::HidDevice {
public:
    explicit FakeHidDevice(std::shared_ptr<EmulatorHidBackend::Slot> slot)
        : slot_(std::move(slot)) {
        std::lock_guard lock(slot_->mutex);
        ++slot_->open;
        slot_->input.clear();
    }

    ~FakeHidDevice() override {
        if (slot_->emulator) slot_->emulator->OnDisconnect();
        std::lock_guard lock(slot_->mutex);
        --slot_->open;
        slot_->input.clear();
    }

    int WriteReport(const std::uint8_t* data) override {
        {
            std::lock_guard lock(slot_->mutex);
            if (slot_->unplugged) return -1;
            EmulatorHidBackend::Report r;
            std::memcpy(r.data(), data, r.size());
            slot_->written.push_back(r);
        }
        if (!slot_->emulator) return static_cast<int>(platform::kHidReportSize + 1);
        const auto replies = slot_->emulator->OnHostBytes(data, platform::kHidReportSize);
        std::lock_guard lock(slot_->mutex);
        for (const OutgoingReply& reply : replies) {
            const auto due = Clock::now() +
                             std::chrono::milliseconds(reply.delayTicks * DeviceEmulator::kTickMs);
            // A reply longer than one report is cut; the host reads one.
            for (std::size_t at = 0; at < reply.bytes.size(); at += platform::kHidReportSize) {
                EmulatorHidBackend::Slot::Pending p{due, {}};
                const std::size_t n = std::min(platform::kHidReportSize, reply.bytes.size() - at);
                std::memcpy(p.report.data(), reply.bytes.data() + at, n);
                slot_->input.push_back(p);
            }
        }
        slot_->arrived.notify_all();
        return static_cast<int>(platform::kHidReportSize + 1);
    }

    int ReadReport(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::unique_lock lock(slot_->mutex);
        for (;;) {
            if (slot_->unplugged) return -1;
            const auto now = Clock::now();
            if (!slot_->input.empty() && slot_->input.front().due <= now) {
                const auto report = slot_->input.front().report;
                slot_->input.pop_front();
                const std::size_t n = std::min(capacity, report.size());
                std::memcpy(buffer, report.data(), n);
                if (slot_->emulator) slot_->emulator->OnReplyDelivered();
                return static_cast<int>(n);
            }
            if (now >= deadline) return 0;
            auto wake = deadline;
            if (!slot_->input.empty()) wake = std::min(wake, slot_->input.front().due);
            slot_->arrived.wait_until(lock, wake);
        }
    }

private:
    std::shared_ptr<EmulatorHidBackend::Slot> slot_;
};

}  // namespace

EmulatorHidBackend::EmulatorHidBackend() = default;
EmulatorHidBackend::~EmulatorHidBackend() = default;

void EmulatorHidBackend::AddDevice(const std::string& path, std::uint16_t vendorId,
                                   std::uint16_t productId, DeviceEmulator* emulator) {
    auto slot = std::make_shared<Slot>();
    slot->path = path;
    slot->vendorId = vendorId;
    slot->productId = productId;
    slot->emulator = emulator;
    std::lock_guard lock(mutex_);
    slots_.push_back(std::move(slot));
}

void EmulatorHidBackend::Unplug(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (auto& s : slots_) {
        if (s->path != path) continue;
        std::lock_guard slotLock(s->mutex);
        s->unplugged = true;
        s->arrived.notify_all();
    }
}

std::vector<std::string> EmulatorHidBackend::OpenedPaths() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

int EmulatorHidBackend::OpenCount() const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& s : slots_) {
        std::lock_guard slotLock(s->mutex);
        n += s->open;
    }
    return n;
}

std::vector<EmulatorHidBackend::Report> EmulatorHidBackend::Written(const std::string& path) const {
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_) {
        if (s->path != path) continue;
        std::lock_guard slotLock(s->mutex);
        return s->written;
    }
    return {};
}

std::vector<platform::HidDeviceInfo> EmulatorHidBackend::Enumerate(std::uint16_t vendorId,
                                                                   std::uint16_t productId) {
    std::lock_guard lock(mutex_);
    std::vector<platform::HidDeviceInfo> found;
    for (const auto& s : slots_) {
        std::lock_guard slotLock(s->mutex);
        if (s->unplugged || s->vendorId != vendorId || s->productId != productId) continue;
        found.push_back({s->path, s->vendorId, s->productId});
    }
    return found;
}

std::unique_ptr<platform::HidDevice> EmulatorHidBackend::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_) {
        if (s->path != path) continue;
        opened_.push_back(path);
        return std::make_unique<FakeHidDevice>(s);
    }
    return nullptr;
}

}  // namespace emu
