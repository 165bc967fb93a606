#pragma once
// Where the link finds the unit. The program always uses the defaults: the
// unit's fixed address on its own access point and its USB ids. Tests fill
// the TCP part with the loopback address and an emulator's or a fake WiFi
// module's port.
#include <cstdint>
#include <string>

// The unit's address on its own WiFi access point.
constexpr char kDeviceAddress[] = "192.168.4.1";
constexpr std::uint16_t DEVICE_LINK_PORT = 17700;
// The unit's WiFi module listens on the same address for its own set-up.
constexpr std::uint16_t WIFI_MODULE_PORT = 17702;
constexpr std::uint16_t kHidVendorId = 0x10C4;
constexpr std::uint16_t kHidProductId = 0x0300;

struct LinkConfig {
    std::string tcpAddress = kDeviceAddress;
    std::uint16_t tcpPort = DEVICE_LINK_PORT;
    std::uint16_t wifiModulePort = WIFI_MODULE_PORT;
    std::uint16_t hidVendorId = kHidVendorId;
    std::uint16_t hidProductId = kHidProductId;
};
