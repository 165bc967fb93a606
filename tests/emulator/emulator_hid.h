#pragma once
// The fake HID back end: devices in enumeration order, each optionally
// backed by a DeviceEmulator. Output reports are fed to the emulator and its
// replies come back as input reports (64 bytes, zero-padded), held back by
// the emulator's delay. Install it with platform::SetHidBackend.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid.h"

namespace emu {

class DeviceEmulator;

class EmulatorHidBackend : public platform::HidBackend {
public:
    using Report = std::array<std::uint8_t, platform::kHidReportSize>;

    EmulatorHidBackend();
    ~EmulatorHidBackend() override;

    // Adds a device after the others; a null emulator never answers.
    void AddDevice(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                   DeviceEmulator* emulator);
    // From now on writes to the device fail and reads report an error.
    void Unplug(const std::string& path);

    std::vector<std::string> OpenedPaths() const;
    // Devices open now.
    int OpenCount() const;
    // Every output report written to the device, in order.
    std::vector<Report> Written(const std::string& path) const;

    std::vector<platform::HidDeviceInfo> Enumerate(std::uint16_t vendorId,
                                                   std::uint16_t productId) override;
    std::unique_ptr<platform::HidDevice> Open(const std::string& path) override;

    struct Slot;

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Slot>> slots_;
    std::vector<std::string> opened_;
};

}  // namespace emu
