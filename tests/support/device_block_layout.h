#pragma once
// The tests' own reading of the unit's parameter block and block header,
// written from the layout and not from the product's unpacker, so that a
// mistake made in both cannot pass: a maker of plausible blocks, and the
// check that a parameter image holds what a block and header say.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "model/param_image.h"

namespace blocktest {

using Bytes = std::vector<std::uint8_t>;

constexpr int kBlockSize = 1131;
constexpr int kHeaderSize = 15;

inline int U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
inline std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
           (static_cast<std::uint32_t>(p[3]) << 24);
}

// A band as it travels: frequency, then Q x10 in 12 bits with the type above
// it and the gain's sign on top, then |gain|.
struct Wire {
    int frequency, q, type, gain;
};
inline Wire ReadWire(const std::uint8_t* p) {
    const int w = p[2] | (p[3] << 8);
    return {U16(p), w & 0x0FFF, (w >> 12) & 0x7, (w & 0x8000) ? -p[4] : p[4]};
}
inline void WriteWire(const Wire& b, std::uint8_t* p) {
    p[0] = static_cast<std::uint8_t>(b.frequency & 0xFF);
    p[1] = static_cast<std::uint8_t>(b.frequency >> 8);
    const int w = (b.type << 12) | b.q | (b.gain < 0 ? 0x8000 : 0);
    p[2] = static_cast<std::uint8_t>(w & 0xFF);
    p[3] = static_cast<std::uint8_t>(w >> 8);
    p[4] = static_cast<std::uint8_t>(b.gain < 0 ? -b.gain : b.gain);
}

// Where each run of PEQ bands sits in the block, and which records of which
// array of the image it fills.
struct Run {
    const char* what;
    int offset;
    int count;
    const EqBand* (*first)(const ParamImage&);
};
inline const std::vector<Run>& PeqRuns() {
    static const std::vector<Run> runs = {
        {"mic 1", 251, 15, [](const ParamImage& i) { return &i.Mic1EqBands[0]; }},
        {"mic 2", 326, 15, [](const ParamImage& i) { return &i.Mic2EqBands[0]; }},
        {"music", 401, 15, [](const ParamImage& i) { return &i.MusicEqBands[0]; }},
        {"master KTV", 476, 10, [](const ParamImage& i) { return &i.MasterEqBands[0]; }},
        {"master cinema", 526, 10, [](const ParamImage& i) { return &i.MasterEqBands[12]; }},
        {"surround KTV", 576, 10, [](const ParamImage& i) { return &i.SurroundEqBands[0]; }},
        {"surround cinema", 626, 10, [](const ParamImage& i) { return &i.SurroundEqBands[12]; }},
        {"centre KTV", 676, 7, [](const ParamImage& i) { return &i.CentreEqBands[0]; }},
        {"centre cinema", 711, 7, [](const ParamImage& i) { return &i.CentreEqBands[9]; }},
        {"subwoofer KTV", 746, 5, [](const ParamImage& i) { return &i.SubwooferEqBands[0]; }},
        {"subwoofer cinema", 771, 5, [](const ParamImage& i) { return &i.SubwooferEqBands[7]; }},
        {"reverb", 796, 5, [](const ParamImage& i) { return &i.ReverbEqBands[0]; }},
        {"echo", 821, 5, [](const ParamImage& i) { return &i.EchoEqBands[0]; }},
        // The boost runs: the block has mic first, the image music first.
        {"boost mic", 1051, 5, [](const ParamImage& i) { return &i.BoostBands[5]; }},
        {"boost music", 1076, 5, [](const ParamImage& i) { return &i.BoostBands[0]; }},
        {"boost reverb", 1101, 3, [](const ParamImage& i) { return &i.BoostBands[10]; }},
        {"boost echo", 1116, 3, [](const ParamImage& i) { return &i.BoostBands[13]; }},
    };
    return runs;
}

// A block a unit could hold: every value inside its range, SystemMode KTV,
// the second-video bytes 0..3 and mode names padded with NULs, so that a
// page refresh has nothing to correct.
inline Bytes MakeBlock(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Bytes b(kBlockSize, 0);
    for (int i = 0; i < 159; ++i) b[i] = static_cast<std::uint8_t>(pick(0, 99));
    b[107] = 0;
    b[94] = static_cast<std::uint8_t>(pick(0, 3));
    b[95] = static_cast<std::uint8_t>(pick(0, 3));
    for (int i = 0; i < 46; ++i) {
        const int v = pick(20, 20000);
        b[159 + 2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        b[160 + 2 * i] = static_cast<std::uint8_t>(v >> 8);
    }
    for (const Run& run : PeqRuns()) {
        for (int k = 0; k < run.count; ++k) {
            WriteWire({pick(20, 20000), pick(4, 999), pick(0, 2), pick(-240, 240)},
                      &b[static_cast<std::size_t>(run.offset + 5 * k)]);
        }
    }
    for (int i = 846; i < 854; ++i) b[i] = static_cast<std::uint8_t>(pick(0, 255));
    auto name = [&](int at) {
        const int length = pick(1, 16);
        for (int k = 0; k < length; ++k) b[at + k] = static_cast<std::uint8_t>(pick('A', 'z'));
    };
    name(854);
    for (int m = 0; m < 10; ++m) name(870 + 16 * m);
    for (int i = 1030; i < 1050; ++i) b[i] = static_cast<std::uint8_t>(pick(0, 255));
    b[1050] = static_cast<std::uint8_t>(pick(0, 15));
    return b;
}

// A header with the unit's signature; the block length and checksum follow
// it in the 0x3F reply, not here.
inline Bytes MakeHeader(std::uint8_t slot, std::uint8_t options, std::int8_t admin,
                        std::int8_t pink, std::int8_t powerOn) {
    Bytes h(kHeaderSize, 0);
    h[0] = slot;
    h[1] = 0x13;
    h[2] = 0x01;
    h[3] = 0x03;
    h[4] = 0x05;
    h[7] = options;
    h[8] = static_cast<std::uint8_t>(admin);
    h[9] = static_cast<std::uint8_t>(pink);
    h[14] = static_cast<std::uint8_t>(powerOn);
    return h;
}

// Everything the block says is in the image (the pass-filter records are
// not in the block and are not looked at).
inline void ExpectImageHoldsBlock(const ParamImage& image, const Bytes& b) {
    ASSERT_EQ(b.size(), static_cast<std::size_t>(kBlockSize));
    for (int i = 0; i < 159; ++i) EXPECT_EQ(image.ParamBytes[i], b[i]) << "ParamBytes " << i;
    for (int i = 0; i < 46; ++i)
        EXPECT_EQ(image.ParamWords[i], U16(&b[159 + 2 * i])) << "ParamWords " << i;
    for (const Run& run : PeqRuns()) {
        const EqBand* band = run.first(image);
        for (int k = 0; k < run.count; ++k) {
            const Wire w = ReadWire(&b[static_cast<std::size_t>(run.offset + 5 * k)]);
            SCOPED_TRACE(std::string(run.what) + " band " + std::to_string(k));
            EXPECT_EQ(band[k].frequency, w.frequency);
            EXPECT_EQ(band[k].q, w.q);
            EXPECT_EQ(band[k].type, w.type);
            EXPECT_EQ(band[k].gain, w.gain);
            EXPECT_EQ(band[k].slope, 0);
        }
    }
    EXPECT_EQ(image.ParamFlags, U32(&b[846]));
    EXPECT_EQ(image.CinemaParamFlags, U32(&b[850]));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(static_cast<std::uint8_t>(image.CurrentModeName[k]), b[854 + k]) << "name " << k;
    EXPECT_EQ(image.CurrentModeName[16], '\0');
    for (int m = 0; m < 10; ++m)
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(static_cast<std::uint8_t>(image.ModeNameTable[m][k]), b[870 + 16 * m + k])
                << "mode name " << m << " char " << k;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(image.BandEnableMasks[i], U16(&b[1030 + 2 * i])) << "mask " << i;
    EXPECT_EQ(image.BoostEnableFlags, b[1050]);
}

inline void ExpectImageHoldsHeader(const ParamImage& image, const Bytes& h) {
    ASSERT_EQ(h.size(), static_cast<std::size_t>(kHeaderSize));
    EXPECT_EQ(image.CurrentModeSlot, h[0]);
    EXPECT_EQ(image.KeyLockOn, h[7] & 1);
    EXPECT_EQ(image.KeyLockConfirmed, h[7] & 1);
    EXPECT_EQ(image.MainToggleBits, (h[7] >> 1) & 7);
    EXPECT_EQ(image.UnlockFlags & 3, (h[7] >> 5) & 3);
    EXPECT_EQ(image.AdminMode, static_cast<std::int8_t>(h[8]));
    EXPECT_EQ(image.AdminModeConfirmed, static_cast<std::int8_t>(h[8]));
    EXPECT_EQ(image.PinkNoiseState, static_cast<std::int8_t>(h[9]));
    EXPECT_EQ(image.PowerOnMode, static_cast<std::int8_t>(h[14]));
}

// The record a mode upload carries, built from an image by the block's
// layout: the block's first 870 bytes (values, words, PEQ bands, both flag
// words, the current mode name), then the ten band-enable masks.
inline Bytes ModeRecordFromImage(const ParamImage& image) {
    Bytes r(890, 0);
    for (int i = 0; i < 159; ++i) r[i] = image.ParamBytes[i];
    for (int i = 0; i < 46; ++i) {
        r[159 + 2 * i] = static_cast<std::uint8_t>(image.ParamWords[i] & 0xFF);
        r[160 + 2 * i] = static_cast<std::uint8_t>(image.ParamWords[i] >> 8);
    }
    for (const Run& run : PeqRuns()) {
        if (run.offset >= 846) continue;  // the boost runs lie past the record
        const EqBand* band = run.first(image);
        for (int k = 0; k < run.count; ++k)
            WriteWire({band[k].frequency, band[k].q, band[k].type, band[k].gain},
                      &r[static_cast<std::size_t>(run.offset + 5 * k)]);
    }
    for (int k = 0; k < 4; ++k) {
        r[846 + k] = static_cast<std::uint8_t>(image.ParamFlags >> (8 * k));
        r[850 + k] = static_cast<std::uint8_t>(image.CinemaParamFlags >> (8 * k));
    }
    for (int k = 0; k < 16; ++k) r[854 + k] = static_cast<std::uint8_t>(image.CurrentModeName[k]);
    for (int i = 0; i < 10; ++i) {
        r[870 + 2 * i] = static_cast<std::uint8_t>(image.BandEnableMasks[i] & 0xFF);
        r[871 + 2 * i] = static_cast<std::uint8_t>(image.BandEnableMasks[i] >> 8);
    }
    return r;
}

// Every member of two images, field by field.
inline bool SameBands(std::span<const EqBand> a, std::span<const EqBand> b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].slope != b[i].slope || a[i].type != b[i].type ||
            a[i].frequency != b[i].frequency || a[i].q != b[i].q || a[i].gain != b[i].gain)
            return false;
    }
    return true;
}
inline bool SameImage(const ParamImage& a, const ParamImage& b) {
    return a.BoostEnableFlags == b.BoostEnableFlags && a.BoostPageEnabled == b.BoostPageEnabled &&
           a.PowerOnMode == b.PowerOnMode && a.PinkNoiseState == b.PinkNoiseState &&
           SameBands(a.MusicEqBands, b.MusicEqBands) && SameBands(a.Mic1EqBands, b.Mic1EqBands) &&
           SameBands(a.Mic2EqBands, b.Mic2EqBands) && SameBands(a.MasterEqBands, b.MasterEqBands) &&
           SameBands(a.SurroundEqBands, b.SurroundEqBands) &&
           SameBands(a.CentreEqBands, b.CentreEqBands) &&
           SameBands(a.SubwooferEqBands, b.SubwooferEqBands) &&
           SameBands(a.ReverbEqBands, b.ReverbEqBands) && SameBands(a.EchoEqBands, b.EchoEqBands) &&
           SameBands(a.BoostBands, b.BoostBands) && a.CurrentModeSlot == b.CurrentModeSlot &&
           a.ParamBytes == b.ParamBytes && a.ParamWords == b.ParamWords &&
           a.ParamFlags == b.ParamFlags && a.CinemaParamFlags == b.CinemaParamFlags &&
           a.CurrentModeName == b.CurrentModeName && a.BandEnableMasks == b.BandEnableMasks &&
           a.ModeFileCount == b.ModeFileCount && a.KeyLockOn == b.KeyLockOn &&
           a.AdminMode == b.AdminMode && a.KeyLockConfirmed == b.KeyLockConfirmed &&
           a.AdminModeConfirmed == b.AdminModeConfirmed &&
           a.ExtendedFeatures == b.ExtendedFeatures && a.UnlockFlags == b.UnlockFlags &&
           a.LearnSlotIndex == b.LearnSlotIndex && a.LearnCodes == b.LearnCodes &&
           a.LearnWords == b.LearnWords && a.BaudIndex == b.BaudIndex &&
           a.ModeNameTable == b.ModeNameTable && a.MainToggleBits == b.MainToggleBits &&
           a.Language == b.Language;
}

}  // namespace blocktest
