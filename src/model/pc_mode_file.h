#pragma once
// The PC mode file: a whole parameter image. Its name, the folder and the
// list of it are system/mode_files.h's. Fuzzed by tests/fuzz/mode_file_fuzz.cpp,
// seeded by mode_seeds() in tests/fuzz/make_seeds.py.
//
// PcModeFile, exactly 1488 bytes, little-endian:
//      0    2  tag 34            2    2  version 2          4    4  zero
//      8  160  ParamBytes        168  94  ParamWords (47)
//    262  136  Mic1EqBands   398  136  Mic2EqBands   534  136  MusicEqBands
//    670  192  MasterEqBands 862  192  SurroundEqBands
//   1054  144  CentreEqBands 1198 112  SubwooferEqBands
//   1310   56  ReverbEqBands 1366  56  EchoEqBands    1422   2  zero
//   1424    4  ParamFlags    1428   4  CinemaParamFlags
//   1432   16  CurrentModeName (no terminator)
//   1448   20  BandEnableMasks (10)   1468   1  PowerOnMode, low byte
//   1469   16  zero          1485   1  checksum       1486   2  zero
// Bands are 8-byte EqBand records (WriteEqBandRecord). The checksum makes
// bytes 0, 2, 8..1468 and 1485 sum to 0 mod 256; bytes 1, 3, 4..7 and
// 1469..1484, 1486..1487 lie outside it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/eq_band.h"
#include "model/param_image.h"

constexpr std::size_t kPcModeFileSize = 1488;

using PcModeFileBytes = std::array<std::uint8_t, kPcModeFileSize>;

// The CurrentModeName Save To PC stores: the first 16 bytes of the mode-name
// edit's text in GBK (a Chinese character is two of them), every byte outside
// 32..122 and every place after the end a blank.
ModeName PcModeNameField(const std::string& gbk);

// Where a value sits, as a refused save names it to the user: the page (or
// its EQ) and, for a value that is no band field, the field.
struct PcModeValueName {
    const char* placeEnglish;
    const char* placeChinese;
    const char* fieldEnglish;  // nullptr for a band: the band's field names it
    const char* fieldChinese;
};
// The first value of an image a PC mode file cannot hold (a checked byte,
// a band's field, a mode-name byte, PowerOnMode), with its range. band
// counts from 0 in its page's EQ, -1 for a value that is no band's;
// check.field is kNone then. The pack and the unpack check with the same
// rule, so a file the program writes always loads back.
struct PcModeRefusal {
    PcModeValueName name;
    int band;
    BandFieldCheck check;
};
std::optional<PcModeRefusal> CheckPcModeImage(const ParamImage& image, const ModeName& modeName);

// The file of the image, with modeName (PcModeNameField of the mode-name
// edit) as its CurrentModeName; the writer stores the same
// field into the image's CurrentModeName. nullopt when the result would fail
// CheckPcModeImage's check (a band, a checked byte or PowerOnMode out of
// range): a file that would not load back is never written.
std::optional<PcModeFileBytes> PackPcModeFile(const ParamImage& image, const ModeName& modeName);

// Checks the bytes whole: exactly 1488, tag, version (bytes 1 and 3 zero),
// checksum, bytes 1422..1423 zero, every band (slope 0..7, type 0..4,
// frequency 20..20000, Q x10 4..999, gain x10 -240..240), the ParamBytes
// with a known range (SystemMode, inputs, pitch, reverb and echo types, HDMI
// indexes, pass-filter slopes), name bytes 32..122 and PowerOnMode 0..10;
// level and carried bytes pass as they are. Only then copies every area and
// PowerOnMode into the image, keeping its live volumes (ParamBytes 0, 1, 2
// and 109: what the user hears now is not the file's business); true.
// false: the image is untouched.
bool UnpackPcModeFile(std::span<const std::uint8_t> bytes, ParamImage& image);

// Upload To Equipment, after a load: each live music and microphone volume
// is lowered to the loaded file's maximum (byte 0 by 4, 1 by 11, and the
// cinema and auto music volume 109 by 149). The effect volume has none.
void CapLiveVolumes(ParamImage& image);
