#pragma once
// USB HID access: find devices by vendor and product id, open one, write
// output reports (report id 0 and 64 bytes) and read input reports with a
// time-out. The program uses the hidapi hidraw back end; tests install an
// in-process fake with SetHidBackend.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

constexpr std::size_t kHidReportSize = 64;

struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// One open device. A device is used by one thread at a time; the link's
// reader thread owns it while the link is open.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Writes one output report: report id 0, then the kHidReportSize bytes
    // at data. Returns the bytes written, the report id included, or -1.
    virtual int WriteReport(const std::uint8_t* data) = 0;
    // Reads one input report (without a report id) into buffer. Waits at
    // most timeoutMs (0: only what is there). Returns its size, 0 when
    // nothing came in time, -1 on an error (the device is gone).
    virtual int ReadReport(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // The present devices with these ids, in enumeration order.
    virtual std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId,
                                                 std::uint16_t productId) = 0;
    // nullptr when the path cannot be opened for reading and writing.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

// The back end in use: hidapi unless a test installed its own.
HidBackend& CurrentHidBackend();
// Installs backend (not owned); nullptr restores hidapi.
void SetHidBackend(HidBackend* backend);

// Opens the first device in enumeration order with these ids; nullptr when
// there is none or it cannot be opened.
std::unique_ptr<HidDevice> OpenFirstHidDevice(std::uint16_t vendorId, std::uint16_t productId);

}  // namespace platform
