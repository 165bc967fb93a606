#pragma once
// What the link sequencer needs from the window it runs on: the message
// queue, the window's timers, the status line and buttons, and the parts of
// the main dialog that act on a reply or on the link closing.
#include <cstdint>
#include <string>

#include "link/reply_parser.h"
#include "model/messages.h"

class DeviceBlockRead;

// What a reply handler made of a reply.
enum class ReplyOutcome {
    kHandled,
    // Shorter than the fields its handler reads: dropped whole, as if it
    // had never come (while connecting it fails the connect).
    kMalformed,
    // The handler closed the link; the rest of the poll is not parsed.
    kLinkClosed,
};

class LinkHost {
public:
    virtual ~LinkHost() = default;
    virtual void PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetTimer(int id, int intervalMs) = 0;
    virtual void KillTimer(int id) = 0;

    virtual void ShowStatus(const std::string& text) = 0;
    virtual void ShowConnectPressed(bool pressed) = 0;
    virtual void EnableLinkChoice(bool enabled) = 0;

    // Byte 4 of an accepted handshake reply, as 0 or 1.
    virtual void ApplyFeatureFlag(int /*flag*/) {}
    // Every close of the link starts here (the calibration walk stops).
    virtual void OnLinkClosing() {}
    // A disconnect: the Connect caption, the device sequence and key lock.
    virtual void OnDisconnected() {}
    // A block read whose checksum held, before the pages are refreshed.
    virtual void OnBlockRead(const DeviceBlockRead& /*read*/) {}
    // The reply handler of every code but the block read's. answersRequest:
    // the reply has the code of the request in flight (a step of a transfer
    // moves on only then).
    virtual ReplyOutcome OnReply(const ReplyFrame& /*reply*/, bool /*answersRequest*/) {
        return ReplyOutcome::kHandled;
    }
    // The learn slot waiting for the unit (1..32), 0 for none.
    virtual int LearnSlot() { return 0; }
    // A request has been written to the unit and its reply is awaited (the
    // echo page's wait for its type counts from here).
    virtual void OnRequestWritten(std::uint8_t /*code*/) {}
};
