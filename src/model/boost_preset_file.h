#pragma once
// The boost preset file ("*.btpar"): the four boost enable bits and the 16
// boost bands, 132 bytes. Fuzzed by tests/fuzz/boost_preset_fuzz.cpp, seeded
// by boost_seeds() in tests/fuzz/make_seeds.py.
//
//     0    1  magic 0x95
//     1    1  the low byte of BoostEnableFlags (bit 0 MIC, 1 MUSIC, 2 REV, 3 ECHO)
//     2   40  MUSIC bands 0..4
//    42   40  MIC bands 0..4
//    82   24  REV bands 0..2
//   106   24  ECHO bands 0..2
//   130    1  checksum: 0x95 + the 8-bit sum of all 132 bytes is 0 mod 256
//   131    1  0
//
// Bands are 8-byte EqBand records (WriteEqBandRecord); the groups follow the
// image's BoostBands order, not the page's target order.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "model/param_image.h"

constexpr std::size_t kBoostPresetFileSize = 132;
using BoostPresetBytes = std::array<std::uint8_t, kBoostPresetFileSize>;

// The first boost band a file cannot hold (slope 0..7, type 0..2, frequency
// 20..20000, Q x10 4..999, gain x10 -240..240): its BoostTarget (0 MIC,
// 1 MUSIC, 2 REV, 3 ECHO), its index in that run and the field. bands in
// the image's BoostBands order. The pack and the unpack both check with it.
struct BoostBandRefusal {
    int boostTarget;
    int band;
    BandFieldCheck check;
};
std::optional<BoostBandRefusal> CheckBoostBands(std::span<const EqBand, kBoostBandCount> bands);

// The file of the image's boost setting. nullopt when CheckBoostBands refuses
// the image's bands: such a file would not load back, so it is never written.
std::optional<BoostPresetBytes> PackBoostPreset(const ParamImage& image);

// Checks the bytes whole: exactly 132, the magic, byte 131 zero, the checksum
// and every band in range. Only then BoostEnableFlags := byte 1 (higher bits
// cleared) and the 16 bands are copied; true. false: the image is untouched.
bool UnpackBoostPreset(std::span<const std::uint8_t> bytes, ParamImage& image);

// The two above with the shared file helpers (file_io.h). false: nothing was
// written (an old file stays whole), or nothing in the image changed.
bool SaveBoostPresetFile(const std::filesystem::path& path, const ParamImage& image);
bool LoadBoostPresetFile(const std::filesystem::path& path, ParamImage& image);
