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
    // answered yet. An answer belongs to the request it answers: the one in
    // flight when it comes or, with none in flight, the newest one written.
    // Both are the newest written, as the link writes these requests one at
    // a time in the order taken (each keeps its turn in the line). A request
    // that another frame completed may never get its answer; the answer to a
    // later one drops it with every request older than the one answered, so
    // it never shifts the next. The answer's RESULT_ECHO_TYPE carries the
    // number of the request it answers in its status bits, 0 when none
    // written waits for one.
    // A request is about to be handed to the link, which may write it at
    // once: returns its number (1..255, then 1 again).
    int OnEchoTypeRequested();
    // The link did not take the request just numbered.
    void OnEchoTypeRefused();
    // The link wrote one to the unit: the oldest taken and not yet written.
    void OnEchoTypeWritten();
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
        bool written = false;
        bool superseded = false;
    };
    std::deque<EchoTypeRequest> echoTypeRequests_;
    int lastEchoTypeNumber_ = 0;
};
