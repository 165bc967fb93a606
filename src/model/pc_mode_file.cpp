#include "model/pc_mode_file.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "model/byte_order.h"

namespace {

constexpr std::uint16_t kTag = 34;
constexpr std::uint16_t kVersion = 2;
constexpr std::size_t kBytesOffset = 8;
constexpr std::size_t kWordsOffset = 168;
constexpr std::size_t kGapOffset = 1422;  // two zero bytes after the bands
constexpr std::size_t kFlagsOffset = 1424;
constexpr std::size_t kCinemaFlagsOffset = 1428;
constexpr std::size_t kNameOffset = 1432;
constexpr std::size_t kMasksOffset = 1448;
constexpr std::size_t kPowerOnModeOffset = 1468;
constexpr std::size_t kChecksumOffset = 1485;
constexpr int kMaxBandType = kBandTypeHighPass;
constexpr int kMaxPowerOnMode = 10;
constexpr std::uint8_t kNameMin = 32;  // the unit shows 32..122 only
constexpr std::uint8_t kNameMax = 122;

// The band areas, in file order.
template <class Image>
auto BandAreas(Image& image) {
    using Band = std::conditional_t<std::is_const_v<Image>, const EqBand, EqBand>;
    struct Area {
        std::size_t offset;
        std::span<Band> bands;
    };
    return std::array<Area, 9>{{{262, image.Mic1EqBands},
                                {398, image.Mic2EqBands},
                                {534, image.MusicEqBands},
                                {670, image.MasterEqBands},
                                {862, image.SurroundEqBands},
                                {1054, image.CentreEqBands},
                                {1198, image.SubwooferEqBands},
                                {1310, image.ReverbEqBands},
                                {1366, image.EchoEqBands}}};
}

// ParamBytes whose values select something (a kind, an input, a type, a
// table row); anything outside these ranges would index past a table. Level
// bytes and the bytes the unit only carries take any value.
struct ByteRange {
    std::size_t index;
    std::uint8_t min;
    std::uint8_t max;
};
constexpr ByteRange kCheckedBytes[] = {
    {6, 1, 10},  // KTV audio input
    {9, 0, 14},  // pitch
    {80, 0, 2},  // reverb type
    {85, 0, 2},  // echo type
    {94, 0, 3},  // second video input's HDMI index, KTV and cinema
    {95, 0, 3},
    {107, 0, 2},  // SystemMode
    {108, 0, 5},  // cinema and auto audio input
    {153, 0, 3},  // video input's HDMI index, KTV and cinema
    {154, 0, 3},
    // Pass-filter slopes: music, mic, then the KTV channel blocks of master,
    // surround, centre and subwoofer, then their cinema blocks; HP, LP each.
    {7, 0, kPassSlopeMax},
    {8, 0, kPassSlopeMax},
    {19, 0, kPassSlopeMax},
    {20, 0, kPassSlopeMax},
    {37, 0, kPassSlopeMax},
    {38, 0, kPassSlopeMax},
    {51, 0, kPassSlopeMax},
    {52, 0, kPassSlopeMax},
    {65, 0, kPassSlopeMax},
    {66, 0, kPassSlopeMax},
    {77, 0, kPassSlopeMax},
    {78, 0, kPassSlopeMax},
    {122, 0, kPassSlopeMax},
    {123, 0, kPassSlopeMax},
    {130, 0, kPassSlopeMax},
    {131, 0, kPassSlopeMax},
    {138, 0, kPassSlopeMax},
    {139, 0, kPassSlopeMax},
    {146, 0, kPassSlopeMax},
    {147, 0, kPassSlopeMax},
};

// What the user hears right now; a load keeps these as they are.
constexpr std::size_t kLiveVolumeBytes[] = {0, 1, 2, 109};

struct VolumeCap {
    std::size_t volume;
    std::size_t maximum;
};
constexpr VolumeCap kLiveVolumeCaps[] = {{0, 4}, {1, 11}, {109, 149}};

std::uint8_t SummedBytes(std::span<const std::uint8_t> bytes) {
    unsigned sum = bytes[0] + bytes[2];
    for (std::size_t i = kBytesOffset; i <= kPowerOnModeOffset; ++i) sum += bytes[i];
    return static_cast<std::uint8_t>(sum);
}

bool FileChecks(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kPcModeFileSize || ReadU16(&bytes[0]) != kTag ||
        ReadU16(&bytes[2]) != kVersion ||
        static_cast<std::uint8_t>(SummedBytes(bytes) + bytes[kChecksumOffset]) != 0 ||
        bytes[kGapOffset] != 0 || bytes[kGapOffset + 1] != 0 ||
        bytes[kPowerOnModeOffset] > kMaxPowerOnMode) {
        return false;
    }
    for (const ByteRange& r : kCheckedBytes) {
        const std::uint8_t v = bytes[kBytesOffset + r.index];
        if (v < r.min || v > r.max) return false;
    }
    for (std::size_t i = 0; i < kModeNameLength; ++i) {
        const std::uint8_t c = bytes[kNameOffset + i];
        if (c < kNameMin || c > kNameMax) return false;
    }
    static const ParamImage kShape{};  // only the areas' places and sizes are read
    for (const auto& area : BandAreas(kShape)) {
        for (std::size_t i = 0; i < area.bands.size(); ++i) {
            const EqBand band = ReadEqBandRecord(&bytes[area.offset + i * kEqBandRecordSize]);
            if (!EqBandInRange(band, kMaxBandType)) return false;
        }
    }
    return true;
}

}  // namespace

ModeName PcModeNameField(const std::string& gbk) {
    ModeName name;
    name.fill(' ');
    for (std::size_t i = 0; i < name.size() && i < gbk.size(); ++i) {
        const auto byte = static_cast<unsigned char>(gbk[i]);
        if (byte >= 32 && byte <= 122) name[i] = gbk[i];
    }
    return name;
}

std::optional<PcModeFileBytes> PackPcModeFile(const ParamImage& image, const ModeName& modeName) {
    PcModeFileBytes out{};
    WriteU16(kTag, &out[0]);
    WriteU16(kVersion, &out[2]);
    std::memcpy(&out[kBytesOffset], image.ParamBytes.data(), kParamBytesCount);
    for (std::size_t i = 0; i < kParamWordsCount; ++i) {
        WriteU16(image.ParamWords[i], &out[kWordsOffset + 2 * i]);
    }
    for (const auto& area : BandAreas(image)) {
        for (std::size_t i = 0; i < area.bands.size(); ++i) {
            WriteEqBandRecord(area.bands[i], &out[area.offset + i * kEqBandRecordSize]);
        }
    }
    WriteU32(image.ParamFlags, &out[kFlagsOffset]);
    WriteU32(image.CinemaParamFlags, &out[kCinemaFlagsOffset]);
    std::memcpy(&out[kNameOffset], modeName.data(), kModeNameLength);
    for (std::size_t i = 0; i < kBandEnableMaskCount; ++i) {
        WriteU16(image.BandEnableMasks[i], &out[kMasksOffset + 2 * i]);
    }
    out[kPowerOnModeOffset] = static_cast<std::uint8_t>(image.PowerOnMode & 0xFF);
    out[kChecksumOffset] = static_cast<std::uint8_t>(0x100 - SummedBytes(out));
    if (!FileChecks(out)) return std::nullopt;
    return out;
}

bool UnpackPcModeFile(std::span<const std::uint8_t> bytes, ParamImage& image) {
    if (!FileChecks(bytes)) return false;
    std::array<std::uint8_t, std::size(kLiveVolumeBytes)> live{};
    for (std::size_t i = 0; i < live.size(); ++i) live[i] = image.ParamBytes[kLiveVolumeBytes[i]];
    std::memcpy(image.ParamBytes.data(), &bytes[kBytesOffset], kParamBytesCount);
    for (std::size_t i = 0; i < live.size(); ++i) image.ParamBytes[kLiveVolumeBytes[i]] = live[i];
    for (std::size_t i = 0; i < kParamWordsCount; ++i) {
        image.ParamWords[i] = ReadU16(&bytes[kWordsOffset + 2 * i]);
    }
    for (const auto& area : BandAreas(image)) {
        for (std::size_t i = 0; i < area.bands.size(); ++i) {
            area.bands[i] = ReadEqBandRecord(&bytes[area.offset + i * kEqBandRecordSize]);
        }
    }
    image.ParamFlags = ReadU32(&bytes[kFlagsOffset]);
    image.CinemaParamFlags = ReadU32(&bytes[kCinemaFlagsOffset]);
    std::memcpy(image.CurrentModeName.data(), &bytes[kNameOffset], kModeNameLength);
    image.CurrentModeName[kModeNameLength] = '\0';
    for (std::size_t i = 0; i < kBandEnableMaskCount; ++i) {
        image.BandEnableMasks[i] = ReadU16(&bytes[kMasksOffset + 2 * i]);
    }
    image.PowerOnMode = bytes[kPowerOnModeOffset];
    return true;
}

void CapLiveVolumes(ParamImage& image) {
    for (const VolumeCap& cap : kLiveVolumeCaps) {
        image.ParamBytes[cap.volume] =
            std::min(image.ParamBytes[cap.volume], image.ParamBytes[cap.maximum]);
    }
}
