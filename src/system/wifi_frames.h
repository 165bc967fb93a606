#pragma once
// The unit's WiFi module has a small set-up protocol of its own on a second
// TCP port: fixed-length frames with no checksum. The PC sends a keep-alive
// every second while idle, and the access-point (AP) or station (STA) name
// and password; the module answers a setting with a 3-byte reply. Names and
// passwords travel as the unit's other texts do, as GBK bytes; every length
// here counts those bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

constexpr std::uint8_t WIFI_CMD_SET_AP = 0x01;
constexpr std::uint8_t WIFI_CMD_SET_STA = 0x02;

constexpr std::size_t kWifiNameBytes = 32;
constexpr std::size_t kWifiPasswordBytes = 64;
// An access point refuses a shorter password; a station may join an open
// network, so its password may be empty.
constexpr std::size_t kWifiApPasswordMinBytes = 8;

using WifiKeepAliveFrame = std::array<std::uint8_t, 3>;
constexpr WifiKeepAliveFrame kWifiKeepAliveFrame = {0x04, 0x01, 0x0A};

// The AP and STA frames: command, 0x60, the name field, the password field,
// 0x0A. Fields are zero-padded and carry no terminator when full.
constexpr std::size_t kWifiSetFrameSize = 2 + kWifiNameBytes + kWifiPasswordBytes + 1;
using WifiSetFrame = std::array<std::uint8_t, kWifiSetFrameSize>;

// name and password: the bytes to send; each field takes at most its size
// (CheckWifiFields refuses longer ones first).
WifiSetFrame WifiApFrame(std::string_view name, std::string_view password);
WifiSetFrame WifiStaFrame(std::string_view name, std::string_view password);

// The checks before a setting goes out, in the order they are made.
enum class WifiFieldCheck { kOk, kNameEmpty, kNameTooLong, kPasswordTooShort, kPasswordTooLong };
WifiFieldCheck CheckWifiFields(std::uint8_t command, std::string_view name,
                               std::string_view password);
// The message of a failed check by language (0 English, 1 Chinese); "" for
// kOk.
const char* WifiCheckText(WifiFieldCheck check, int language);

// The module's answer to a setting: 0x55, the command answered, the status.
struct WifiReplyFrame {
    static constexpr std::size_t kSize = 3;
    static constexpr std::uint8_t kMark = 0x55;
    static constexpr std::uint8_t kSuccess = 1;
    std::uint8_t command = 0;
    std::uint8_t status = 0;
};
// One read from the module taken as a reply: only exactly three bytes
// beginning 0x55 are one.
std::optional<WifiReplyFrame> ParseWifiReply(const std::uint8_t* bytes, std::size_t count);
// "OK" for a successful setting, else "Setting error", by language.
const char* WifiReplyText(const WifiReplyFrame& reply, int language);
