#include "link/link_status.h"

namespace {

struct StatusText {
    LinkStatus status;
    const char* english;
    const char* chinese;
};

constexpr StatusText kStatusTexts[] = {
    {LinkStatus::kIdle, "Idle", "Idle"},
    {LinkStatus::kConnecting, "Connectting...", "正在连接..."},
    {LinkStatus::kOpenFailed, "Open failed", "Open failed"},
    {LinkStatus::kOpenFailed0, "Open failed0", "Open failed0"},
    {LinkStatus::kOpenFailed1, "Open failed1", "Open failed1"},
    {LinkStatus::kOk, "OK", "OK"},
    {LinkStatus::kFailed, "failed", "failed"},
    {LinkStatus::kConnected, "connected", "connected"},
    {LinkStatus::kCommunicating, "communicating", "communicating"},
    {LinkStatus::kNotSent, "busy, not sent", "忙，未发送"},
};

}  // namespace

std::string LinkStatusText(LinkStatus status, int language) {
    for (const StatusText& t : kStatusTexts) {
        if (t.status == status) return language == 1 ? t.chinese : t.english;
    }
    return {};
}
