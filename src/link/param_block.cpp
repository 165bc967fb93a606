#include "link/param_block.h"

#include <cstring>
#include <span>

#include "link/wire_band.h"
#include "model/byte_order.h"

namespace {

// The PEQ runs of the block in wire order, by the EQ module and set that
// hold them; each run is the set's PEQ bands (the set less its two pass
// filters).
struct PeqRun {
    int offset;
    int moduleId;
    bool cinemaSet;
    int count;
};
constexpr PeqRun kPeqRuns[] = {
    {251, 0, false, 15},  // mic 1
    {326, 1, false, 15},  // mic 2
    {401, 2, false, 15},  // music
    {476, 3, false, 10},  // master, KTV set
    {526, 3, true, 10},   // master, cinema set
    {576, 5, false, 10},  // surround, KTV set
    {626, 5, true, 10},   // surround, cinema set
    {676, 7, false, 7},   // centre, KTV set
    {711, 7, true, 7},    // centre, cinema set
    {746, 8, false, 5},   // subwoofer, KTV set
    {771, 8, true, 5},    // subwoofer, cinema set
    {796, 9, false, 5},   // reverb
    {821, 10, false, 5},  // echo
};

constexpr int kWordsOffset = 159;
constexpr int kFlagsOffset = 846;
constexpr int kCinemaFlagsOffset = 850;
constexpr int kModeNameOffset = 854;
constexpr int kModeNameTableOffset = 870;
constexpr int kBlockMasksOffset = 1030;
constexpr int kRecordMasksOffset = 870;
constexpr int kBoostFlagsOffset = 1050;
constexpr int kBoostBandsOffset = 1051;

constexpr bool RunsAreContiguous() {
    int at = kWordsOffset + 2 * static_cast<int>(kParamWordsDeviceCount);
    for (const PeqRun& run : kPeqRuns) {
        if (run.offset != at) return false;
        at += run.count * kWireBandSize;
    }
    return at == kFlagsOffset;
}
static_assert(RunsAreContiguous());
static_assert(kModeNameOffset + static_cast<int>(kModeNameLength) == kParamBlockCommonSize);
static_assert(kBlockMasksOffset == kModeNameTableOffset + 160);
static_assert(kRecordMasksOffset + 2 * static_cast<int>(kBandEnableMaskCount) == kModeRecordSize);
static_assert(kBoostBandsOffset + static_cast<int>(kBoostBandCount) * kWireBandSize ==
              kDeviceParamBlockSize);

void UnpackBands(const std::uint8_t* in, std::span<EqBand> bands, int count) {
    for (int i = 0; i < count; ++i) {
        bands[static_cast<std::size_t>(i)] = UnpackWireBand(in + i * kWireBandSize);
    }
}

// The first 870 bytes, which both layouts share.
void UnpackCommon(const std::uint8_t* in, ParamImage& image) {
    std::memcpy(image.ParamBytes.data(), in, kParamBytesDeviceCount);
    for (std::size_t i = 0; i < kParamWordsDeviceCount; ++i) {
        image.ParamWords[i] = ReadU16(in + kWordsOffset + 2 * i);
    }
    for (const PeqRun& run : kPeqRuns) {
        UnpackBands(in + run.offset, EqModuleBands(image, run.moduleId, run.cinemaSet), run.count);
    }
    image.ParamFlags = ReadU32(in + kFlagsOffset);
    image.CinemaParamFlags = ReadU32(in + kCinemaFlagsOffset);
    std::memcpy(image.CurrentModeName.data(), in + kModeNameOffset, kModeNameLength);
    image.CurrentModeName[kModeNameLength] = '\0';
}

void PackCommon(const ParamImage& image, std::uint8_t* out) {
    std::memcpy(out, image.ParamBytes.data(), kParamBytesDeviceCount);
    for (std::size_t i = 0; i < kParamWordsDeviceCount; ++i) {
        WriteU16(image.ParamWords[i], out + kWordsOffset + 2 * i);
    }
    for (const PeqRun& run : kPeqRuns) {
        PackEqBands(EqModuleBands(image, run.moduleId, run.cinemaSet).data(), run.count,
                    out + run.offset);
    }
    WriteU32(image.ParamFlags, out + kFlagsOffset);
    WriteU32(image.CinemaParamFlags, out + kCinemaFlagsOffset);
    std::memcpy(out + kModeNameOffset, image.CurrentModeName.data(), kModeNameLength);
}

void UnpackMasks(const std::uint8_t* in, ParamImage& image) {
    for (std::size_t i = 0; i < kBandEnableMaskCount; ++i) {
        image.BandEnableMasks[i] = ReadU16(in + 2 * i);
    }
}

void PackMasks(const ParamImage& image, std::uint8_t* out) {
    for (std::size_t i = 0; i < kBandEnableMaskCount; ++i) {
        WriteU16(image.BandEnableMasks[i], out + 2 * i);
    }
}

}  // namespace

void UnpackDeviceBlockHeader(const std::uint8_t* header, ParamImage& image) {
    const std::uint8_t options = header[7];
    image.CurrentModeSlot = header[0];
    image.KeyLockOn = options & 0x01;
    image.KeyLockConfirmed = image.KeyLockOn;
    image.MainToggleBits = (options >> 1) & 0x07;
    image.UnlockFlags = (image.UnlockFlags & ~0x03) | ((options >> 5) & 0x03);
    image.AdminMode = static_cast<std::int8_t>(header[8]);
    image.AdminModeConfirmed = image.AdminMode;
    image.PinkNoiseState = static_cast<std::int8_t>(header[9]);
    image.PowerOnMode = static_cast<std::int8_t>(header[14]);
}

void UnpackDeviceParamBlock(const std::uint8_t* block, ParamImage& image) {
    UnpackCommon(block, image);
    std::memcpy(image.ModeNameTable.data(), block + kModeNameTableOffset,
                sizeof image.ModeNameTable);
    UnpackMasks(block + kBlockMasksOffset, image);
    image.BoostEnableFlags = block[kBoostFlagsOffset];
    const std::uint8_t* in = block + kBoostBandsOffset;
    for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
        std::span<EqBand> run = BoostRunBands(image, target);
        UnpackBands(in, run, static_cast<int>(run.size()));
        in += run.size() * kWireBandSize;
    }
}

void PackDeviceParamBlock(const ParamImage& image, std::uint8_t* block) {
    PackCommon(image, block);
    std::memcpy(block + kModeNameTableOffset, image.ModeNameTable.data(),
                sizeof image.ModeNameTable);
    PackMasks(image, block + kBlockMasksOffset);
    block[kBoostFlagsOffset] = static_cast<std::uint8_t>(image.BoostEnableFlags & 0xFF);
    std::uint8_t* out = block + kBoostBandsOffset;
    for (int target = 0; target < static_cast<int>(kBoostTargetCount); ++target) {
        std::span<const EqBand> run = BoostRunBands(image, target);
        out = PackEqBands(run.data(), static_cast<int>(run.size()), out);
    }
}

void PackModeRecord(const ParamImage& image, std::uint8_t* record) {
    PackCommon(image, record);
    PackMasks(image, record + kRecordMasksOffset);
}

void UnpackModeRecord(const std::uint8_t* record, ParamImage& image) {
    UnpackCommon(record, image);
    UnpackMasks(record + kRecordMasksOffset, image);
}
