#pragma once
// The reply decoder: what each reply of the unit means for the parameter
// image and the main window. The link sequencer runs the block read itself
// and hands the checked block here; every other reply comes through
// OnReply. A reply is checked whole before any byte of it is stored: one
// shorter than the fields its handler reads is malformed and changes
// nothing.
#include <cstdint>
#include <deque>
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

    // The echo type requests (0x3A) the link took and the unit has not
    // answered yet. The unit answers each once, in the order sent, so an
    // answer is the oldest one's even when it comes after its request was
    // completed by another frame. The answer's RESULT_ECHO_TYPE carries the
    // number of the request it answers in its status bits, 0 for an answer
    // nothing waited for.
    // The link took one: returns its number (1..255, then 1 again).
    int OnEchoTypeTaken();
    // The link took a mode upload: the unit stores the record's values after
    // it has answered every echo type request taken before, so their answers
    // tell what the unit is about to leave and are not stored.
    void OnModeUploadTaken();
    // The link closes: nothing taken on it will be answered.
    void OnLinkClosing() { echoTypeRequests_.clear(); }

    Hooks hooks;

private:
    void Post(unsigned msg, WPARAM w = 0, LPARAM l = 0) {
        if (hooks.post) hooks.post(msg, w, l);
    }
    void Result(int kind, int status = 0) {
        Post(WM_DEVICE_RESULT, static_cast<WPARAM>((kind << 8) | (status & 0xFF)), 0);
    }
    ReplyOutcome OnLearn(const ReplyFrame& reply);
    ReplyOutcome OnEchoType(const ReplyFrame& reply);

    ParamImage& image_;
    ModeUpload& upload_;

    struct EchoTypeRequest {
        int number = 0;
        bool superseded = false;
    };
    std::deque<EchoTypeRequest> echoTypeRequests_;
    int lastEchoTypeNumber_ = 0;
};
