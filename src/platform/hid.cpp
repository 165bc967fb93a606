#include "platform/hid.h"

#include <hidapi.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

class HidapiDevice : public HidDevice {
public:
    explicit HidapiDevice(hid_device* device) : device_(device) {}
    ~HidapiDevice() override { hid_close(device_); }

    int WriteReport(const std::uint8_t* data) override {
        std::uint8_t report[kHidReportSize + 1] = {0};
        std::memcpy(report + 1, data, kHidReportSize);
        return hid_write(device_, report, sizeof report);
    }

    int ReadReport(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
        return hid_read_timeout(device_, buffer, capacity, timeoutMs);
    }

private:
    hid_device* device_;
};

class HidapiBackend : public HidBackend {
public:
    std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidDeviceInfo> found;
        if (!Init()) return found;
        hid_device_info* list = hid_enumerate(vendorId, productId);
        for (hid_device_info* d = list; d; d = d->next) {
            found.push_back(HidDeviceInfo{d->path ? d->path : "", d->vendor_id, d->product_id});
        }
        hid_free_enumeration(list);
        return found;
    }

    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        if (!Init()) return nullptr;
        hid_device* device = hid_open_path(path.c_str());
        if (!device) return nullptr;
        return std::make_unique<HidapiDevice>(device);
    }

private:
    // hid_init is called from the UI thread only, before any device exists.
    bool Init() {
        if (!initialised_) initialised_ = hid_init() == 0;
        return initialised_;
    }
    bool initialised_ = false;
};

HidBackend* installed = nullptr;

}  // namespace

HidBackend& CurrentHidBackend() {
    static HidapiBackend hidapi;
    return installed ? *installed : hidapi;
}

void SetHidBackend(HidBackend* backend) { installed = backend; }

std::unique_ptr<HidDevice> OpenFirstHidDevice(std::uint16_t vendorId, std::uint16_t productId) {
    HidBackend& backend = CurrentHidBackend();
    const std::vector<HidDeviceInfo> found = backend.Enumerate(vendorId, productId);
    const auto match = std::find_if(found.begin(), found.end(), [&](const HidDeviceInfo& d) {
        return d.vendorId == vendorId && d.productId == productId;
    });
    if (match == found.end()) return nullptr;
    return backend.Open(match->path);
}

}  // namespace platform
