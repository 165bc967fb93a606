#pragma once
// A fake processor for the link tests. It speaks the whole command set:
// every frame's length is checked against its own copy of the command
// table, the handshake, block header and block reads come from its own
// 1131-byte block, mode uploads are checked and stored per slot (and a
// selected or uploaded mode becomes its block), logins answer with a status
// the test sets, the echo type with its 17 bytes, learning by a script of
// code lengths; the main settings commands (the music, mic and echo
// settings, the effect volume, the auto input, the flag word, the dance
// mode, the kind, the main toggles) keep what they carry in its block or
// header, as the unit does; every other command gets a plain done reply.
// Knobs make it misbehave; it records every request and flags one that
// arrives while an earlier reply is still held back (the host did not wait
// for it).
//
// Safe to use from several threads: the fake HID device calls it from the
// link's reader thread while the test reads its records.
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "emulator/emulator_codec.h"

namespace emu {

enum class TcpSplit {
    kWhole,           // each reply in one write
    kSingleBytes,     // each reply trickled out one byte per write
    kWithExtraFrame,  // each reply followed, in the same write, by an unasked frame
};

// A reply frame nobody asked for, sent just before the nth reply to
// `before` (1 the first, counted from when the knobs are set), or in its
// place: the unit acts on the request and its own reply never comes.
struct UnaskedFrame {
    std::uint8_t before = 0;
    int nth = 1;
    std::uint8_t code = 0;
    Bytes data = {1};
    bool insteadOfReply = false;
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
    int statedBlockLength = 1131;             // the block length the header states
    std::set<std::uint8_t> badChecksumCodes;  // these replies carry a wrong check
    std::set<std::uint8_t> shortReplyCodes;   // these replies are shorter than their fields
    TcpSplit tcpSplit = TcpSplit::kWhole;
    bool closeAfterConnect = false;  // TCP: drops each connection at once
    // The status byte of the login answers 0x2B..0x2E (1 accepted).
    std::map<std::uint8_t, std::uint8_t> loginStatus;
    // The status bytes of the coming login answers, one per answer in order;
    // once it has run out, loginStatus answers.
    std::vector<std::uint8_t> loginScript;
    // The code lengths the learn answers report, one per 0x44 request; once
    // it has run out every answer reports 0 (nothing received yet).
    std::vector<int> learnScript;
    std::optional<UnaskedFrame> unasked;
};

struct OutgoingReply {
    Bytes bytes;
    int delayTicks = 0;
};

// What the header reports besides the current slot.
struct HeaderState {
    std::uint8_t options = 0x0B;  // key lock, main toggles, unlock flags
    std::int8_t adminLevel = 1;
    std::int8_t pinkNoise = 0;
    std::int8_t powerOnMode = 3;
};

// The learn table a 0x47 download left in the unit.
struct LearnTable {
    Bytes codes;  // 32 codes of 16 bytes, slot order
    std::uint32_t baudRate = 0;
};

// A mode stored by an upload.
struct StoredMode {
    Bytes record;           // 890 bytes
    bool fromFile = false;  // the slot byte's 0x80 flag
    std::uint8_t powerOnMode = 0;
};

class DeviceEmulator {
public:
    static constexpr int kBlockLength = 1131;
    static constexpr int kModeRecordLength = 890;
    static constexpr int kSlots = 10;
    static constexpr int kTickMs = 20;
    // The code of the unasked frame of TcpSplit::kWithExtraFrame.
    static constexpr std::uint8_t kExtraCode = 0x7E;

    DeviceEmulator();

    void SetKnobs(const Knobs& knobs);
    Knobs GetKnobs() const;
    void SetBlock(const Bytes& block);
    void SetHeader(const HeaderState& header);
    void SetCurrentSlot(int slot);

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
    // Frames whose data length is not the one its command has (or of a
    // code outside the set); they get no answer.
    int WrongLengths() const;
    // What went wrong in mode uploads, one line each.
    std::vector<std::string> UploadErrors() const;
    Bytes Block() const;
    // The 15 header bytes the next 0x3F reply starts with.
    Bytes Header() const;
    int CurrentSlot() const;
    std::optional<StoredMode> Mode(int slot) const;
    std::optional<LearnTable> KeptLearnTable() const;

private:
    bool LengthFits(const Command& c) const;
    // Answer data; nullopt: no answer at all.
    std::optional<Bytes> Answer(const Command& c, const Knobs& k);
    Bytes HeaderLocked() const;
    void UploadError(const std::string& what);
    // Keeps what a settings command carries in the block or the header.
    void Keep(const Command& c);
    void LoadMode(int slot);

    mutable std::mutex mutex_;
    Knobs knobs_;
    HeaderState header_;
    CommandStream stream_;
    std::vector<Command> requests_;
    int answered_ = 0;
    int held_ = 0;  // replies returned but not yet delivered
    int overlaps_ = 0;
    int wrongLengths_ = 0;
    std::size_t learnStep_ = 0;
    int repliesToUnaskedBefore_ = 0;
    std::size_t loginStep_ = 0;
    std::optional<LearnTable> learnTable_;
    int currentSlot_ = 2;
    Bytes block_;

    struct Upload {
        bool active = false;
        std::uint8_t checksum = 0;
        Bytes received;
    } upload_;
    std::vector<std::string> uploadErrors_;
    std::array<std::optional<StoredMode>, kSlots> modes_;
};

}  // namespace emu
