#pragma once
// The emulator's own frame codec. It shares no code with the product's link
// on purpose: a mistake made in both places would otherwise pass unseen.
//
// Host to unit: AA, n (u16, low byte first), code, n-1 data bytes, check;
// the bytes from n to check add up to a multiple of 256.
// Unit to host: 55, n, ~code, n-1 data bytes, check, the same rule.
#include <cstdint>
#include <optional>
#include <vector>

namespace emu {

using Bytes = std::vector<std::uint8_t>;

struct Command {
    std::uint8_t code = 0;
    Bytes data;
};

// Collects the bytes the host sends and cuts complete commands out of them.
class CommandStream {
public:
    void Append(const std::uint8_t* bytes, std::size_t n);
    // The next complete command; frames with a wrong check are skipped and
    // counted.
    std::optional<Command> Next();
    void Clear() { pending_.clear(); }
    int BadFrames() const { return bad_frames_; }

private:
    Bytes pending_;
    int bad_frames_ = 0;
};

// A reply frame; corrupt gives it a check that does not add up.
Bytes EncodeReply(std::uint8_t code, const Bytes& data, bool corrupt = false);

// A command frame, for tests that play the host by hand.
Bytes EncodeCommand(std::uint8_t code, const Bytes& data);

}  // namespace emu
