#pragma once
// The parameter image: the one in-memory copy of every parameter of the
// processor. The main dialog embeds one; pages edit it in place through raw
// pointers, the command builder reads it, the reply decoder and the mode files
// overwrite it. Values are scaled integers (Hz, Q x10, gain x10 dB); nothing
// here is validated on write, each editor keeps its own field in range.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/eq_band.h"

constexpr std::size_t kParamBytesCount = 160;
constexpr std::size_t kParamBytesDeviceCount = 159;  // [159] lives only in PC mode files
constexpr std::size_t kParamWordsCount = 47;
constexpr std::size_t kParamWordsDeviceCount = 46;   // [46] lives only in PC mode files
constexpr std::size_t kDefaultBandFreqsCount = 131;  // 128 band rows and three zero words
constexpr std::size_t kBandEnableMaskCount = 10;
constexpr std::size_t kEqModuleCount = 11;  // EqModuleId 0..10
constexpr std::size_t kBoostBandCount = 16;
constexpr std::size_t kBoostTargetCount = 4;  // BoostTarget 0 MIC, 1 MUSIC, 2 REV, 3 ECHO
constexpr std::size_t kModeNameLength = 16;
constexpr std::size_t kUserModeCount = 10;
// PowerOnMode: 0 the last mode, 1..10 a user mode.
constexpr int kMaxPowerOnMode = static_cast<int>(kUserModeCount);
constexpr std::size_t kLearnCodeCount = 32;
constexpr std::size_t kLearnCodeBytes = 16;
constexpr std::size_t kLearnCodeMaxLength = 8;  // the most code bytes the unit learns
constexpr std::size_t kLearnWordCount = 32;

// The learn baud rates by BaudIndex: what the learn commands send and what a
// learn table file may hold.
constexpr std::array<std::uint32_t, 10> kLearnBaudRates = {1200,  2400,  4800,  9600,  14400,
                                                           19200, 38400, 56000, 57600, 115200};

// ParamBytes[107]: 0 KTV, 1 cinema, 2 auto. Every value with a KTV and a cinema
// copy uses the cinema copy whenever this is not 0.
constexpr std::size_t kSystemModeByte = 107;

// Byte 0 is the number of code bytes (0..8), bytes 1..n the code; the rest is
// carried along untouched.
using LearnCode = std::array<std::uint8_t, kLearnCodeBytes>;
using ModeName = std::array<char, kModeNameLength>;

struct ParamImage {
    int BoostEnableFlags = 0;  // bit 0 mic, 1 music, 2 reverb, 3 echo boost EQ on
    int BoostPageEnabled = 0;
    int PowerOnMode = 0;     // 0 last mode, 1..10 user mode n
    int PinkNoiseState = 0;  // 0 off, 1..6 OutputChannel
    // Each array: PEQ bands, then the low-pass record, then the high-pass
    // record; an output EQ holds the KTV set first and the cinema set second.
    std::array<EqBand, 17> MusicEqBands{};
    std::array<EqBand, 17> Mic1EqBands{};
    std::array<EqBand, 17> Mic2EqBands{};
    std::array<EqBand, 24> MasterEqBands{};
    std::array<EqBand, 24> SurroundEqBands{};
    std::array<EqBand, 18> CentreEqBands{};
    std::array<EqBand, 14> SubwooferEqBands{};
    std::array<EqBand, 7> ReverbEqBands{};
    std::array<EqBand, 7> EchoEqBands{};
    // Runs back to back: music 5, mic 5, reverb 3, echo 3.
    std::array<EqBand, kBoostBandCount> BoostBands{};
    std::uint8_t CurrentModeSlot = 0;  // 0..9
    std::array<std::uint8_t, kParamBytesCount> ParamBytes{};
    std::array<std::uint16_t, kParamWordsCount> ParamWords{};
    std::uint32_t ParamFlags = 0;        // KTV kind switch word
    std::uint32_t CinemaParamFlags = 0;  // cinema and auto kinds, same bit layout
    std::array<char, kModeNameLength + 1> CurrentModeName{};  // always NUL-terminated
    std::array<std::uint16_t, kBandEnableMaskCount> BandEnableMasks{};
    int ModeFileCount = 0;  // PC mode files listed, 0..100

    int KeyLockOn = 0;
    int AdminMode = 0;
    // What the unit last confirmed (block header, login answers): a refused
    // change of the two above goes back to these.
    int KeyLockConfirmed = 0;
    int AdminModeConfirmed = 0;
    // The main dialog's constructor sets this before InitParamImage runs (which
    // leaves it alone); the handshake reply updates it later.
    int ExtendedFeatures = 1;
    int UnlockFlags = 0;  // bits 0 and 1
    // The learn area. Slot s = 1..32 is LearnCodes[s - 1].
    int LearnSlotIndex = 0;
    std::array<LearnCode, kLearnCodeCount> LearnCodes{};
    std::array<int, kLearnWordCount> LearnWords{};
    int BaudIndex = 3;  // index into the learn baud-rate table; 3 = 9600
    std::array<ModeName, kUserModeCount> ModeNameTable{};
    int MainToggleBits = 0;  // bits 0..2: main window toggles 1841..1843
    int Language = 0;        // 0 English, 1 Chinese

    bool operator==(const ParamImage&) const = default;
};
static_assert(sizeof(ParamImage::ModeNameTable) == kUserModeCount * kModeNameLength);
static_assert(sizeof(ParamImage::LearnCodes) == kLearnCodeCount * kLearnCodeBytes);

// The start-up values of the two index maps and of every band record.
extern const std::array<std::uint8_t, kParamBytesCount> ParamBytesDefaults;
extern const std::array<std::uint16_t, kParamWordsDeviceCount> ParamWordsDefaults;
// One frequency per band record in band-array order; pages read it again for
// their EQ reset (row = the array's first row + set offset + band index).
extern const std::array<std::uint16_t, kDefaultBandFreqsCount> DefaultBandFreqs;
// EqModuleId -> BandEnableMasks word; both sets of an output EQ share a word.
extern const std::array<std::uint8_t, kEqModuleCount> BandMaskIndexTable;

// Sets every member to its start-up value, as the main dialog's initialisation
// does first. Leaves ExtendedFeatures, ModeFileCount, the learn area, BaudIndex
// and MainToggleBits as they are: the dialog's constructor and the later steps
// of its initialisation own those (see ClearLearnArea).
void InitParamImage(ParamImage& image);

// Learn slot index, the 32 codes and the 32 words := 0.
void ClearLearnArea(ParamImage& image);

// The band set an EqModuleId addresses: 0 mic 1, 1 mic 2, 2 music, 3 master,
// 4 master cinema set, 5 surround, 6 surround cinema set, 7 centre,
// 8 subwoofer, 9 reverb, 10 echo. With cinemaSet, ids 3, 5, 7 and 8 give their
// second set too (the cinema and auto kinds); one-set EQs ignore it. The span
// covers one set: the PEQ bands, then the low-pass and the high-pass record.
// An id outside 0..10 gives an empty span.
std::span<EqBand> EqModuleBands(ParamImage& image, int moduleId, bool cinemaSet = false);
std::span<const EqBand> EqModuleBands(const ParamImage& image, int moduleId,
                                      bool cinemaSet = false);

// First DefaultBandFreqs row of the set EqModuleBands gives for the same
// arguments (both microphones use row 0); nullopt for an id outside 0..10.
std::optional<int> EqModuleDefaultRow(int moduleId, bool cinemaSet = false);

// BandEnableMasks index of an EqModuleId; nullopt for an id outside 0..10.
std::optional<int> BandMaskWordFor(int moduleId);

// The boost run of a BoostTarget (0 MIC, 1 MUSIC, 2 REV, 3 ECHO) inside
// BoostBands; empty for a target outside 0..3.
std::span<EqBand> BoostRunBands(ParamImage& image, int boostTarget);
std::span<const EqBand> BoostRunBands(const ParamImage& image, int boostTarget);

// The main volume of a column (0 music, 1 microphone, 2 effect) in the current
// kind: its ParamBytes index and the index of its maximum (-1: no maximum).
// Music is byte 0 under maximum 4 in KTV, byte 109 under 149 otherwise.
struct MainVolumeBytes {
    int index;
    int maximumIndex;
};
MainVolumeBytes MainVolumeFor(const ParamImage& image, int column);
