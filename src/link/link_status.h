#pragma once
// What the status line of the main window says about the link.
#include <string>

enum class LinkStatus {
    kIdle,
    kConnecting,
    kOpenFailed,   // no HID device, the handshake not written, no TCP connection
    kOpenFailed0,  // no accepted handshake reply in time
    kOpenFailed1,  // no block header in time, wrong device type, bad header or block
    kOk,
    kFailed,  // a request timed out while connected
    kConnected,
    kCommunicating,
    kNotSent,  // refused: too many requests wait for the unit's replies
};

// The last of them: the status line is made wide enough for every text.
constexpr LinkStatus kLastLinkStatus = LinkStatus::kNotSent;

// language: 0 English, 1 Chinese. Only the connecting and the refusal texts
// have a Chinese form.
std::string LinkStatusText(LinkStatus status, int language);
