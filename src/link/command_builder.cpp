#include "link/command_builder.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "link/command_codes.h"
#include "link/wire_band.h"

namespace {

// Where a payload byte comes from.
enum class Src : std::uint8_t {
    kByte,        // ParamBytes[index]
    kWord,        // ParamWords[index], u16 LE
    kConst,       // the value index
    kArg0,        // argument bits 0..7
    kArg1,        // argument bits 8..15
    kUnlock,      // UnlockFlags, low byte
    kPowerOn,     // PowerOnMode, low byte
    kKindFlags,   // ParamFlags (KTV) or CinemaParamFlags, u32 LE
    kSwModeFlag,  // ParamFlags bit 27
};

struct Field {
    Src src;
    std::uint8_t index = 0;
};

constexpr Field B(int n) { return {Src::kByte, static_cast<std::uint8_t>(n)}; }
constexpr Field U(int n) { return {Src::kWord, static_cast<std::uint8_t>(n)}; }
constexpr Field K(int v) { return {Src::kConst, static_cast<std::uint8_t>(v)}; }
constexpr Field kArg0{Src::kArg0};
constexpr Field kArg1{Src::kArg1};

// When a code may be sent at all.
enum class When : std::uint8_t { kAlways, kAutoOnly };

constexpr int kMaxFields = 16;

// Generic codes whose payload is a plain list of fields. maxArg: the
// argument must lie in 0..maxArg, -1 for any.
struct FieldLayout {
    std::uint8_t code;
    int pad;
    When when;
    int maxArg;
    int count;
    std::array<Field, kMaxFields> fields;
};

constexpr FieldLayout kFieldLayouts[] = {
    {CMD_EQ_RESET, 1, When::kAlways, 10, 1, {kArg0}},
    {CMD_MIC_SETTINGS,
     1,
     When::kAlways,
     -1,
     8,
     {B(1), B(10), B(11), B(14), B(26), B(101), B(12), B(13)}},
    {CMD_AUTO_AUDIO_INPUT, 1, When::kAutoOnly, -1, 1, {kArg0}},
    {CMD_AUTO_VIDEO_INPUT, 1, When::kAutoOnly, -1, 1, {kArg0}},
    {CMD_UNLOCK_FLAGS, 1, When::kAlways, -1, 1, {Field{Src::kUnlock}}},
    {CMD_EFFECT_VOLUME, 1, When::kAlways, -1, 1, {B(2)}},
    {CMD_EFFECT_INIT_VOLUME, 1, When::kAlways, -1, 1, {B(21)}},
    // The unit takes a fixed 50 where ParamBytes[83] would be.
    {CMD_REVERB_SETTINGS,
     1,
     When::kAlways,
     -1,
     10,
     {B(79), B(80), B(81), B(82), K(50), B(84), U(24), U(25), U(28), U(29)}},
    {CMD_ECHO_SETTINGS,
     1,
     When::kAlways,
     -1,
     15,
     {B(85), B(86), B(87), B(88), B(89), B(90), B(91), B(92), B(93), U(26), U(27), U(30), U(31),
      U(32), U(33)}},
    {CMD_PARAM_FLAGS, 1, When::kAlways, -1, 1, {Field{Src::kKindFlags}}},
    {CMD_RESET_ALL, 0, When::kAlways, -1, 1, {K(0)}},
    {CMD_TEST_SIGNAL, 1, When::kAlways, 6, 1, {kArg0}},
    {CMD_SW_MODE, 1, When::kAlways, -1, 5, {Field{Src::kSwModeFlag}, B(96), B(97), B(98), B(99)}},
    {CMD_BOOST_ENABLE, 1, When::kAlways, -1, 2, {kArg0, kArg1}},
    {CMD_WIFI_MODULE, 1, When::kAlways, -1, 1, {kArg0}},
    {CMD_MAIN_TOGGLES, 1, When::kAlways, -1, 1, {kArg0}},
    {CMD_SURROUND2_VOLUME, 0, When::kAlways, -1, 4, {B(155), B(156), B(157), B(158)}},
    {CMD_ECHO_TYPE, 1, When::kAlways, -1, 1, {kArg0}},
    {CMD_POWER_ON_MODE, 1, When::kAlways, -1, 1, {Field{Src::kPowerOn}}},
    {CMD_MIC_EQ_LINK, 1, When::kAlways, -1, 2, {kArg0, kArg1}},
    {CMD_SYSTEM_MODE, 1, When::kAlways, -1, 1, {kArg0}},
    {CMD_READ_HEADER, 1, When::kAlways, -1, 1, {K(0)}},
    {CMD_VIDEO2_INPUT, 1, When::kAlways, -1, 2, {B(94), B(95)}},
};

// CMD_MUSIC_SETTINGS, by kind.
constexpr Field kMusicKtv[] = {B(0),  B(3),  B(4), B(6),   B(22),  B(23),
                               B(24), B(25), B(9), B(150), B(151), B(153)};
constexpr Field kMusicCinema[] = {B(109), B(108), B(149), B(154)};

// Records the sender owns; lParam points at them.
struct RecordLayout {
    std::uint8_t code;
    int size;
};
constexpr RecordLayout kRecordLayouts[] = {
    {CMD_SET_LOGO, 41},  {CMD_LOCK_KEY, 5},        {CMD_LOCK_PASSWORD, 8},
    {CMD_ADMIN_MODE, 7}, {CMD_ADMIN_PASSWORD, 12},
};

// CMD_PASS_FILTER: slope byte and frequency word by PassFilterId.
struct PassFilterPlace {
    std::uint8_t slopeByte;
    std::uint8_t freqWord;
};
constexpr PassFilterPlace kPassFilterKtv[16] = {
    {19, 0}, {20, 1}, {7, 2},   {8, 3},   {37, 4},  {38, 5},  {39, 6},  {40, 7},
    {51, 8}, {52, 9}, {53, 10}, {54, 11}, {65, 12}, {66, 13}, {77, 14}, {78, 15},
};
// The microphone and music filters (ids 0..3) have a single copy, kept in
// the KTV places and edited there in every kind; reading the centre and
// subwoofer KTV places for them instead would send those filters' values.
constexpr PassFilterPlace kPassFilterCinema[16] = {
    {19, 0},   {20, 1},   {7, 2},    {8, 3},    {122, 16}, {123, 17}, {122, 16}, {123, 17},
    {130, 18}, {131, 19}, {130, 18}, {131, 19}, {138, 20}, {139, 21}, {146, 22}, {147, 23},
};

// CMD_OUTPUT_CHANNEL: first byte of the channel block by channel 0..5.
constexpr int kOutputChannels = 6;
constexpr std::uint8_t kOutputKtvFirst[kOutputChannels] = {27, 27, 41, 41, 55, 67};
constexpr std::uint8_t kOutputCinemaFirst[kOutputChannels] = {116, 116, 124, 124, 132, 140};

constexpr int kDirectTrailing = 4;

// Codes whose newest value is all the unit needs: while one waits for the
// link, a newer request of the code (of the same argument, where the frame
// is for one band, output, channel, filter or speaker of several) drops it,
// so a drag sends its newest position and not every step. The newer one goes
// last, after everything that waited before it was made: two codes' frames
// can carry the same byte (the input buttons and the music frame, the
// dance-mode switch and the flag word), and the unit must end on the value
// set last. Never past a request that keeps its turn. Every other code
// keeps its turn: each request reaches the unit, in the order sent (a mode
// select, a kind switch, the echo type, Reset All, the logo, the test
// signal, the power-on mode, the mic link, an EQ reset, a login, the WiFi
// module, learning).
struct ChangeCode {
    std::uint8_t code;
    bool byArgument;
};
constexpr ChangeCode kChangeCodes[] = {
    {CMD_MUSIC_SETTINGS, false},   {CMD_EQ_BAND, true},
    {CMD_MIC_SETTINGS, false},     {CMD_AUTO_AUDIO_INPUT, false},
    {CMD_AUTO_VIDEO_INPUT, false}, {CMD_UNLOCK_FLAGS, false},
    {CMD_EFFECT_VOLUME, false},    {CMD_EFFECT_INIT_VOLUME, false},
    {CMD_REVERB_SETTINGS, false},  {CMD_ECHO_SETTINGS, false},
    {CMD_OUTPUT_CHANNEL, true},    {CMD_PARAM_FLAGS, false},
    {CMD_PASS_FILTER, true},       {CMD_SW_MODE, false},
    {CMD_BOOST_ENABLE, false},     {CMD_BOOST_BAND, true},
    {CMD_MAIN_TOGGLES, false},     {CMD_SURROUND2_VOLUME, false},
    {CMD_SPEAKER_SIZE, true},      {CMD_VIDEO2_INPUT, false},
    {CMD_BAND_ENABLE, true},
};

// Codes that keep their turn and still carry a state of the panel's own
// (a kind, a test signal, a power-on mode, a link, a reset of an EQ): like
// the changes, they are not sent while a block read is about to replace
// the image.
constexpr std::uint8_t kImageStateCodes[] = {CMD_EQ_RESET, CMD_TEST_SIGNAL, CMD_POWER_ON_MODE,
                                             CMD_MIC_EQ_LINK, CMD_SYSTEM_MODE};

const ChangeCode* ChangeCodeFor(unsigned code) {
    for (const ChangeCode& c : kChangeCodes)
        if (c.code == code) return &c;
    return nullptr;
}

bool CarriesImageState(unsigned code) {
    return std::find(std::begin(kImageStateCodes), std::end(kImageStateCodes), code) !=
           std::end(kImageStateCodes);
}

// The learn request's operation byte: 2 asks again for the slot pending.
constexpr int kLearnRetry = 2;

const FieldLayout* FieldLayoutFor(unsigned code) {
    for (const FieldLayout& l : kFieldLayouts)
        if (l.code == code) return &l;
    return nullptr;
}

const RecordLayout* RecordLayoutFor(unsigned code) {
    for (const RecordLayout& l : kRecordLayouts)
        if (l.code == code) return &l;
    return nullptr;
}

int ArgByte(LPARAM argument, int n) { return static_cast<int>((argument >> (8 * n)) & 0xFF); }

}  // namespace

std::array<char, kModeNameLength> ModeNameField(const std::string& utf8) {
    std::array<char, kModeNameLength> name;
    name.fill(' ');
    std::size_t at = 0;
    for (std::size_t n = 0; n < kModeNameLength && at < utf8.size(); ++n) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        // One character is one UTF-8 sequence; a byte that starts none
        // counts as one character.
        std::size_t length = 1;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (at + k >= utf8.size() ||
                (static_cast<unsigned char>(utf8[at + k]) & 0xC0) != 0x80) {
                length = 1;
                break;
            }
        }
        if (length == 1 && lead >= 32 && lead <= 122) name[n] = static_cast<char>(lead);
        at += length;
    }
    return name;
}

void CommandBuilder::Payload::PutBand(const EqBand& band) {
    PackWireBand(band, bytes.data() + length);
    length += kWireBandSize;
}

bool CommandBuilder::OnSendCommand(unsigned code, LPARAM argument) {
    PreStep(code);
    if (link_.LinkState() < 1) return false;
    if (code == CMD_READ_BLOCK) {
        link_.SubmitBlockChunkRequest();
        return true;
    }
    if (const std::optional<bool> direct = SendDirect(code, argument)) return *direct;
    Payload payload;
    if (!BuildGeneric(code, argument, payload)) return false;
    LinkRequest request;
    request.code = static_cast<std::uint8_t>(code);
    request.data = payload.bytes.data();
    request.length = payload.length;
    if (const ChangeCode* change = ChangeCodeFor(code)) {
        request.key = ChangeKey(request.code,
                                change->byArgument ? static_cast<unsigned>(argument & 0xFFFF) : 0);
        request.fromImage = true;
    }
    request.fromImage = request.fromImage || CarriesImageState(code);
    request.nextStep = code == CMD_LEARN && ArgByte(argument, 1) == kLearnRetry;
    if (!link_.Submit(request)) return false;
    // The unit's mode is the selected one only once the select is taken.
    if (code == CMD_SELECT_MODE) image_.CurrentModeSlot = static_cast<std::uint8_t>(argument);
    return true;
}

// The volume limits hold in every link state, so a slider moved past its
// maximum springs back whether or not a unit is connected.
void CommandBuilder::PreStep(unsigned code) {
    auto& b = image_.ParamBytes;
    const int column = code == CMD_MUSIC_SETTINGS ? 0 : code == CMD_MIC_SETTINGS ? 1 : -1;
    if (column < 0) return;
    const MainVolumeBytes volume = MainVolumeFor(image_, column);
    if (b[volume.maximumIndex] >= b[volume.index]) return;
    b[volume.index] = b[volume.maximumIndex];
    if (hooks.mainVolume) hooks.mainVolume(column, b[volume.index]);
}

bool CommandBuilder::BuildGeneric(unsigned code, LPARAM argument, Payload& out) {
    const auto& b = image_.ParamBytes;
    const auto& u = image_.ParamWords;
    auto put = [&](const Field& f) {
        switch (f.src) {
            case Src::kByte:
                out.Put8(b[f.index]);
                break;
            case Src::kWord:
                out.Put16(u[f.index]);
                break;
            case Src::kConst:
                out.Put8(f.index);
                break;
            case Src::kArg0:
                out.Put8(ArgByte(argument, 0));
                break;
            case Src::kArg1:
                out.Put8(ArgByte(argument, 1));
                break;
            case Src::kUnlock:
                out.Put8(image_.UnlockFlags & 0xFF);
                break;
            case Src::kPowerOn:
                out.Put8(image_.PowerOnMode & 0xFF);
                break;
            case Src::kKindFlags:
                out.Put32(Ktv() ? image_.ParamFlags : image_.CinemaParamFlags);
                break;
            case Src::kSwModeFlag:
                out.Put8((image_.ParamFlags >> 27) & 1);
                break;
        }
    };

    if (const FieldLayout* l = FieldLayoutFor(code)) {
        if (l->when == When::kAutoOnly && b[kSystemModeByte] != 2) return false;
        if (l->maxArg >= 0 && (argument < 0 || argument > l->maxArg)) return false;
        for (int i = 0; i < l->count; ++i) put(l->fields[static_cast<std::size_t>(i)]);
        out.Pad(l->pad);
        return true;
    }
    if (const RecordLayout* r = RecordLayoutFor(code)) {
        // The sender's buffer: copied now, while it still holds the bytes.
        if (argument == 0) return false;
        out.PutBytes(reinterpret_cast<const std::uint8_t*>(argument), r->size);
        out.Pad(1);
        return true;
    }

    switch (code) {
        case CMD_SELECT_MODE: {
            if (argument < 0 || argument >= static_cast<LPARAM>(kUserModeCount)) return false;
            out.Put8(static_cast<int>(argument));
            break;
        }
        case CMD_MUSIC_SETTINGS: {
            const std::span<const Field> fields =
                Ktv() ? std::span<const Field>(kMusicKtv) : std::span<const Field>(kMusicCinema);
            for (const Field& f : fields) put(f);
            break;
        }
        case CMD_EQ_BAND: {
            const int id = ArgByte(argument, 0);
            const int band = ArgByte(argument, 1);
            if ((argument >> 16) != 0) return false;
            const std::span<const EqBand> set = EqModuleBands(image_, id, !Ktv());
            // PEQ bands only: the pass filters of a set travel with 0x11.
            if (set.size() < 2 || band >= static_cast<int>(set.size()) - 2) return false;
            out.Put8(id);
            out.Put8(band);
            out.PutBand(set[static_cast<std::size_t>(band)]);
            break;
        }
        case CMD_OUTPUT_CHANNEL: {
            if (argument < 0 || argument >= kOutputChannels) return false;
            const int ch = static_cast<int>(argument);
            const bool ktv = Ktv();
            const int first = ktv ? kOutputKtvFirst[ch] : kOutputCinemaFirst[ch];
            out.Put8(ch);
            for (int i = 0; i < (ktv ? 10 : 6); ++i)
                out.Put8(b[static_cast<std::size_t>(first + i)]);
            out.Put16(u[static_cast<std::size_t>((ktv ? 34 : 40) + ch)]);
            // Channels 0 and 2 are the pairs with a second delay.
            int pair = 0;
            if (ch == 0) pair = ktv ? u[35] : u[41];
            if (ch == 2) pair = ktv ? u[37] : u[43];
            out.Put16(pair);
            // KTV: 15 payload bytes in a 20-byte field.
            out.Pad(ktv ? 5 : 1);
            return true;
        }
        case CMD_PASS_FILTER: {
            if (argument < 0 || argument >= 16) return false;
            const PassFilterPlace& p =
                (Ktv() ? kPassFilterKtv : kPassFilterCinema)[static_cast<std::size_t>(argument)];
            out.Put8(static_cast<int>(argument));
            out.Put8(b[p.slopeByte]);
            out.Put16(u[p.freqWord]);
            break;
        }
        case CMD_BOOST_BAND: {
            const int target = ArgByte(argument, 0);
            const int band = ArgByte(argument, 1);
            if ((argument >> 16) != 0) return false;
            const std::span<const EqBand> run = BoostRunBands(image_, target);
            if (band >= static_cast<int>(run.size())) return false;
            out.Put8(target);
            out.Put8(band);
            out.PutBand(run[static_cast<std::size_t>(band)]);
            break;
        }
        case CMD_SPEAKER_SIZE: {
            if (Ktv() || argument < 0 || argument > 2) return false;
            const int i = static_cast<int>(argument);
            out.Put8(i);
            out.Put8(b[static_cast<std::size_t>(110 + i)]);
            out.Put8(b[static_cast<std::size_t>(113 + i)]);
            break;
        }
        case CMD_LEARN: {
            if (image_.BaudIndex < 0 ||
                image_.BaudIndex >= static_cast<int>(kLearnBaudRates.size()))
                return false;
            out.Put8(ArgByte(argument, 0));
            out.Put8(ArgByte(argument, 1));
            out.Put32(kLearnBaudRates[static_cast<std::size_t>(image_.BaudIndex)]);
            break;
        }
        case CMD_BAND_ENABLE: {
            if (argument < 0 || argument >= static_cast<LPARAM>(kEqModuleCount)) return false;
            const std::optional<int> word = BandMaskWordFor(static_cast<int>(argument));
            if (!word) return false;
            out.Put8(static_cast<int>(argument));
            out.Put16(image_.BandEnableMasks[static_cast<std::size_t>(*word)]);
            break;
        }
        default:
            // CMD_MASS_SAVE_STEP among them: nothing is known to send.
            return false;
    }
    out.Pad(1);
    return true;
}

std::optional<bool> CommandBuilder::SendDirect(unsigned code, LPARAM argument) {
    Payload out;
    LinkRequest request;
    request.code = static_cast<std::uint8_t>(code);
    request.builtWhole = true;
    request.usbTimeout = kUploadUsbTimeout;
    request.wifiTimeout = kUploadWifiTimeout;
    switch (code) {
        case CMD_BOOST_SAVE: {
            out.Put8(image_.BoostEnableFlags & 0xFF);
            // Wire order mic, music, reverb, echo: the BoostTarget order.
            for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
                for (const EqBand& band : BoostRunBands(image_, target)) out.PutBand(band);
            }
            request.fromImage = true;
            request.usbTimeout = request.wifiTimeout = kShortTimeout;
            break;
        }
        case CMD_MODE_UPLOAD_START:
            return StartModeUpload(argument);
        case CMD_MODE_UPLOAD_DATA:
            if (!BuildModeUploadData(out)) return false;
            request.nextStep = true;
            break;
        case CMD_MODE_UPLOAD_END:
            // Only a record that has gone out whole may be stored, and once.
            if (upload_.length == 0 || upload_.offset < upload_.length) return false;
            upload_.length = 0;
            image_.CurrentModeSlot = upload_.slot & 0x1F;
            out.Put8(upload_.slot);
            out.Put8(upload_.powerOnMode);
            request.nextStep = true;
            break;
        case CMD_LEARN_TABLE: {
            if (image_.BaudIndex < 0 ||
                image_.BaudIndex >= static_cast<int>(kLearnBaudRates.size()))
                return false;
            for (const LearnCode& learned : image_.LearnCodes)
                out.PutBytes(learned.data(), static_cast<int>(learned.size()));
            out.Put32(kLearnBaudRates[static_cast<std::size_t>(image_.BaudIndex)]);
            request.usbTimeout = request.wifiTimeout = kShortTimeout;
            break;
        }
        default:
            return std::nullopt;
    }
    out.Pad(kDirectTrailing);
    request.data = out.bytes.data();
    request.length = out.length;
    return link_.Submit(request);
}

std::optional<UploadRefusal> CommandBuilder::UploadRefusalNow() const {
    if (link_.UploadUnderWay()) return UploadRefusal::kUploadRunning;
    if (link_.BlockReadDue()) return UploadRefusal::kBlockReadDue;
    if (link_.LineFull()) return UploadRefusal::kLineFull;
    if (image_.PowerOnMode < 0 || image_.PowerOnMode > kMaxPowerOnMode)
        return UploadRefusal::kPowerOnMode;
    return std::nullopt;
}

bool CommandBuilder::StartModeUpload(LPARAM argument) {
    // The argument is a user mode, with bit 7 for a mode from a PC file and
    // nothing else: the unit reads the slot from the low five bits, so a
    // stray bit above them would store over another mode.
    const int slot = static_cast<int>(argument & 0x7F);
    if (argument < 0 || argument > 0xFF || slot >= static_cast<int>(kUserModeCount)) return false;
    if (link_.LinkState() != 3) return false;
    // One upload at a time: a second one would rebuild the record the first
    // is still sending. Nothing changes for a refused one.
    if (const std::optional<UploadRefusal> refusal = UploadRefusalNow()) {
        if (hooks.uploadRefused) hooks.uploadRefused(*refusal, image_.PowerOnMode);
        return false;
    }
    const std::array<char, kModeNameLength> name =
        ModeNameField(hooks.modeNameText ? hooks.modeNameText() : std::string());
    // The record carries the new name; the image takes it only once the
    // link has taken the upload.
    ParamImage named = image_;
    std::copy(name.begin(), name.end(), named.CurrentModeName.begin());
    named.CurrentModeName[kModeNameLength] = '\0';
    ModeUpload next;
    next.slot = static_cast<std::uint8_t>(argument & 0xFF);
    next.powerOnMode = static_cast<std::uint8_t>(image_.PowerOnMode);
    PackModeRecord(named, next.record.data());
    next.length = kModeRecordSize;
    std::uint8_t sum = 0;
    for (std::uint8_t v : next.record) sum = static_cast<std::uint8_t>(sum + v);

    Payload out;
    out.Put16(next.length);
    out.Put8(static_cast<std::uint8_t>(-sum));
    out.Pad(kDirectTrailing);
    LinkRequest request;
    request.code = CMD_MODE_UPLOAD_START;
    request.data = out.bytes.data();
    request.length = out.length;
    request.fromImage = true;
    request.builtWhole = true;
    request.usbTimeout = kUploadUsbTimeout;
    request.wifiTimeout = kUploadWifiTimeout;
    if (!link_.Submit(request)) return false;

    upload_ = next;
    image_.CurrentModeName = named.CurrentModeName;
    std::copy(name.begin(), name.end(),
              image_.ModeNameTable[static_cast<std::size_t>(slot)].begin());
    if (hooks.userModesChanged) hooks.userModesChanged();
    return true;
}

bool CommandBuilder::BuildModeUploadData(Payload& out) {
    // Only while a record is under way: a stray request has nothing to carry.
    if (upload_.offset >= upload_.length) return false;
    const int count = std::min(upload_.length - upload_.offset, ModeUpload::kChunk);
    out.Put16(upload_.offset);
    out.Put16(count);
    out.PutBytes(upload_.record.data() + upload_.offset, count);
    upload_.offset += count;
    return true;
}
