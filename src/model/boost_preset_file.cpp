#include "model/boost_preset_file.h"

#include <numeric>
#include <utility>

#include "model/file_io.h"

namespace {

constexpr std::uint8_t kMagic = 0x95;
constexpr std::size_t kEnableOffset = 1;
constexpr std::size_t kChecksumOffset = 130;
constexpr std::size_t kTrailerOffset = 131;
constexpr int kMaxBoostBandType = kBandTypeHighShelf;

// Where each BoostTarget's run lies in the file.
struct RunPlace {
    int boostTarget;  // 0 MIC, 1 MUSIC, 2 REV, 3 ECHO
    std::size_t offset;
};
constexpr RunPlace kRunPlaces[] = {{1, 2}, {0, 42}, {2, 82}, {3, 106}};

// The magic is counted a second time on top of the plain sum.
std::uint8_t ChecksumTotal(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint8_t>(
        std::accumulate(bytes.begin(), bytes.end(), static_cast<unsigned>(kMagic)));
}

// Where each run starts in BoostBands.
std::size_t RunStart(int boostTarget) {
    static const ParamImage kShape{};  // only the runs' places are read
    return static_cast<std::size_t>(BoostRunBands(kShape, boostTarget).data() -
                                    kShape.BoostBands.data());
}

}  // namespace

std::optional<BoostBandRefusal> CheckBoostBands(std::span<const EqBand, kBoostBandCount> bands) {
    static const ParamImage kShape{};
    for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
        const std::size_t first = RunStart(target);
        const std::size_t count = BoostRunBands(kShape, target).size();
        for (std::size_t i = 0; i < count; ++i) {
            const BandFieldCheck check =
                FirstBandFieldOutOfRange(bands[first + i], kMaxBoostBandType);
            if (check.field != BandField::kNone)
                return BoostBandRefusal{target, static_cast<int>(i), check};
        }
    }
    return std::nullopt;
}

std::optional<BoostPresetBytes> PackBoostPreset(const ParamImage& image) {
    if (CheckBoostBands(image.BoostBands)) return std::nullopt;
    BoostPresetBytes out{};
    out[0] = kMagic;
    out[kEnableOffset] = static_cast<std::uint8_t>(image.BoostEnableFlags & 0xFF);
    for (const RunPlace& place : kRunPlaces) {
        std::size_t at = place.offset;
        for (const EqBand& band : BoostRunBands(image, place.boostTarget)) {
            WriteEqBandRecord(band, out.data() + at);
            at += kEqBandRecordSize;
        }
    }
    out[kChecksumOffset] = static_cast<std::uint8_t>(0x100 - ChecksumTotal(out));
    return out;
}

bool UnpackBoostPreset(std::span<const std::uint8_t> bytes, ParamImage& image) {
    if (bytes.size() != kBoostPresetFileSize || bytes[0] != kMagic || bytes[kTrailerOffset] != 0 ||
        ChecksumTotal(bytes) != 0) {
        return false;
    }
    // Decoded aside, each run at its place in BoostBands, so that a band out
    // of range late in the file leaves the image as it was.
    std::array<EqBand, kBoostBandCount> loaded{};
    for (const RunPlace& place : kRunPlaces) {
        const std::size_t first = RunStart(place.boostTarget);
        const std::size_t count = BoostRunBands(std::as_const(image), place.boostTarget).size();
        for (std::size_t i = 0; i < count; ++i) {
            loaded[first + i] =
                ReadEqBandRecord(bytes.data() + place.offset + i * kEqBandRecordSize);
        }
    }
    if (CheckBoostBands(loaded)) return false;
    image.BoostBands = loaded;
    image.BoostEnableFlags = bytes[kEnableOffset];
    return true;
}

bool SaveBoostPresetFile(const std::filesystem::path& path, const ParamImage& image) {
    const auto bytes = PackBoostPreset(image);
    return bytes && SaveFileAtomically(path, *bytes);
}

bool LoadBoostPresetFile(const std::filesystem::path& path, ParamImage& image) {
    const auto bytes = LoadWholeFile(path, kBoostPresetFileSize);
    return bytes && UnpackBoostPreset(*bytes, image);
}
