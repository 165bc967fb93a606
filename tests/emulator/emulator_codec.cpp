#include "emulator/emulator_codec.h"

#include <algorithm>
#include <numeric>

namespace emu {

namespace {

// The value that brings the running total of the range to a multiple of 256.
std::uint8_t Balance(Bytes::const_iterator first, Bytes::const_iterator last) {
    const unsigned total = std::accumulate(first, last, 0u);
    return static_cast<std::uint8_t>((256 - total % 256) % 256);
}

Bytes Encode(std::uint8_t start, std::uint8_t codeByte, const Bytes& data, bool corrupt) {
    const std::size_t n = data.size() + 1;
    Bytes out;
    out.reserve(n + 4);
    out.push_back(start);
    out.push_back(static_cast<std::uint8_t>(n % 256));
    out.push_back(static_cast<std::uint8_t>(n / 256));
    out.push_back(codeByte);
    out.insert(out.end(), data.begin(), data.end());
    std::uint8_t check = Balance(out.begin() + 1, out.end());
    if (corrupt) check = static_cast<std::uint8_t>(check + 1);
    out.push_back(check);
    return out;
}

}  // namespace

void CommandStream::Append(const std::uint8_t* bytes, std::size_t n) {
    pending_.insert(pending_.end(), bytes, bytes + n);
}

std::optional<Command> CommandStream::Next() {
    for (;;) {
        const auto start = std::find(pending_.begin(), pending_.end(), std::uint8_t{0xAA});
        pending_.erase(pending_.begin(), start);
        if (pending_.size() < 3) return std::nullopt;
        const std::size_t n = pending_[1] + 256u * pending_[2];
        if (n == 0) {
            pending_.erase(pending_.begin());
            continue;
        }
        if (pending_.size() < n + 4) return std::nullopt;
        const auto body = pending_.begin() + 1;
        const unsigned total = std::accumulate(body, body + static_cast<long>(n + 3), 0u);
        if (total % 256 != 0) {
            ++bad_frames_;
            pending_.erase(pending_.begin());
            continue;
        }
        Command c;
        c.code = pending_[3];
        c.data.assign(pending_.begin() + 4, pending_.begin() + static_cast<long>(n + 3));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n + 4));
        return c;
    }
}

Bytes EncodeReply(std::uint8_t code, const Bytes& data, bool corrupt) {
    return Encode(0x55, static_cast<std::uint8_t>(0xFF - code), data, corrupt);
}

Bytes EncodeCommand(std::uint8_t code, const Bytes& data) {
    return Encode(0xAA, code, data, false);
}

}  // namespace emu
