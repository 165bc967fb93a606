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
constexpr std::uint8_t kNameMin = 32;  // the unit shows 32..122 only
constexpr std::uint8_t kNameMax = 122;

// The band areas, in file order.
template <class Image>
auto BandAreas(Image& image) {
    using Band = std::conditional_t<std::is_const_v<Image>, const EqBand, EqBand>;
    struct Area {
        std::size_t offset;
        std::span<Band> bands;
        const char* english;  // the page's EQ, as a refused save names it
        const char* chinese;
    };
    return std::array<Area, 9>{{{262, image.Mic1EqBands, "Mic 1 EQ", "话筒1均衡"},
                                {398, image.Mic2EqBands, "Mic 2 EQ", "话筒2均衡"},
                                {534, image.MusicEqBands, "Music EQ", "音乐均衡"},
                                {670, image.MasterEqBands, "Main EQ", "主声道均衡"},
                                {862, image.SurroundEqBands, "Surround EQ", "环绕均衡"},
                                {1054, image.CentreEqBands, "Center EQ", "中置均衡"},
                                {1198, image.SubwooferEqBands, "Subwoofer EQ", "超低音均衡"},
                                {1310, image.ReverbEqBands, "Reverb EQ", "混响均衡"},
                                {1366, image.EchoEqBands, "Echo EQ", "回声均衡"}}};
}

// ParamBytes whose values select something (a kind, an input, a type, a
// table row); anything outside these ranges would index past a table. Level
// bytes and the bytes the unit only carries take any value.
struct ByteRange {
    std::size_t index;
    std::uint8_t min;
    std::uint8_t max;
    PcModeValueName name;
};
constexpr PcModeValueName kMainWindow = {"Main window", "主窗口", nullptr, nullptr};
constexpr PcModeValueName Named(const PcModeValueName& place, const char* english,
                                const char* chinese) {
    return {place.placeEnglish, place.placeChinese, english, chinese};
}
constexpr PcModeValueName kMusic = {"Music", "音乐", nullptr, nullptr};
constexpr PcModeValueName kMic = {"Mic", "话筒", nullptr, nullptr};
constexpr PcModeValueName kMain = {"Main", "主声道", nullptr, nullptr};
constexpr PcModeValueName kSurround = {"Surround", "环绕", nullptr, nullptr};
constexpr PcModeValueName kCentre = {"Center", "中置", nullptr, nullptr};
constexpr PcModeValueName kSubwoofer = {"Subwoofer", "超低音", nullptr, nullptr};
constexpr PcModeValueName HpType(const PcModeValueName& page, bool cinema) {
    return Named(page, cinema ? "HP Type (Cinema)" : "HP Type",
                 cinema ? "高通类型 (影院)" : "高通类型");
}
constexpr PcModeValueName LpType(const PcModeValueName& page, bool cinema) {
    return Named(page, cinema ? "LP Type (Cinema)" : "LP Type",
                 cinema ? "低通类型 (影院)" : "低通类型");
}
constexpr ByteRange kCheckedBytes[] = {
    {6, 1, 10, Named(kMainWindow, "KTV audio input", "KTV音频输入")},
    {9, 0, 14, Named(kMusic, "Music Pitch", "音调")},
    {80, 0, 2, Named({"Reverb", "混响", nullptr, nullptr}, "Reverb Type", "混响类型")},
    {85, 0, 2, Named({"Echo", "回声", nullptr, nullptr}, "Echo Type", "回声类型")},
    // The second video input's HDMI index, KTV and cinema.
    {94, 0, 3, Named(kMainWindow, "Video2 HDMI (KTV)", "视频2 HDMI (KTV)")},
    {95, 0, 3, Named(kMainWindow, "Video2 HDMI (Cinema)", "视频2 HDMI (影院)")},
    {107, 0, 2, Named(kMainWindow, "Work Mode", "工作模式")},
    {108, 0, 5, Named(kMainWindow, "Cinema audio input", "影院音频输入")},
    // The video input's HDMI index, KTV and cinema.
    {153, 0, 3, Named(kMainWindow, "Video1 HDMI (KTV)", "视频1 HDMI (KTV)")},
    {154, 0, 3, Named(kMainWindow, "Video1 HDMI (Cinema)", "视频1 HDMI (影院)")},
    // Pass-filter slopes: music, mic, then the KTV channel blocks of master,
    // surround, centre and subwoofer, then their cinema blocks; HP, LP each.
    {7, 0, kPassSlopeMax, HpType(kMusic, false)},
    {8, 0, kPassSlopeMax, LpType(kMusic, false)},
    {19, 0, kPassSlopeMax, HpType(kMic, false)},
    {20, 0, kPassSlopeMax, LpType(kMic, false)},
    {37, 0, kPassSlopeMax, HpType(kMain, false)},
    {38, 0, kPassSlopeMax, LpType(kMain, false)},
    {51, 0, kPassSlopeMax, HpType(kSurround, false)},
    {52, 0, kPassSlopeMax, LpType(kSurround, false)},
    {65, 0, kPassSlopeMax, HpType(kCentre, false)},
    {66, 0, kPassSlopeMax, LpType(kCentre, false)},
    {77, 0, kPassSlopeMax, HpType(kSubwoofer, false)},
    {78, 0, kPassSlopeMax, LpType(kSubwoofer, false)},
    {122, 0, kPassSlopeMax, HpType(kMain, true)},
    {123, 0, kPassSlopeMax, LpType(kMain, true)},
    {130, 0, kPassSlopeMax, HpType(kSurround, true)},
    {131, 0, kPassSlopeMax, LpType(kSurround, true)},
    {138, 0, kPassSlopeMax, HpType(kCentre, true)},
    {139, 0, kPassSlopeMax, LpType(kCentre, true)},
    {146, 0, kPassSlopeMax, HpType(kSubwoofer, true)},
    {147, 0, kPassSlopeMax, LpType(kSubwoofer, true)},
};
constexpr PcModeValueName kPowerOnModeName = {"System", "系统", "Power Mode", "上电模式"};
constexpr PcModeValueName kModeNameByte = {"System", "系统", "Mode Name character", "模式名称字符"};

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

// The values a file holds that the program shows and sends: the first one
// out of its range, or none.
std::optional<PcModeRefusal> FirstValueOutOfRange(std::span<const std::uint8_t> bytes) {
    for (const ByteRange& r : kCheckedBytes) {
        const std::uint8_t v = bytes[kBytesOffset + r.index];
        if (v < r.min || v > r.max) return PcModeRefusal{r.name, -1, {{}, v, r.min, r.max}};
    }
    static const ParamImage kShape{};  // only the areas' places and sizes are read
    for (const auto& area : BandAreas(kShape)) {
        for (std::size_t i = 0; i < area.bands.size(); ++i) {
            const EqBand band = ReadEqBandRecord(&bytes[area.offset + i * kEqBandRecordSize]);
            const BandFieldCheck check = FirstBandFieldOutOfRange(band, kMaxBandType);
            if (check.field != BandField::kNone)
                return PcModeRefusal{
                    {area.english, area.chinese, nullptr, nullptr}, static_cast<int>(i), check};
        }
    }
    for (std::size_t i = 0; i < kModeNameLength; ++i) {
        const std::uint8_t c = bytes[kNameOffset + i];
        if (c < kNameMin || c > kNameMax)
            return PcModeRefusal{kModeNameByte, -1, {{}, c, kNameMin, kNameMax}};
    }
    if (bytes[kPowerOnModeOffset] > kMaxPowerOnMode)
        return PcModeRefusal{
            kPowerOnModeName, -1, {{}, bytes[kPowerOnModeOffset], 0, kMaxPowerOnMode}};
    return std::nullopt;
}

bool FileChecks(std::span<const std::uint8_t> bytes) {
    return bytes.size() == kPcModeFileSize && ReadU16(&bytes[0]) == kTag &&
           ReadU16(&bytes[2]) == kVersion &&
           static_cast<std::uint8_t>(SummedBytes(bytes) + bytes[kChecksumOffset]) == 0 &&
           bytes[kGapOffset] == 0 && bytes[kGapOffset + 1] == 0 && !FirstValueOutOfRange(bytes);
}

PcModeFileBytes PackUnchecked(const ParamImage& image, const ModeName& modeName) {
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
    return out;
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

std::optional<PcModeRefusal> CheckPcModeImage(const ParamImage& image, const ModeName& modeName) {
    return FirstValueOutOfRange(PackUnchecked(image, modeName));
}

std::optional<PcModeFileBytes> PackPcModeFile(const ParamImage& image, const ModeName& modeName) {
    const PcModeFileBytes out = PackUnchecked(image, modeName);
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
