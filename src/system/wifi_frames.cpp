#include "system/wifi_frames.h"

#include <algorithm>

#include "model/ui_text.h"

namespace {

constexpr std::uint8_t kSetFrameMarker = 0x60;
constexpr std::uint8_t kFrameEnd = 0x0A;
constexpr std::size_t kNameAt = 2;
constexpr std::size_t kPasswordAt = kNameAt + kWifiNameBytes;

WifiSetFrame SetFrame(std::uint8_t command, std::string_view name, std::string_view password) {
    WifiSetFrame frame{};
    frame[0] = command;
    frame[1] = kSetFrameMarker;
    std::copy_n(name.begin(), std::min(name.size(), kWifiNameBytes), frame.begin() + kNameAt);
    std::copy_n(password.begin(), std::min(password.size(), kWifiPasswordBytes),
                frame.begin() + kPasswordAt);
    frame.back() = kFrameEnd;
    return frame;
}

struct CheckText {
    WifiFieldCheck check;
    const char* text[kLanguageCount];
};
constexpr CheckText kCheckTexts[] = {
    {WifiFieldCheck::kNameEmpty, {"Name is empty", "名称不能为空"}},
    {WifiFieldCheck::kNameTooLong, {"Name is too long", "名称太长"}},
    {WifiFieldCheck::kPasswordTooShort, {"Password length at least 8 bytes", "密码至少8位"}},
    {WifiFieldCheck::kPasswordTooLong, {"Password is too long", "密码太长"}},
};

constexpr const char* kReplyTexts[2][kLanguageCount] = {
    {"Setting error", "设置失败"},
    {"OK", "设置成功"},
};

int LanguageIndex(int language) {
    return language == kLanguageChinese ? kLanguageChinese : kLanguageEnglish;
}

}  // namespace

WifiSetFrame WifiApFrame(std::string_view name, std::string_view password) {
    return SetFrame(WIFI_CMD_SET_AP, name, password);
}

WifiSetFrame WifiStaFrame(std::string_view name, std::string_view password) {
    return SetFrame(WIFI_CMD_SET_STA, name, password);
}

WifiFieldCheck CheckWifiFields(std::uint8_t command, std::string_view name,
                               std::string_view password) {
    if (name.empty()) return WifiFieldCheck::kNameEmpty;
    if (name.size() > kWifiNameBytes) return WifiFieldCheck::kNameTooLong;
    if (command == WIFI_CMD_SET_AP && password.size() < kWifiApPasswordMinBytes)
        return WifiFieldCheck::kPasswordTooShort;
    if (password.size() > kWifiPasswordBytes) return WifiFieldCheck::kPasswordTooLong;
    return WifiFieldCheck::kOk;
}

const char* WifiCheckText(WifiFieldCheck check, int language) {
    for (const CheckText& c : kCheckTexts)
        if (c.check == check) return c.text[LanguageIndex(language)];
    return "";
}

std::optional<WifiReplyFrame> ParseWifiReply(const std::uint8_t* bytes, std::size_t count) {
    if (count != WifiReplyFrame::kSize || bytes[0] != WifiReplyFrame::kMark) return std::nullopt;
    return WifiReplyFrame{bytes[1], bytes[2]};
}

const char* WifiReplyText(const WifiReplyFrame& reply, int language) {
    return kReplyTexts[reply.status == WifiReplyFrame::kSuccess ? 1 : 0][LanguageIndex(language)];
}
