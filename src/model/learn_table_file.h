#pragma once
// The learn table file ("*.dat"): the 32 learned serial codes and the baud
// rate, 522 bytes, little-endian. Fuzzed by tests/fuzz/learn_table_fuzz.cpp,
// seeded by learn_seeds() in tests/fuzz/make_seeds.py.
//
//     0    4  magic 0x4C454152 (bytes 52 41 45 4C)
//     4    4  version 1 (signed)
//     8  512  the 32 LearnCodes, 16 bytes each, slot order
//   520    1  BaudIndex 0..9
//   521    1  checksum: bytes 8..521 sum to 0xFF mod 256
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "model/param_image.h"

constexpr std::size_t kLearnTableFileSize = 522;
using LearnTableBytes = std::array<std::uint8_t, kLearnTableFileSize>;

// The file of the image's learn table (all 16 bytes of every code, carried
// bytes too). nullopt when BaudIndex is outside 0..9 or a code's length is
// above 8: such a file would not load back, so it is never written.
std::optional<LearnTableBytes> PackLearnTable(const ParamImage& image);

// Checks the bytes whole: exactly 522, magic, version, checksum, every code
// length at most 8 and the baud index at most 9. Only then copies the 32
// codes and sets BaudIndex; true. false: the image is untouched.
bool UnpackLearnTable(std::span<const std::uint8_t> bytes, ParamImage& image);

// The two above with the shared file helpers (file_io.h). false: nothing was
// written (an old file stays whole), or nothing in the image changed.
bool SaveLearnTableFile(const std::filesystem::path& path, const ParamImage& image);
bool LoadLearnTableFile(const std::filesystem::path& path, ParamImage& image);
