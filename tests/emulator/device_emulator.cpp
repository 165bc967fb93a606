#include "emulator/device_emulator.h"

#include <algorithm>
#include <numeric>

namespace emu {

namespace {

constexpr std::uint8_t kHandshake = 0x1C;
constexpr std::uint8_t kSelectMode = 0x01;
constexpr std::uint8_t kResetAll = 0x14;
constexpr std::uint8_t kLockKey = 0x2B;
constexpr std::uint8_t kAdminPassword = 0x2E;
constexpr std::uint8_t kBoostSave = 0x33;
constexpr std::uint8_t kEchoType = 0x3A;
constexpr std::uint8_t kHeader = 0x3F;
constexpr std::uint8_t kBlockRead = 0x40;
constexpr std::uint8_t kUploadStart = 0x41;
constexpr std::uint8_t kUploadData = 0x42;
constexpr std::uint8_t kUploadEnd = 0x43;
constexpr std::uint8_t kLearn = 0x44;
constexpr std::uint8_t kLearnTable = 0x47;
constexpr int kLearnCodesLength = 32 * 16;

// The unit's command set: the data length each command carries (what
// follows the code up to the check), one or two lengths where the mode
// kind decides. 0x42 carries its chunk plus eight and is checked apart.
struct Length {
    std::uint8_t code;
    int length;
    int other = -1;
};
constexpr Length kLengths[] = {
    {0x01, 2},    {0x02, 13, 5}, {0x03, 8},  {0x04, 2},  {0x05, 9},  {0x06, 2},      {0x07, 2},
    {0x08, 2},    {0x09, 2},     {0x0A, 2},  {0x0B, 15}, {0x0D, 22}, {0x0E, 20, 12}, {0x0F, 5},
    {0x11, 5},    {0x14, 1},     {0x17, 42}, {0x1B, 2},  {0x1C, 0},  {0x22, 6},      {0x2B, 6},
    {0x2C, 9},    {0x2D, 8},     {0x2E, 13}, {0x30, 3},  {0x31, 8},  {0x33, 85},     {0x37, 2},
    {0x38, 2},    {0x39, 4},     {0x3A, 2},  {0x3B, 2},  {0x3C, 3},  {0x3D, 2},      {0x3E, 4},
    {0x3F, 0, 2}, {0x40, 5},     {0x41, 7},  {0x43, 6},  {0x44, 7},  {0x47, 520},    {0x48, 3},
    {0x49, 4},
};

// Where the parts of a mode record go in the block.
constexpr int kRecordHead = 870;          // the block's first 870 bytes
constexpr int kRecordMasks = 870;         // in the record ...
constexpr int kBlockMasks = 1030;         // ... and in the block, 20 bytes
constexpr int kRecordName = 854;          // 16 characters
constexpr int kBlockNameTable = 870;      // 10 x 16
constexpr int kBlockBoost = 1050;         // enable byte and 80 band bytes
constexpr int kEchoBytes = 85;            // 9 bytes
constexpr int kEchoWords = 159 + 2 * 30;  // 4 words

// Where the unit keeps what a settings command carries: the block offset of
// each data byte in the order the frame carries them, -1 for one it keeps
// elsewhere (the dance-mode flag, a bit of the flag word).
// ParamBytes[n] sit at n, ParamWords[n] at 159 + 2n, low byte first, the
// flag word of the kind at 846 (KTV) or 850 (cinema and auto). Commands not
// listed keep nothing in the block.
constexpr int kWords = 159;
constexpr int kKtvFlags = 846;
constexpr int kCinemaFlags = 850;
constexpr int kKindByte = 107;
constexpr std::uint8_t kParamFlags = 0x0F;
constexpr std::uint8_t kSwMode = 0x22;
constexpr int kSwModeFlagByte = kKtvFlags + 3;  // ParamFlags bit 27
constexpr std::uint8_t kSwModeFlagBit = 1 << 3;

struct Places {
    std::vector<int> at;
    Places& B(std::initializer_list<int> bytes) {
        at.insert(at.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Places& U(std::initializer_list<int> words) {
        for (int w : words) B({kWords + 2 * w, kWords + 2 * w + 1});
        return *this;
    }
    Places& Skip() { return B({-1}); }
};

std::vector<int> KeptPlaces(std::uint8_t code, bool ktv) {
    switch (code) {
        case 0x02:
            return ktv ? Places{}.B({0, 3, 4, 6, 22, 23, 24, 25, 9, 150, 151, 153}).at
                       : Places{}.B({109, 108, 149, 154}).at;
        case 0x05:
            return Places{}.B({1, 10, 11, 14, 26, 101, 12, 13}).at;
        case 0x09:
            return {2};
        case 0x0D:
            return Places{}.B({85, 86, 87, 88, 89, 90, 91, 92, 93}).U({26, 27, 30, 31, 32, 33}).at;
        case kParamFlags: {
            const int at = ktv ? kKtvFlags : kCinemaFlags;
            return {at, at + 1, at + 2, at + 3};
        }
        case kSwMode:
            return Places{}.Skip().B({96, 97, 98, 99}).at;
        case 0x3D:
            return {kKindByte};
        default:
            return {};
    }
}

// The auto kind's audio input (0 COAX .. 5 HDMI4), kept for both sets: the
// cinema set's input, the KTV set's (1 AUTO .. 10 HDMI4, COAX at 5), and
// for an HDMI input the video input that comes with it (0 HDMI1 ..).
constexpr std::uint8_t kAutoAudioInput = 0x06;
constexpr int kKtvAudio = 6;
constexpr int kCinemaAudio = 108;
constexpr int kCinemaVideo = 154;
constexpr int kCinemaInputs = 6;
constexpr int kKtvCoax = 5;
constexpr int kFirstHdmiInput = 2;

// The main toggles, bits 1..3 of the header's options byte.
constexpr std::uint8_t kMainToggles = 0x38;
constexpr int kToggleBits = 0x0E;

std::uint8_t Sum(const Bytes& b) {
    return static_cast<std::uint8_t>(std::accumulate(b.begin(), b.end(), 0u) & 0xFF);
}

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
    learnStep_ = 0;
    repliesToUnaskedBefore_ = 0;
    loginStep_ = 0;
}

Knobs DeviceEmulator::GetKnobs() const {
    std::lock_guard lock(mutex_);
    return knobs_;
}

void DeviceEmulator::SetBlock(const Bytes& block) {
    std::lock_guard lock(mutex_);
    block_ = block;
    block_.resize(kBlockLength);
}

void DeviceEmulator::SetHeader(const HeaderState& header) {
    std::lock_guard lock(mutex_);
    header_ = header;
}

void DeviceEmulator::SetCurrentSlot(int slot) {
    std::lock_guard lock(mutex_);
    currentSlot_ = slot;
}

std::vector<OutgoingReply> DeviceEmulator::OnHostBytes(const std::uint8_t* bytes, std::size_t n) {
    std::lock_guard lock(mutex_);
    std::vector<OutgoingReply> out;
    stream_.Append(bytes, n);
    while (auto c = stream_.Next()) {
        if (held_ > 0) ++overlaps_;
        requests_.push_back(*c);
        const Knobs& k = knobs_;
        if (!LengthFits(*c)) {
            ++wrongLengths_;
            continue;
        }
        if (k.silent || k.silentCodes.count(c->code) != 0) continue;
        if (k.answerLimit >= 0 && answered_ >= k.answerLimit) continue;
        std::optional<Bytes> data = Answer(*c, k);
        if (!data) continue;
        ++answered_;
        if (k.shortReplyCodes.count(c->code) != 0 && !data->empty()) data->pop_back();
        if (k.unasked && k.unasked->before == c->code &&
            ++repliesToUnaskedBefore_ == k.unasked->nth) {
            out.push_back({EncodeReply(k.unasked->code, k.unasked->data), k.delayTicks});
            ++held_;
            if (k.unasked->insteadOfReply) continue;
        }
        out.push_back(
            {EncodeReply(c->code, *data, k.badChecksumCodes.count(c->code) != 0), k.delayTicks});
        ++held_;
    }
    return out;
}

bool DeviceEmulator::LengthFits(const Command& c) const {
    const int n = static_cast<int>(c.data.size());
    if (c.code == kUploadData) {
        return n >= 4 && n == (c.data[2] | (c.data[3] << 8)) + 8;
    }
    for (const Length& l : kLengths) {
        if (l.code == c.code) return n == l.length || n == l.other;
    }
    return false;
}

Bytes DeviceEmulator::HeaderLocked() const {
    Bytes h(15, 0);
    h[0] = static_cast<std::uint8_t>(currentSlot_);
    h[1] = 0x13;
    h[2] = 0x01;
    h[3] = 0x03;
    h[4] = static_cast<std::uint8_t>(knobs_.badHeader ? 0x06 : 0x05);
    h[7] = header_.options;
    h[8] = static_cast<std::uint8_t>(header_.adminLevel);
    h[9] = static_cast<std::uint8_t>(header_.pinkNoise);
    h[14] = static_cast<std::uint8_t>(header_.powerOnMode);
    return h;
}

void DeviceEmulator::UploadError(const std::string& what) {
    uploadErrors_.push_back(what);
    upload_ = Upload{};
}

// A stored mode becomes the block: its head, its masks and its name.
void DeviceEmulator::LoadMode(int slot) {
    const std::optional<StoredMode>& mode = modes_[static_cast<std::size_t>(slot)];
    if (!mode) return;
    const Bytes& r = mode->record;
    std::copy(r.begin(), r.begin() + kRecordHead, block_.begin());
    std::copy(r.begin() + kRecordMasks, r.end(), block_.begin() + kBlockMasks);
    std::copy(r.begin() + kRecordName, r.begin() + kRecordName + 16,
              block_.begin() + kBlockNameTable + 16 * slot);
}

std::optional<Bytes> DeviceEmulator::Answer(const Command& c, const Knobs& k) {
    const Bytes& d = c.data;
    switch (c.code) {
        case kHandshake:
            return Bytes{0x01, 0x10, 0x00, k.deviceType, k.featureFlag};
        case kHeader: {
            Bytes h = HeaderLocked();
            h.push_back(static_cast<std::uint8_t>(k.statedBlockLength % 256));
            h.push_back(static_cast<std::uint8_t>(k.statedBlockLength / 256));
            std::uint8_t check = static_cast<std::uint8_t>(-Sum(block_));
            if (k.badBlockChecksum) check ^= 0x5A;
            h.push_back(check);
            return h;
        }
        case kBlockRead: {
            const std::size_t offset = d[0] + 256u * d[1];
            const std::size_t count = d[2] + 256u * d[3];
            const std::size_t from = std::min(offset, block_.size());
            const std::size_t to = std::min(from + count, block_.size());
            return Bytes(block_.begin() + static_cast<long>(from),
                         block_.begin() + static_cast<long>(to));
        }
        case kSelectMode:
            if (d[0] < kSlots) {
                currentSlot_ = d[0];
                LoadMode(currentSlot_);
            }
            return Bytes{0};
        case kResetAll:
            for (auto& m : modes_) m.reset();
            return Bytes{0};
        case kBoostSave:
            std::copy(d.begin(), d.begin() + 81, block_.begin() + kBlockBoost);
            return Bytes{0};
        case kEchoType: {
            block_[kEchoBytes] = d[0];
            Bytes a(block_.begin() + kEchoBytes, block_.begin() + kEchoBytes + 9);
            a.insert(a.end(), block_.begin() + kEchoWords, block_.begin() + kEchoWords + 8);
            return a;
        }
        case kUploadStart: {
            const int length = d[0] | (d[1] << 8);
            upload_ = Upload{};
            if (length != kModeRecordLength) {
                UploadError("start: length " + std::to_string(length));
            } else {
                upload_.active = true;
                upload_.checksum = d[2];
            }
            return Bytes{0};
        }
        case kUploadData: {
            const int offset = d[0] | (d[1] << 8);
            const int count = d[2] | (d[3] << 8);
            if (!upload_.active) {
                UploadError("data without a start");
            } else if (offset != static_cast<int>(upload_.received.size())) {
                UploadError("data at " + std::to_string(offset) + ", expected " +
                            std::to_string(upload_.received.size()));
            } else if (count < 1 || count > 60 || offset + count > kModeRecordLength) {
                UploadError("data of " + std::to_string(count) + " at " + std::to_string(offset));
            } else if (!std::all_of(d.end() - 4, d.end(), [](std::uint8_t b) { return b == 0; })) {
                UploadError("data trailing bytes not zero");
            } else {
                upload_.received.insert(upload_.received.end(), d.begin() + 4,
                                        d.begin() + 4 + count);
            }
            return Bytes{0};
        }
        case kUploadEnd: {
            const std::uint8_t slotByte = d[0];
            const int slot = slotByte & 0x1F;
            if (!upload_.active) {
                UploadError("end without a start");
            } else if (static_cast<int>(upload_.received.size()) != kModeRecordLength) {
                UploadError("end after " + std::to_string(upload_.received.size()) + " bytes");
            } else if (static_cast<std::uint8_t>(Sum(upload_.received) + upload_.checksum) != 0) {
                UploadError("record checksum");
            } else if (slot >= kSlots || (slotByte & 0x60) != 0) {
                UploadError("slot byte " + std::to_string(slotByte));
            } else {
                modes_[static_cast<std::size_t>(slot)] =
                    StoredMode{upload_.received, (slotByte & 0x80) != 0, d[1]};
                upload_ = Upload{};
                currentSlot_ = slot;
                LoadMode(slot);
            }
            return Bytes{0};
        }
        case kLearn: {
            if (learnStep_ >= k.learnScript.size()) return Bytes{0};
            const int n = k.learnScript[learnStep_++];
            Bytes a = {static_cast<std::uint8_t>(n)};
            for (int i = 0; i < n; ++i) a.push_back(static_cast<std::uint8_t>(0xC0 + i));
            return a;
        }
        case kLearnTable: {
            LearnTable table;
            table.codes.assign(d.begin(), d.begin() + kLearnCodesLength);
            for (int i = 0; i < 4; ++i)
                table.baudRate |=
                    static_cast<std::uint32_t>(d[static_cast<std::size_t>(kLearnCodesLength + i)])
                    << (8 * i);
            learnTable_ = table;
            return Bytes{0x00};
        }
        default:
            Keep(c);
            if (c.code >= kLockKey && c.code <= kAdminPassword) {
                if (loginStep_ < k.loginScript.size()) return Bytes{k.loginScript[loginStep_++]};
                const auto it = k.loginStatus.find(c.code);
                return Bytes{it == k.loginStatus.end() ? std::uint8_t{1} : it->second};
            }
            return Bytes{0x00};
    }
}

void DeviceEmulator::Keep(const Command& c) {
    const Bytes& d = c.data;
    switch (c.code) {
        case kAutoAudioInput:
            if (d[0] >= kCinemaInputs) return;
            block_[kCinemaAudio] = d[0];
            block_[kKtvAudio] = static_cast<std::uint8_t>(d[0] + kKtvCoax);
            if (d[0] >= kFirstHdmiInput)
                block_[kCinemaVideo] = static_cast<std::uint8_t>(d[0] - kFirstHdmiInput);
            return;
        case kMainToggles:
            header_.options = static_cast<std::uint8_t>((header_.options & ~kToggleBits) |
                                                        ((d[0] << 1) & kToggleBits));
            return;
        case kSwMode:
            block_[kSwModeFlagByte] =
                static_cast<std::uint8_t>(d[0] ? block_[kSwModeFlagByte] | kSwModeFlagBit
                                               : block_[kSwModeFlagByte] & ~kSwModeFlagBit);
            break;
        default:
            break;
    }
    const std::vector<int> places = KeptPlaces(c.code, block_[kKindByte] == 0);
    for (std::size_t k = 0; k < places.size() && k < d.size(); ++k)
        if (places[k] >= 0) block_[static_cast<std::size_t>(places[k])] = d[k];
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

int DeviceEmulator::WrongLengths() const {
    std::lock_guard lock(mutex_);
    return wrongLengths_;
}

std::vector<std::string> DeviceEmulator::UploadErrors() const {
    std::lock_guard lock(mutex_);
    return uploadErrors_;
}

std::optional<LearnTable> DeviceEmulator::KeptLearnTable() const {
    std::lock_guard lock(mutex_);
    return learnTable_;
}

Bytes DeviceEmulator::Block() const {
    std::lock_guard lock(mutex_);
    return block_;
}

Bytes DeviceEmulator::Header() const {
    std::lock_guard lock(mutex_);
    return HeaderLocked();
}

int DeviceEmulator::CurrentSlot() const {
    std::lock_guard lock(mutex_);
    return currentSlot_;
}

std::optional<StoredMode> DeviceEmulator::Mode(int slot) const {
    std::lock_guard lock(mutex_);
    if (slot < 0 || slot >= kSlots) return std::nullopt;
    return modes_[static_cast<std::size_t>(slot)];
}

}  // namespace emu
