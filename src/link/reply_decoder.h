#pragma once
// The reply decoder: what each reply of the unit means for the parameter
// image and the main window. The link sequencer runs the block read itself
// and hands the checked block here; every other reply comes through
// OnReply. A reply is checked whole before any byte of it is stored: one
// shorter than the fields its handler reads is malformed and changes
// nothing.
#include <cstdint>
#include <functional>

#include "app/messages.h"
#include "app/param_image.h"
#include "link/link_host.h"
#include "link/reply_parser.h"

class DeviceBlockRead;
struct ModeUpload;

// WM_DEVICE_RESULT kinds (wParam bits 8..15; bits 0..7 the unit's status).
constexpr int RESULT_LOCK_KEY = 0x08;
constexpr int RESULT_LOCK_PASSWORD = 0x09;
constexpr int RESULT_ADMIN_MODE = 0x0A;
constexpr int RESULT_ADMIN_PASSWORD = 0x0B;
constexpr int RESULT_SAVED = 0x20;
constexpr int RESULT_MODE_SELECTED = 0x21;
constexpr int RESULT_BOOST_SAVED = 0x31;
constexpr int RESULT_RESET_ALL = 0x32;
constexpr int RESULT_LOGO_SET = 0x33;
constexpr int RESULT_ECHO_TYPE = 0x34;
constexpr int RESULT_LEARN_TABLE = 0x51;

class ReplyDecoder {
public:
    struct Hooks {
        // Posts to the main window.
        std::function<void(unsigned msg, WPARAM, LPARAM)> post;
        // The learn reply had no code yet: ask again in 16 ms.
        std::function<void()> learnRetry;
    };

    ReplyDecoder(ParamImage& image, ModeUpload& upload) : image_(image), upload_(upload) {}

    // A block read whose header and checksum held: header and block into
    // the image.
    void OnBlockRead(const DeviceBlockRead& read);
    // Every other reply (LinkHost::OnReply).
    ReplyOutcome OnReply(const ReplyFrame& reply, bool answersRequest);

    Hooks hooks;

private:
    void Post(unsigned msg, WPARAM w = 0, LPARAM l = 0) {
        if (hooks.post) hooks.post(msg, w, l);
    }
    void Result(int kind, int status = 0) {
        Post(WM_DEVICE_RESULT, static_cast<WPARAM>((kind << 8) | (status & 0xFF)), 0);
    }
    ReplyOutcome OnLearn(const ReplyFrame& reply);

    ParamImage& image_;
    ModeUpload& upload_;
};
