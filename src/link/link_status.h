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
};

// language: 0 English, 1 Chinese. Only the connecting text has a Chinese form.
std::string LinkStatusText(LinkStatus status, int language);
