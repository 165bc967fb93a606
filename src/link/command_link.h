#pragma once
// What the command builder needs of the link: its state, one way in for
// every request, the block read's next chunk, and whether a transfer that
// a request must not run into is under way.
#include <cstdint>

// One request for the unit, as the builder hands it over. The link sends it
// at once when nothing is in flight and nothing waits before it; otherwise
// it waits in one line, in the order handed over.
struct LinkRequest {
    // A request that no later one may take the place of.
    static constexpr std::uint32_t kKeepsItsTurn = 0xFFFFFFFF;

    std::uint8_t code = 0;
    // The payload and its pad, as the frame carries them.
    const std::uint8_t* data = nullptr;
    int length = 0;
    // A change: while it waits, a later request with the same key (the code,
    // and the argument where the frame is for one of several: an EQ or boost
    // band, an output channel, a pass filter, a speaker, a module's band
    // switches) drops it and goes last, unless a request that keeps its turn
    // waits between them. kKeepsItsTurn for every other one.
    std::uint32_t key = kKeepsItsTurn;
    // Carries values of the parameter image: not taken while a block read is
    // about to replace the image (the pages will show the unit's values).
    bool fromImage = false;
    // A running transfer's next step: goes before everything that waits,
    // and is never refused.
    bool nextStep = false;
    // Built whole: no "communicating" in the status line, and reply
    // time-outs of its own in link ticks (0 keeps the transport's).
    bool builtWhole = false;
    int usbTimeout = 0;
    int wifiTimeout = 0;
};

// The key of a change: its code, and the argument that tells which of
// several things it is for (0 for a frame that is for one thing only).
constexpr std::uint32_t ChangeKey(std::uint8_t code, unsigned argument = 0) {
    return (static_cast<std::uint32_t>(code) << 16) | (argument & 0xFFFF);
}

class CommandLink {
public:
    virtual ~CommandLink() = default;
    // 0 idle, 1 connecting, 2 header requested, 3 connected.
    virtual int LinkState() const = 0;
    // True when the request was taken: sent or waiting (an older change of
    // its key has left the line). False when it will never go out: not
    // connected, the line is full (the status line says so), the image is
    // about to be replaced, or nothing was written (a failed write also
    // drops the link).
    virtual bool Submit(const LinkRequest& request) = 0;
    virtual void SubmitBlockChunkRequest() = 0;
    // A mode upload was taken and the unit has not answered its end yet.
    virtual bool UploadUnderWay() const = 0;
    // As many requests wait as the link keeps: the next one is refused,
    // unless it is a running transfer's next step.
    virtual bool LineFull() const = 0;
    // A mode select or a header re-read waits or is in flight, or the block
    // read runs: the image is about to be replaced by the unit's block.
    virtual bool BlockReadDue() const = 0;
};
