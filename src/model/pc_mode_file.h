#pragma once
// The PC mode folder and its files. A PC mode file holds a whole parameter
// image; its file name is the PC name the user typed, without extension.
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
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/param_image.h"

constexpr std::size_t kPcModeFileSize = 1488;
constexpr std::size_t kMaxModeFiles = 100;

using PcModeFileBytes = std::array<std::uint8_t, kPcModeFileSize>;

// The mode files of a folder by full file name (extension kept, so the name
// loads again), sorted by name regardless of ASCII case (names equal but
// for case by their bytes), at most 100. Files of any other size and
// sub-folders are left out, and so are the save helper's temporary files; a
// missing or unreadable folder gives none.
std::vector<std::string> ListModeFiles(const std::string& folder);

// The CurrentModeName Save To PC stores: the first 16 bytes of the mode-name
// edit's text in GBK (a Chinese character is two of them), every byte outside
// 32..122 and every place after the end a blank.
ModeName PcModeNameField(const std::string& gbk);

// The file of the image, with modeName (PcModeNameField of the mode-name
// edit) as its CurrentModeName; the writer stores the same
// field into the image's CurrentModeName. nullopt when the result would fail
// UnpackPcModeFile's check (a band, a checked byte or PowerOnMode out of
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

// Why Save To PC refuses a PC name. kInvalidCharacter: one of / \ : ? * < > |
// or a double quote, a control character, the name "." or "..", or a name
// of the save helper's temporary files (it would never be listed).
enum class PcNameRefusal { kNone, kEmpty, kInvalidCharacter };
PcNameRefusal CheckPcName(std::string_view pcName);

// What Save To PC says: a refused name's text (kNone: ""), and the question
// before a file of the folder is replaced.
const char* PcNameRefusalText(PcNameRefusal refusal, int language);
const char* PcModeOverwriteQuestion(int language);

// The folder holds an entry of this name, file or not: saving asks before it
// overwrites (and fails when the entry is not a file).
bool PcModeFileExists(const std::filesystem::path& folder, const std::string& pcName);

// Writes the image as folder/pcName (the folder made when missing) with the
// shared save helper. false when the name is refused (CheckPcName), the image
// fails the check (PackPcModeFile) or the write fails; an old file then
// stays whole.
bool SavePcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    const ParamImage& image, const ModeName& modeName);

// Reads folder/pcName (a listed name, its bytes as listed) into the image
// with UnpackPcModeFile. false when the name cannot be a file of the folder,
// the file cannot be read, is not 1488 bytes or fails the check.
bool LoadPcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    ParamImage& image);
