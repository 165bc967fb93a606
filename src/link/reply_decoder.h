#pragma once
// The reply decoder: what each reply of the unit means for the parameter
// image and the main window. The link sequencer runs the block read itself
// and hands the checked block here; every other reply comes through
// OnReply. A reply is checked whole before any byte of it is stored: one
// shorter than the fields its handler reads is malformed and changes
// nothing.
#include <cstdint>
#include <functional>

#include "model/messages.h"
#include "model/param_image.h"
#include "link/link_host.h"
#include "link/reply_parser.h"

class DeviceBlockRead;
struct ModeUpload;

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
