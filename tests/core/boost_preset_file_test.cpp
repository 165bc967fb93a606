#include "model/boost_preset_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

#include "model/file_io.h"
#include "support/boost_preset_layout.h"
#include "support/temp_folder.h"

namespace {

bool SameBands(const ParamImage& a, const ParamImage& b) {
    return std::memcmp(a.BoostBands.data(), b.BoostBands.data(), sizeof a.BoostBands) == 0;
}

using testsupport::ResealBoostPreset;

class BoostPreset : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        image.BoostEnableFlags = 0x0B;
        // BoostBands: music 0..4, mic 5..9, reverb 10..12, echo 13..15.
        for (std::size_t i = 0; i < kBoostBandCount; ++i) {
            image.BoostBands[i] = EqBand{
                static_cast<std::uint8_t>(i % 8), static_cast<std::uint8_t>(i % 3),
                static_cast<std::uint16_t>(100 + 37 * i), static_cast<std::uint16_t>(5 + 11 * i),
                static_cast<std::int16_t>(30 * i - 230)};
        }
        image.BoostBands[0] = EqBand{3, 1, 1000, 7, -35};
        image.BoostBands[9] = EqBand{0, 2, 20000, 999, 240};
        image.BoostBands[15] = EqBand{7, 0, 20, 4, -240};
    }
    std::vector<std::uint8_t> Packed() const {
        const auto bytes = PackBoostPreset(image);
        EXPECT_TRUE(bytes.has_value());
        return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end())
                     : std::vector<std::uint8_t>{};
    }
    ParamImage image;
};

TEST_F(BoostPreset, LaysTheGroupsOutMusicMicReverbEcho) {
    const auto bytes = Packed();
    ASSERT_EQ(bytes.size(), 132u);
    EXPECT_EQ(bytes[0], 0x95);
    EXPECT_EQ(bytes[1], 0x0B);
    EXPECT_EQ(bytes[131], 0);
    const auto at = [&](std::size_t offset) {
        return std::vector<std::uint8_t>(bytes.begin() + offset, bytes.begin() + offset + 8);
    };
    // Music band 0 first, mic band 4 ends the mic group, echo band 2 ends the file's bands.
    EXPECT_EQ(at(2), (std::vector<std::uint8_t>{3, 1, 0xE8, 0x03, 7, 0, 0xDD, 0xFF}));
    EXPECT_EQ(at(74), (std::vector<std::uint8_t>{0, 2, 0x20, 0x4E, 0xE7, 0x03, 0xF0, 0x00}));
    EXPECT_EQ(at(122), (std::vector<std::uint8_t>{7, 0, 20, 0, 4, 0, 0x10, 0xFF}));
    // Mic band 0 (BoostBands 5) opens the mic group, reverb band 0 (10) the reverb group.
    EXPECT_EQ(bytes[42 + 2] | bytes[42 + 3] << 8, 100 + 37 * 5);
    EXPECT_EQ(bytes[82 + 2] | bytes[82 + 3] << 8, 100 + 37 * 10);
    EXPECT_EQ(bytes[106 + 2] | bytes[106 + 3] << 8, 100 + 37 * 13);
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0x95u);
    EXPECT_EQ(sum % 256, 0u);
}

TEST_F(BoostPreset, SavedFileLoadsBackToTheSameSetting) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(SaveBoostPresetFile(folder / "live.btpar", image));
    ParamImage loaded;
    InitParamImage(loaded);
    loaded.BoostEnableFlags = 0x70;
    ASSERT_TRUE(LoadBoostPresetFile(folder / "live.btpar", loaded));
    EXPECT_TRUE(SameBands(loaded, image));
    EXPECT_EQ(loaded.BoostEnableFlags, 0x0B);
    const auto again = PackBoostPreset(loaded);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(std::vector<std::uint8_t>(again->begin(), again->end()), Packed());
}

TEST_F(BoostPreset, EnableByteIsTakenWholeAndOnlyItsLowByteIsSaved) {
    image.BoostEnableFlags = 0x1234;
    auto bytes = Packed();
    EXPECT_EQ(bytes[1], 0x34);
    bytes[1] = 0xF5;
    ResealBoostPreset(bytes);
    ASSERT_TRUE(UnpackBoostPreset(bytes, image));
    EXPECT_EQ(image.BoostEnableFlags, 0xF5);
}

TEST_F(BoostPreset, BandsAtTheirLimitsLoad) {
    image.BoostBands[1] = EqBand{7, 2, 20, 4, -240};
    image.BoostBands[12] = EqBand{0, 0, 20000, 999, 240};
    const auto bytes = Packed();
    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(UnpackBoostPreset(bytes, loaded));
    EXPECT_TRUE(SameBands(loaded, image));
}

struct RefusedPreset {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;  // the file is resealed after
    bool reseal = true;
};

// A band's field in the file: band b of the file's order (0..15), field offset.
void SetWord(std::vector<std::uint8_t>& bytes, std::size_t band, std::size_t field, int value) {
    bytes[2 + 8 * band + field] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[2 + 8 * band + field + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

TEST_F(BoostPreset, RefusedFilesLeaveTheImageAsItWas) {
    using B = std::vector<std::uint8_t>;
    const RefusedPreset cases[] = {
        {"empty", [](B& b) { b.clear(); }, false},
        {"one byte short", [](B& b) { b.pop_back(); }, false},
        {"one byte long", [](B& b) { b.push_back(0); }, false},
        {"wrong magic", [](B& b) { b[0] = 0x94; }},
        {"last byte not zero", [](B& b) { b[131] = 1; }},
        {"checksum one off", [](B& b) { b[130] += 1; }, false},
        {"plain sum zero, magic not counted twice",
         [](B& b) {
             b[130] = 0;
             b[130] = static_cast<std::uint8_t>(-std::accumulate(b.begin(), b.end(), 0u));
         },
         false},
        {"music band 0 slope 8", [](B& b) { b[2] = 8; }},
        {"mic band 4 type 3 (a pass filter)", [](B& b) { b[2 + 8 * 9 + 1] = 3; }},
        {"reverb band 0 at 19 Hz", [](B& b) { SetWord(b, 10, 2, 19); }},
        {"reverb band 2 at 20001 Hz", [](B& b) { SetWord(b, 12, 2, 20001); }},
        {"echo band 0 Q 0.3", [](B& b) { SetWord(b, 13, 4, 3); }},
        {"echo band 2 Q 100.0", [](B& b) { SetWord(b, 15, 4, 1000); }},
        {"music band 4 gain -24.1", [](B& b) { SetWord(b, 4, 6, -241); }},
        {"mic band 0 gain 24.1", [](B& b) { SetWord(b, 5, 6, 241); }},
        {"mic band 1 gain -3276.8", [](B& b) { SetWord(b, 6, 6, 0x8000); }},
    };
    const auto good = Packed();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytes = good;
        c.spoil(bytes);
        if (c.reseal) ResealBoostPreset(bytes);
        ParamImage target;
        InitParamImage(target);
        target.BoostEnableFlags = 0x5A;
        const ParamImage before = target;
        EXPECT_FALSE(UnpackBoostPreset(bytes, target));
        EXPECT_TRUE(SameBands(target, before));
        EXPECT_EQ(target.BoostEnableFlags, 0x5A);
    }
}

TEST_F(BoostPreset, AnySingleChangedByteIsRefused) {
    const auto good = Packed();
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (int delta : {1, 0x80}) {
            auto bytes = good;
            bytes[i] = static_cast<std::uint8_t>(bytes[i] + delta);
            ParamImage target;
            InitParamImage(target);
            EXPECT_FALSE(UnpackBoostPreset(bytes, target)) << "byte " << i << " + " << delta;
        }
    }
}

TEST_F(BoostPreset, ASettingOutOfRangeIsNotSavedAndTheOldFileStays) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(SaveBoostPresetFile(folder / "old.btpar", image));
    const auto old = LoadWholeFile(folder / "old.btpar", 132);
    image.BoostBands[12].frequency = 0;
    EXPECT_FALSE(PackBoostPreset(image).has_value());
    EXPECT_FALSE(SaveBoostPresetFile(folder / "old.btpar", image));
    EXPECT_EQ(LoadWholeFile(folder / "old.btpar", 132), old);
}

// One check serves the save and the load: the first band out of range is
// named by its target, its place in the run and its field, and a file that
// holds it is refused the same.
TEST_F(BoostPreset, TheCheckNamesTheFirstBandFieldOutOfRange) {
    const struct {
        int target;  // BoostTarget
        std::size_t band;
        void (*spoil)(EqBand&);
        BandFieldCheck check;
    } cases[] = {
        {1, 1, [](EqBand& b) { b.gain = -255; }, {BandField::kGain, -255, -240, 240}},
        {0, 4, [](EqBand& b) { b.gain = 241; }, {BandField::kGain, 241, -240, 240}},
        {0, 0, [](EqBand& b) { b.q = 0; }, {BandField::kQ, 0, 4, 999}},
        {2, 2, [](EqBand& b) { b.q = 1000; }, {BandField::kQ, 1000, 4, 999}},
        {3, 0, [](EqBand& b) { b.frequency = 19; }, {BandField::kFrequency, 19, 20, 20000}},
        {3, 2, [](EqBand& b) { b.frequency = 20001; }, {BandField::kFrequency, 20001, 20, 20000}},
        {2, 0, [](EqBand& b) { b.type = 3; }, {BandField::kType, 3, 0, 2}},
        {1, 4, [](EqBand& b) { b.slope = 8; }, {BandField::kSlope, 8, 0, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("target " + std::to_string(c.target) + " band " + std::to_string(c.band));
        ParamImage spoilt = image;
        c.spoil(BoostRunBands(spoilt, c.target)[c.band]);
        const auto refused = CheckBoostBands(spoilt.BoostBands);
        ASSERT_TRUE(refused.has_value());
        EXPECT_EQ(refused->boostTarget, c.target);
        EXPECT_EQ(refused->band, static_cast<int>(c.band));
        EXPECT_EQ(refused->check.field, c.check.field);
        EXPECT_EQ(refused->check.value, c.check.value);
        EXPECT_EQ(refused->check.min, c.check.min);
        EXPECT_EQ(refused->check.max, c.check.max);
        EXPECT_FALSE(PackBoostPreset(spoilt).has_value());
        std::vector<std::uint8_t> file = testsupport::BoostPresetBytesOf(spoilt);
        ParamImage target = image;
        EXPECT_FALSE(UnpackBoostPreset(file, target));
        EXPECT_EQ(target, image);
    }
    EXPECT_FALSE(CheckBoostBands(image.BoostBands).has_value());
}

TEST_F(BoostPreset, FilesThatCannotBeReadOrAreTooLongLoadNothing) {
    testsupport::TempFolder folder;
    auto bytes = Packed();
    bytes.push_back(0);
    testsupport::WriteFileBytes(folder / "long.btpar", bytes);
    const ParamImage before = image;
    EXPECT_FALSE(LoadBoostPresetFile(folder / "long.btpar", image));
    EXPECT_FALSE(LoadBoostPresetFile(folder / "missing.btpar", image));
    EXPECT_TRUE(SameBands(image, before));
}

}  // namespace
