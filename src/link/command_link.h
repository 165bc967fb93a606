#pragma once
// What the command builder needs of the link: its state, and the ways a
// request goes out (a generic command through CommandData and the one-slot
// queue, a generic command that keeps its turn, a frame built whole, the
// block read's next chunk).
#include <cstdint>

class CommandLink {
public:
    virtual ~CommandLink() = default;
    // 0 idle, 1 connecting, 2 header requested, 3 connected.
    virtual int LinkState() const = 0;
    // Not connected: whatever waits in the one-slot queue goes.
    virtual void DropQueuedCommand() = 0;
    // data: the payload and its pad, as the frame carries them.
    virtual void SubmitGeneric(std::uint8_t code, const std::uint8_t* data, int length) = 0;
    // A generic command that a later one must not replace: while a reply is
    // pending it waits, in the order submitted, and goes before the queue.
    // False when it will never go out: not connected, too many wait already
    // (the status line says so), or nothing was written (a failed write
    // also drops the link).
    virtual bool SubmitInOrder(std::uint8_t code, const std::uint8_t* data, int length) = 0;
    // A frame built whole: while a reply is pending it waits, in the order
    // submitted, before the commands above. Time-outs in link ticks for the
    // reply; 0 keeps the transport's own.
    virtual void SubmitDirect(std::uint8_t code, const std::uint8_t* data, int length,
                              int usbTimeout, int wifiTimeout) = 0;
    virtual void SubmitBlockChunkRequest() = 0;
};
