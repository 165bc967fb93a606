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

}  // namespace

std::optional<BoostPresetBytes> PackBoostPreset(const ParamImage& image) {
    BoostPresetBytes out{};
    out[0] = kMagic;
    out[kEnableOffset] = static_cast<std::uint8_t>(image.BoostEnableFlags & 0xFF);
    for (const RunPlace& place : kRunPlaces) {
        std::size_t at = place.offset;
        for (const EqBand& band : BoostRunBands(image, place.boostTarget)) {
            if (!EqBandInRange(band, kMaxBoostBandType)) return std::nullopt;
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
        const auto run = BoostRunBands(std::as_const(image), place.boostTarget);
        const auto first = static_cast<std::size_t>(run.data() - image.BoostBands.data());
        for (std::size_t i = 0; i < run.size(); ++i) {
            const EqBand band =
                ReadEqBandRecord(bytes.data() + place.offset + i * kEqBandRecordSize);
            if (!EqBandInRange(band, kMaxBoostBandType)) return false;
            loaded[first + i] = band;
        }
    }
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
