#include "model/param_image.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace {

// std::to_array takes its size from the initialiser, so a missing or extra
// entry fails the size checks below instead of being padded with zeros.
// clang-format off
constexpr auto kParamBytesDefaults = std::to_array<std::uint8_t>({
    // 0..9: music, microphone, effect volumes and maxima, KTV input, music pass slopes, pitch
    50, 50, 35, 50, 99, 15, 1, 0, 0, 7,
    // 10..26: microphone block, effect default, music input gains, FBX
    50, 99, 100, 100, 15, 10, 4, 1, 1, 0, 0, 35, 12, 12, 12, 6, 4,
    // 27..40: master block (KTV), two carried bytes
    99, 99, 50, 50, 50, 50, 10, 4, 1, 1, 0, 0, 0, 0,
    // 41..54: surround block (KTV), two carried bytes
    99, 99, 50, 50, 50, 50, 10, 4, 1, 1, 0, 0, 0, 0,
    // 55..66: centre volume, carried byte, mixer, compressor, slopes
    99, 99, 50, 50, 50, 50, 10, 4, 1, 1, 0, 0,
    // 67..78: subwoofer volume, carried byte, mixer, compressor, slopes (LP 6)
    99, 99, 50, 50, 50, 50, 10, 4, 1, 1, 0, 6,
    // 79..84: reverb
    20, 1, 20, 50, 20, 85,
    // 85..93: echo (86 and 88: level 100 with the polarity bit set)
    1, 228, 60, 228, 60, 40, 0, 50, 50,
    // 94..102: second video HDMI index, subwoofer microphone, carried, exciter, carried
    0, 0, 99, 74, 10, 2, 10, 0, 0,
    // 103..115: system page group, SystemMode, cinema input, cinema music volume,
    // speaker sizes, crossovers
    99, 50, 50, 50, 0, 2, 50, 0, 0, 0, 40, 40, 40,
    // 116..147: master, surround, centre, subwoofer channels of the cinema kind
    75, 75, 10, 4, 1, 1, 0, 0,
    75, 75, 10, 4, 1, 1, 0, 0,
    75, 75, 10, 4, 1, 1, 0, 0,
    75, 75, 10, 4, 1, 1, 0, 6,
    // 148..154: carried, cinema music maximum, music page parameters, mic EQ link,
    // video HDMI index
    50, 99, 52, 0, 1, 0, 0,
    // 155..158: surround second pair volumes; 159: mode-file byte only
    99, 99, 75, 75, 0,
});

constexpr auto kParamWordsDefaults = std::to_array<std::uint16_t>({
    // 0..15: pass filters of the KTV kind, HP then LP: mic, music, master,
    // carried, surround, carried, centre, subwoofer
    50, 20000, 20, 20000, 20, 20000, 20, 20000,
    20, 20000, 20, 20000, 20, 20000, 20, 120,
    // 16..23: pass filters of the cinema kind: master, surround, centre, subwoofer
    20, 20000, 20, 20000, 20, 20000, 20, 120,
    // 24..27: reverb HP/LP, echo HP/LP
    100, 15200, 63, 7700,
    // 28..33: reverb delay and predelay, echo delay words
    2680, 20, 200, 0, 200, 0,
    // 34..39: output delays of the KTV kind; 40..45: cinema speaker distances
    0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0,
});

// One row per band record, in band-array order: the PEQ bands, then the
// low-pass and the high-pass frequency of each set.
constexpr auto kDefaultBandFreqs = std::to_array<std::uint16_t>({
    // 0..16 microphone
    25, 40, 63, 100, 160, 250, 400, 630, 1000, 1600, 2500, 4000, 6300, 10000, 16000, 20000, 20,
    // 17..33 music
    25, 40, 63, 100, 160, 250, 400, 630, 1000, 1600, 2500, 4000, 6300, 10000, 16000, 20000, 20,
    // 34..45 master KTV, 46..57 master cinema
    31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 20000, 20,
    31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 20000, 20,
    // 58..69 surround KTV, 70..81 surround cinema
    31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 20000, 20,
    31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 20000, 20,
    // 82..90 centre KTV, 91..99 centre cinema
    125, 250, 500, 1000, 2000, 4000, 8000, 20000, 20,
    125, 250, 500, 1000, 2000, 4000, 8000, 20000, 20,
    // 100..106 subwoofer KTV, 107..113 subwoofer cinema
    31, 63, 125, 250, 500, 20000, 20,
    31, 63, 125, 250, 500, 20000, 20,
    // 114..120 reverb
    125, 250, 1000, 2500, 8000, 15200, 100,
    // 121..127 echo
    125, 250, 1000, 2500, 8000, 7700, 63,
    // 128..130
    0, 0, 0,
});

constexpr auto kBandMaskIndexTable = std::to_array<std::uint8_t>({
    0, 1, 2, 3, 3, 4, 4, 5, 6, 7, 8,
});
// clang-format on

static_assert(kParamBytesDefaults.size() == kParamBytesCount);
static_assert(kParamWordsDefaults.size() == kParamWordsDeviceCount);
static_assert(kDefaultBandFreqs.size() == kDefaultBandFreqsCount);
static_assert(kBandMaskIndexTable.size() == kEqModuleCount);

enum class EqArray { Mic1, Mic2, Music, Master, Surround, Centre, Subwoofer, Reverb, Echo };

template <typename Image>
auto ArrayOf(Image& image, EqArray which) {
    using Band = std::conditional_t<std::is_const_v<Image>, const EqBand, EqBand>;
    switch (which) {
        case EqArray::Mic1:
            return std::span<Band>(image.Mic1EqBands);
        case EqArray::Mic2:
            return std::span<Band>(image.Mic2EqBands);
        case EqArray::Music:
            return std::span<Band>(image.MusicEqBands);
        case EqArray::Master:
            return std::span<Band>(image.MasterEqBands);
        case EqArray::Surround:
            return std::span<Band>(image.SurroundEqBands);
        case EqArray::Centre:
            return std::span<Band>(image.CentreEqBands);
        case EqArray::Subwoofer:
            return std::span<Band>(image.SubwooferEqBands);
        case EqArray::Reverb:
            return std::span<Band>(image.ReverbEqBands);
        case EqArray::Echo:
            return std::span<Band>(image.EchoEqBands);
    }
    return std::span<Band>();
}

struct EqModule {
    EqArray array;
    int recordsPerSet;
    int setCount;
    bool secondSetOnly;  // ids 4 and 6 name the cinema set of master / surround
    int firstRow;        // DefaultBandFreqs row of the array's first record
};

// In EqModuleId order.
constexpr EqModule kEqModules[] = {
    {EqArray::Mic1, 17, 1, false, 0},       {EqArray::Mic2, 17, 1, false, 0},
    {EqArray::Music, 17, 1, false, 17},     {EqArray::Master, 12, 2, false, 34},
    {EqArray::Master, 12, 2, true, 34},     {EqArray::Surround, 12, 2, false, 58},
    {EqArray::Surround, 12, 2, true, 58},   {EqArray::Centre, 9, 2, false, 82},
    {EqArray::Subwoofer, 7, 2, false, 100}, {EqArray::Reverb, 7, 1, false, 114},
    {EqArray::Echo, 7, 1, false, 121},
};
static_assert(std::size(kEqModules) == kEqModuleCount);

const EqModule* ModuleFor(int moduleId) {
    if (moduleId < 0 || moduleId >= static_cast<int>(kEqModuleCount)) return nullptr;
    return &kEqModules[moduleId];
}

int SetIndex(const EqModule& module, bool cinemaSet) {
    if (module.secondSetOnly) return 1;
    return cinemaSet && module.setCount == 2 ? 1 : 0;
}

template <typename Image>
auto ModuleBands(Image& image, int moduleId, bool cinemaSet) {
    const EqModule* module = ModuleFor(moduleId);
    if (module == nullptr) return decltype(ArrayOf(image, EqArray::Mic1))();
    return ArrayOf(image, module->array)
        .subspan(static_cast<std::size_t>(SetIndex(*module, cinemaSet) * module->recordsPerSet),
                 static_cast<std::size_t>(module->recordsPerSet));
}

struct BoostRun {
    int first;
    int count;
};

// In BoostTarget order (MIC, MUSIC, REV, ECHO); the array holds music first.
constexpr BoostRun kBoostRuns[] = {{5, 5}, {0, 5}, {10, 3}, {13, 3}};
static_assert(std::size(kBoostRuns) == kBoostTargetCount);

// The boost runs borrow the echo EQ's rows.
constexpr int kBoostFirstRow = 121;

template <typename Image>
auto BoostRunOf(Image& image, int boostTarget) {
    using Band = std::conditional_t<std::is_const_v<Image>, const EqBand, EqBand>;
    if (boostTarget < 0 || boostTarget >= static_cast<int>(kBoostTargetCount)) {
        return std::span<Band>();
    }
    const BoostRun& run = kBoostRuns[boostTarget];
    return std::span<Band>(image.BoostBands)
        .subspan(static_cast<std::size_t>(run.first), static_cast<std::size_t>(run.count));
}

EqBand DefaultBand(int row) {
    return EqBand{.slope = 0,
                  .type = kBandTypePeq,
                  .frequency = kDefaultBandFreqs[static_cast<std::size_t>(row)],
                  .q = 10,
                  .gain = 0};
}

}  // namespace

const std::array<std::uint8_t, kParamBytesCount> ParamBytesDefaults = kParamBytesDefaults;
const std::array<std::uint16_t, kParamWordsDeviceCount> ParamWordsDefaults = kParamWordsDefaults;
const std::array<std::uint16_t, kDefaultBandFreqsCount> DefaultBandFreqs = kDefaultBandFreqs;
const std::array<std::uint8_t, kEqModuleCount> BandMaskIndexTable = kBandMaskIndexTable;

void InitParamImage(ParamImage& image) {
    image.ParamBytes.fill(0);
    image.ParamWords.fill(0);

    image.ParamFlags = 0x0007FF00;        // bits 8..18: every EQ active
    image.CinemaParamFlags = 0x0001A800;  // bits 11, 13, 15, 16: the four output EQs
    image.BandEnableMasks.fill(0xFFFF);
    image.CurrentModeSlot = 0;
    image.KeyLockOn = 0;
    image.AdminMode = 1;
    image.KeyLockConfirmed = 0;
    image.AdminModeConfirmed = 1;
    image.UnlockFlags = 0;
    image.BoostPageEnabled = 0;
    image.BoostEnableFlags = 0;
    image.PowerOnMode = 0;
    image.PinkNoiseState = 0;

    // Byte 159 and word 46 are the PC mode file's own; they stay 0.
    std::copy_n(ParamBytesDefaults.begin(), kParamBytesDeviceCount, image.ParamBytes.begin());
    std::copy_n(ParamWordsDefaults.begin(), kParamWordsDeviceCount, image.ParamWords.begin());

    image.CurrentModeName.fill(0);
    for (ModeName& name : image.ModeNameTable) name.fill(0);

    // The pass-filter records start as PEQ records with 20000 Hz and 20 Hz;
    // the page refresh re-tags them from ParamBytes and ParamWords.
    for (const EqModule& module : kEqModules) {
        if (module.secondSetOnly) continue;  // the same array as the id before it
        std::span<EqBand> bands = ArrayOf(image, module.array);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            bands[i] = DefaultBand(module.firstRow + static_cast<int>(i));
        }
    }
    for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
        std::span<EqBand> run = BoostRunOf(image, target);
        for (std::size_t i = 0; i < run.size(); ++i) {
            run[i] = DefaultBand(kBoostFirstRow + static_cast<int>(i));
        }
    }

    image.Language = 0;  // English until the stored language is read
}

void ClearLearnArea(ParamImage& image) {
    image.LearnSlotIndex = 0;
    for (LearnCode& code : image.LearnCodes) code.fill(0);
    image.LearnWords.fill(0);
}

std::span<EqBand> EqModuleBands(ParamImage& image, int moduleId, bool cinemaSet) {
    return ModuleBands(image, moduleId, cinemaSet);
}

std::span<const EqBand> EqModuleBands(const ParamImage& image, int moduleId, bool cinemaSet) {
    return ModuleBands(image, moduleId, cinemaSet);
}

std::optional<int> EqModuleDefaultRow(int moduleId, bool cinemaSet) {
    const EqModule* module = ModuleFor(moduleId);
    if (module == nullptr) return std::nullopt;
    return module->firstRow + SetIndex(*module, cinemaSet) * module->recordsPerSet;
}

std::optional<int> BandMaskWordFor(int moduleId) {
    if (moduleId < 0 || moduleId >= static_cast<int>(BandMaskIndexTable.size())) {
        return std::nullopt;
    }
    return BandMaskIndexTable[static_cast<std::size_t>(moduleId)];
}

std::span<EqBand> BoostRunBands(ParamImage& image, int boostTarget) {
    return BoostRunOf(image, boostTarget);
}

std::span<const EqBand> BoostRunBands(const ParamImage& image, int boostTarget) {
    return BoostRunOf(image, boostTarget);
}

MainVolumeBytes MainVolumeFor(const ParamImage& image, int column) {
    switch (column) {
        case 0:
            return image.ParamBytes[kSystemModeByte] == 0 ? MainVolumeBytes{0, 4}
                                                          : MainVolumeBytes{109, 149};
        case 1:
            return {1, 11};
        default:
            return {2, -1};
    }
}
