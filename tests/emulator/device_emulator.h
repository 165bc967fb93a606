#pragma once
// A fake processor for the link tests. It answers the handshake, the block
// header and the block reads from its own 1131-byte block, and every other
// code with a plain done reply. Knobs make it misbehave; it records every
// request and flags one that arrives while an earlier reply is still held
// back (the host did not wait for it).
//
// Safe to use from several threads: the fake HID device calls it from the
// link's reader thread while the test reads its records.
#include <cstdint>
#include <mutex>
#include <set>
#include <vector>

#include "emulator/emulator_codec.h"

namespace emu {

enum class TcpSplit {
    kWhole,           // each reply in one write
    kSingleBytes,     // each reply trickled out one byte per write
    kWithExtraFrame,  // each reply followed, in the same write, by an unasked frame
};

struct Knobs {
    std::uint8_t deviceType = 0x13;
    std::uint8_t featureFlag = 1;
    bool silent = false;                      // answers nothing
    std::set<std::uint8_t> silentCodes;       // answers nothing to these
    int answerLimit = -1;                     // answers this many requests, then nothing
    int delayTicks = 0;                       // holds each reply back (20 ms ticks)
    bool badHeader = false;                   // header byte 4 is 0x06
    bool badBlockChecksum = false;            // the header's block checksum is off
    std::set<std::uint8_t> badChecksumCodes;  // these replies carry a wrong check
    std::set<std::uint8_t> shortReplyCodes;   // these replies are shorter than their fields
    TcpSplit tcpSplit = TcpSplit::kWhole;
    bool closeAfterConnect = false;  // TCP: drops each connection at once
};

struct OutgoingReply {
    Bytes bytes;
    int delayTicks = 0;
};

class DeviceEmulator {
public:
    static constexpr int kBlockLength = 1131;
    static constexpr int kTickMs = 20;
    // The code of the unasked frame of TcpSplit::kWithExtraFrame.
    static constexpr std::uint8_t kExtraCode = 0x7E;

    DeviceEmulator();

    void SetKnobs(const Knobs& knobs);
    Knobs GetKnobs() const;

    // Bytes from the host; returns the replies to send, in order.
    std::vector<OutgoingReply> OnHostBytes(const std::uint8_t* bytes, std::size_t n);
    // The carriage has handed one returned reply to the host.
    void OnReplyDelivered();
    // The connection or device closed: partial input and held replies go.
    void OnDisconnect();

    std::vector<Command> Requests() const;
    std::vector<std::uint8_t> RequestCodes() const;
    int CountOf(std::uint8_t code) const;
    int Overlaps() const;
    int BadFrames() const;
    const Bytes& Block() const { return block_; }

private:
    Bytes Answer(const Command& c, const Knobs& k) const;

    mutable std::mutex mutex_;
    Knobs knobs_;
    CommandStream stream_;
    std::vector<Command> requests_;
    int answered_ = 0;
    int held_ = 0;  // replies returned but not yet delivered
    int overlaps_ = 0;
    Bytes block_;
};

}  // namespace emu
