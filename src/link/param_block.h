#pragma once
// The unit's parameter block and the mode record, byte for byte, and the
// block header of the 0x3F reply.
//
// DeviceParamBlock, 1131 bytes (words and flag words little-endian):
//      0  159  ParamBytes[0..158]
//    159   92  ParamWords[0..45]
//    251  595  119 WireBands: the PEQ bands of mic 1, mic 2, music (15 each),
//              master set 0 / set 1, surround set 0 / set 1 (10 each),
//              centre set 0 / set 1 (7 each), subwoofer set 0 / set 1,
//              reverb, echo (5 each)
//    846    4  ParamFlags
//    850    4  CinemaParamFlags
//    854   16  CurrentModeName
//    870  160  ModeNameTable, 10 x 16
//   1030   20  BandEnableMasks[0..9]
//   1050    1  BoostEnableFlags
//   1051   80  16 boost WireBands: mic 5, music 5, reverb 3, echo 3
//
// ModeRecord, 890 bytes: the block's first 870 bytes, then the 10 band
// masks; no mode-name table and no boost part.
//
// Only PEQ bands travel: the low-pass and high-pass records of every set
// stay as they are (their slopes and frequencies are ParamBytes and
// ParamWords). Every unpacked band has slope 0.
#include <cstdint>

#include "model/param_image.h"

constexpr int kDeviceParamBlockSize = 1131;
constexpr int kModeRecordSize = 890;
constexpr int kDeviceBlockHeaderSize = 15;
// Where the two layouts part.
constexpr int kParamBlockCommonSize = 870;

// Header bytes: 0 current mode slot; 1..4 13 01 03 05; 7 option bits (bit 0
// key lock, bits 1..3 the main toggles, bits 5 and 6 the unlock flags);
// 8 admin level, 9 test-signal channel, 14 power-on mode (all signed).
// The confirmed copies of the key lock and admin level follow the header.
void UnpackDeviceBlockHeader(const std::uint8_t* header, ParamImage& image);

// block: kDeviceParamBlockSize bytes, already checked against its checksum.
void UnpackDeviceParamBlock(const std::uint8_t* block, ParamImage& image);
void PackDeviceParamBlock(const ParamImage& image, std::uint8_t* block);

// record: kModeRecordSize bytes.
void PackModeRecord(const ParamImage& image, std::uint8_t* record);
void UnpackModeRecord(const std::uint8_t* record, ParamImage& image);
