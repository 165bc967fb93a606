#include "emulator/device_emulator.h"

#include <algorithm>

namespace emu {

namespace {

constexpr std::uint8_t kHandshake = 0x1C;
constexpr std::uint8_t kHeader = 0x3F;
constexpr std::uint8_t kBlockRead = 0x40;

}  // namespace

DeviceEmulator::DeviceEmulator() : block_(kBlockLength) {
    // Distinct along the block, so a chunk at a wrong offset shows.
    for (int i = 0; i < kBlockLength; ++i) {
        block_[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>((i * 7 + (i / 256) * 3 + 1) % 256);
    }
}

void DeviceEmulator::SetKnobs(const Knobs& knobs) {
    std::lock_guard lock(mutex_);
    knobs_ = knobs;
}

Knobs DeviceEmulator::GetKnobs() const {
    std::lock_guard lock(mutex_);
    return knobs_;
}

std::vector<OutgoingReply> DeviceEmulator::OnHostBytes(const std::uint8_t* bytes, std::size_t n) {
    std::lock_guard lock(mutex_);
    std::vector<OutgoingReply> out;
    stream_.Append(bytes, n);
    while (auto c = stream_.Next()) {
        if (held_ > 0) ++overlaps_;
        requests_.push_back(*c);
        const Knobs& k = knobs_;
        if (k.silent || k.silentCodes.count(c->code) != 0) continue;
        if (k.answerLimit >= 0 && answered_ >= k.answerLimit) continue;
        ++answered_;
        Bytes data = Answer(*c, k);
        if (k.shortReplyCodes.count(c->code) != 0 && !data.empty()) data.pop_back();
        out.push_back(
            {EncodeReply(c->code, data, k.badChecksumCodes.count(c->code) != 0), k.delayTicks});
        ++held_;
    }
    return out;
}

Bytes DeviceEmulator::Answer(const Command& c, const Knobs& k) const {
    switch (c.code) {
        case kHandshake:
            return {0x01, 0x10, 0x00, k.deviceType, k.featureFlag};
        case kHeader: {
            Bytes d = {2, 0x13, 0x01, 0x03, static_cast<std::uint8_t>(k.badHeader ? 0x06 : 0x05),
                       0, 0,    0x0B, 1,    0,
                       0, 0,    0,    0,    3};
            d.push_back(kBlockLength % 256);
            d.push_back(kBlockLength / 256);
            unsigned total = 0;
            for (std::uint8_t b : block_) total += b;
            std::uint8_t check = static_cast<std::uint8_t>((256 - total % 256) % 256);
            if (k.badBlockChecksum) check ^= 0x5A;
            d.push_back(check);
            return d;
        }
        case kBlockRead: {
            if (c.data.size() < 4) return {};
            const std::size_t offset = c.data[0] + 256u * c.data[1];
            const std::size_t count = c.data[2] + 256u * c.data[3];
            const std::size_t from = std::min(offset, block_.size());
            const std::size_t to = std::min(from + count, block_.size());
            return Bytes(block_.begin() + static_cast<long>(from),
                         block_.begin() + static_cast<long>(to));
        }
        default:
            return {0x00};
    }
}

void DeviceEmulator::OnReplyDelivered() {
    std::lock_guard lock(mutex_);
    if (held_ > 0) --held_;
}

void DeviceEmulator::OnDisconnect() {
    std::lock_guard lock(mutex_);
    stream_.Clear();
    held_ = 0;
}

std::vector<Command> DeviceEmulator::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::uint8_t> DeviceEmulator::RequestCodes() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> codes;
    for (const Command& c : requests_) codes.push_back(c.code);
    return codes;
}

int DeviceEmulator::CountOf(std::uint8_t code) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                          [code](const Command& c) { return c.code == code; }));
}

int DeviceEmulator::Overlaps() const {
    std::lock_guard lock(mutex_);
    return overlaps_;
}

int DeviceEmulator::BadFrames() const {
    std::lock_guard lock(mutex_);
    return stream_.BadFrames();
}

}  // namespace emu
