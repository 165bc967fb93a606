#include "model/param_image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace {

struct IndexValue {
    int index;
    int value;
};

// An image full of junk, then initialised: whatever InitParamImage forgets to
// set stays visibly wrong. The members it must leave alone carry markers.
class InitParamImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(static_cast<void*>(&image), 0xA5, sizeof image);
        image.ExtendedFeatures = 1;
        image.ModeFileCount = 42;
        image.LearnSlotIndex = 7;
        image.LearnCodes[31][15] = 0x5A;
        image.LearnWords[31] = 99;
        image.BaudIndex = 8;
        image.MainToggleBits = 5;
        InitParamImage(image);
    }
    ParamImage image;
};

TEST_F(InitParamImageTest, ParamBytesHoldTheirDefaults) {
    const IndexValue cases[] = {
        {0, 50},   {2, 35},   {5, 15},  {6, 1},    {9, 7},    {12, 100}, {13, 100}, {14, 15},
        {18, 1},   {21, 35},  {25, 6},  {26, 4},   {27, 99},  {33, 10},  {38, 0},   {41, 99},
        {52, 0},   {55, 99},  {56, 99}, {57, 50},  {66, 0},   {67, 99},  {68, 99},  {77, 0},
        {78, 6},   {79, 20},  {80, 1},  {82, 50},  {83, 20},  {84, 85},  {85, 1},   {86, 228},
        {87, 60},  {88, 228}, {89, 60}, {90, 40},  {91, 0},   {92, 50},  {93, 50},  {96, 99},
        {97, 74},  {98, 10},  {99, 2},  {100, 10}, {101, 0},  {103, 99}, {106, 50}, {107, 0},
        {108, 2},  {109, 50}, {112, 0}, {113, 40}, {115, 40}, {116, 75}, {118, 10}, {123, 0},
        {124, 75}, {132, 75}, {139, 0}, {140, 75}, {145, 1},  {146, 0},  {147, 6},  {148, 50},
        {149, 99}, {150, 52}, {151, 0}, {152, 1},  {153, 0},  {154, 0},  {155, 99}, {156, 99},
        {157, 75}, {158, 75}, {159, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(image.ParamBytes[c.index], c.value) << "ParamBytes[" << c.index << "]";
    }
}

TEST_F(InitParamImageTest, EveryDeviceByteAndWordEqualsItsTableAndTheFileOnlyOnesAreZero) {
    for (std::size_t i = 0; i < kParamBytesDeviceCount; ++i) {
        EXPECT_EQ(image.ParamBytes[i], ParamBytesDefaults[i]) << "ParamBytes[" << i << "]";
    }
    for (std::size_t i = 0; i < kParamWordsDeviceCount; ++i) {
        EXPECT_EQ(image.ParamWords[i], ParamWordsDefaults[i]) << "ParamWords[" << i << "]";
    }
    EXPECT_EQ(image.ParamBytes[159], 0);
    EXPECT_EQ(image.ParamWords[46], 0);
}

TEST_F(InitParamImageTest, EchoVolumesStartAtLevel100WithThePolarityBitSet) {
    for (int index : {86, 88}) {
        EXPECT_EQ(image.ParamBytes[index] & 0x7F, 100);
        EXPECT_NE(image.ParamBytes[index] & 0x80, 0);
    }
}

TEST_F(InitParamImageTest, ParamWordsHoldTheirDefaults) {
    const IndexValue cases[] = {
        {0, 50},   {1, 20000},  {2, 20},     {3, 20000}, {4, 20},    {5, 20000},  {7, 20000},
        {12, 20},  {13, 20000}, {14, 20},    {15, 120},  {16, 20},   {17, 20000}, {22, 20},
        {23, 120}, {24, 100},   {25, 15200}, {26, 63},   {27, 7700}, {28, 2680},  {29, 20},
        {30, 200}, {31, 0},     {32, 200},   {33, 0},    {34, 0},    {45, 0},     {46, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(image.ParamWords[c.index], c.value) << "ParamWords[" << c.index << "]";
    }
}

TEST_F(InitParamImageTest, FlagWordsMasksAndScalars) {
    EXPECT_EQ(image.ParamFlags, 0x0007FF00u);
    for (int id = 0; id <= 10; ++id) {
        EXPECT_NE(image.ParamFlags & (1u << (8 + id)), 0u) << "EQ " << id << " active";
    }
    EXPECT_EQ(image.ParamFlags & 0xFFu, 0u) << "nothing muted";
    // The cinema word switches on exactly the EQs of the four output pages.
    std::uint32_t outputEqs = 0;
    for (int id : {3, 5, 7, 8}) outputEqs |= 1u << (8 + id);
    EXPECT_EQ(image.CinemaParamFlags, outputEqs);
    EXPECT_EQ(image.CinemaParamFlags, 0x0001A800u);

    for (std::uint16_t mask : image.BandEnableMasks) EXPECT_EQ(mask, 0xFFFF);
    EXPECT_EQ(image.CurrentModeSlot, 0);
    EXPECT_EQ(image.KeyLockOn, 0);
    EXPECT_EQ(image.AdminMode, 1);
    EXPECT_EQ(image.UnlockFlags, 0);
    EXPECT_EQ(image.BoostPageEnabled, 0);
    EXPECT_EQ(image.BoostEnableFlags, 0);
    EXPECT_EQ(image.PowerOnMode, 0);
    EXPECT_EQ(image.PinkNoiseState, 0);
    EXPECT_EQ(image.Language, 0);
    for (char c : image.CurrentModeName) EXPECT_EQ(c, 0);
    for (const ModeName& name : image.ModeNameTable) {
        for (char c : name) EXPECT_EQ(c, 0);
    }
}

TEST_F(InitParamImageTest, LeavesWhatTheDialogSetsElsewhere) {
    EXPECT_EQ(image.ExtendedFeatures, 1);
    EXPECT_EQ(image.ModeFileCount, 42);
    EXPECT_EQ(image.LearnSlotIndex, 7);
    EXPECT_EQ(image.LearnCodes[31][15], 0x5A);
    EXPECT_EQ(image.LearnWords[31], 99);
    EXPECT_EQ(image.BaudIndex, 8);
    EXPECT_EQ(image.MainToggleBits, 5);
}

TEST(ParamImageTest, ConstructedImageHasTheConstructorValues) {
    const ParamImage image;
    EXPECT_EQ(image.ExtendedFeatures, 1);
    EXPECT_EQ(image.BaudIndex, 3);
    EXPECT_EQ(image.MainToggleBits, 0);
    EXPECT_EQ(image.ModeFileCount, 0);
}

TEST(ParamImageTest, ClearLearnAreaClearsSlotCodesAndWordsOnly) {
    ParamImage image;
    image.LearnSlotIndex = 3;
    image.LearnCodes[0] = {2, 0xAB, 0xCD};
    image.LearnCodes[31][15] = 1;
    image.LearnWords[0] = -1;
    image.LearnWords[31] = 5;
    image.BaudIndex = 9;
    ClearLearnArea(image);
    EXPECT_EQ(image.LearnSlotIndex, 0);
    for (const LearnCode& code : image.LearnCodes) {
        for (std::uint8_t b : code) EXPECT_EQ(b, 0);
    }
    for (int w : image.LearnWords) EXPECT_EQ(w, 0);
    EXPECT_EQ(image.BaudIndex, 9);
}

TEST(DefaultBandFreqsTest, RowsAtTheSetBoundaries) {
    const IndexValue cases[] = {
        {0, 25},     {8, 1000},   {14, 16000}, {15, 20000}, {16, 20},     {17, 25},     {31, 16000},
        {33, 20},    {34, 31},    {43, 16000}, {44, 20000}, {45, 20},     {46, 31},     {57, 20},
        {58, 31},    {69, 20},    {70, 31},    {81, 20},    {82, 125},    {88, 8000},   {89, 20000},
        {90, 20},    {91, 125},   {99, 20},    {100, 31},   {104, 500},   {105, 20000}, {106, 20},
        {107, 31},   {113, 20},   {114, 125},  {118, 8000}, {119, 15200}, {120, 100},   {121, 125},
        {123, 1000}, {124, 2500}, {125, 8000}, {126, 7700}, {127, 63},    {128, 0},     {129, 0},
        {130, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultBandFreqs[c.index], c.value) << "row " << c.index;
    }
}

TEST_F(InitParamImageTest, BandRecordsTakeTheirRowsWithQ10) {
    struct ArrayCase {
        const char* name;
        std::span<const EqBand> bands;
        int firstRow;
    };
    const ArrayCase cases[] = {
        {"Mic1", image.Mic1EqBands, 0},
        {"Mic2", image.Mic2EqBands, 0},
        {"Music", image.MusicEqBands, 17},
        {"Master", image.MasterEqBands, 34},
        {"Surround", image.SurroundEqBands, 58},
        {"Centre", image.CentreEqBands, 82},
        {"Subwoofer", image.SubwooferEqBands, 100},
        {"Reverb", image.ReverbEqBands, 114},
        {"Echo", image.EchoEqBands, 121},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < c.bands.size(); ++i) {
            const EqBand& b = c.bands[i];
            SCOPED_TRACE(::testing::Message() << c.name << " record " << i);
            EXPECT_EQ(b.frequency, DefaultBandFreqs[c.firstRow + i]);
            EXPECT_EQ(b.q, 10);
            EXPECT_EQ(b.gain, 0);
            EXPECT_EQ(b.slope, 0);
            EXPECT_EQ(b.type, kBandTypePeq);  // the page refresh re-tags the pass filters
        }
    }
    // The cinema sets start over, and the last records are the pass filters.
    EXPECT_EQ(image.MasterEqBands[12].frequency, 31);
    EXPECT_EQ(image.MasterEqBands[22].frequency, 20000);
    EXPECT_EQ(image.MasterEqBands[23].frequency, 20);
    EXPECT_EQ(image.CentreEqBands[9].frequency, 125);
    EXPECT_EQ(image.SubwooferEqBands[5].frequency, 20000);
    EXPECT_EQ(image.SubwooferEqBands[13].frequency, 20);
    EXPECT_EQ(image.Mic2EqBands[16].frequency, 20);
    EXPECT_EQ(image.ReverbEqBands[5].frequency, 15200);
    EXPECT_EQ(image.EchoEqBands[6].frequency, 63);
}

TEST_F(InitParamImageTest, BoostRunsBorrowTheEchoRows) {
    const std::vector<int> five = {125, 250, 1000, 2500, 8000};
    const std::vector<int> three = {125, 250, 1000};
    // Array order: music 0..4, mic 5..9, reverb 10..12, echo 13..15.
    const std::vector<int> expected[] = {five, five, three, three};
    std::size_t k = 0;
    for (const auto& run : expected) {
        for (int hz : run) {
            const EqBand& b = image.BoostBands[k];
            EXPECT_EQ(b.frequency, hz) << "BoostBands[" << k << "]";
            EXPECT_EQ(b.q, 10);
            EXPECT_EQ(b.gain, 0);
            EXPECT_EQ(b.type, kBandTypePeq);
            ++k;
        }
    }
    EXPECT_EQ(k, kBoostBandCount);
}

TEST(EqBandTest, ByteLayoutIsTheModeFileLayout) {
    const EqBand band{.slope = 7, .type = 3, .frequency = 0x1234, .q = 0x0056, .gain = -2};
    unsigned char bytes[sizeof(EqBand)];
    std::memcpy(bytes, &band, sizeof bytes);
    const unsigned char expected[] = {0x07, 0x03, 0x34, 0x12, 0x56, 0x00, 0xFE, 0xFF};
    ASSERT_EQ(sizeof(EqBand), 8u);
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof expected), 0);
}

TEST(BandMaskTest, ModuleToMaskWord) {
    const IndexValue cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 3}, {5, 4},
                                {6, 4}, {7, 5}, {8, 6}, {9, 7}, {10, 8}};
    for (const auto& c : cases) {
        EXPECT_EQ(BandMaskWordFor(c.index), c.value) << "module " << c.index;
    }
    for (int id : {-1, 11, 255, INT_MAX, INT_MIN}) {
        EXPECT_EQ(BandMaskWordFor(id), std::nullopt) << "module " << id;
    }
}

TEST(EqModuleBandsTest, EachIdAddressesItsSet) {
    ParamImage image;
    struct Case {
        int id;
        bool cinema;
        const EqBand* first;
        std::size_t size;
        int defaultRow;
    };
    const Case cases[] = {
        {0, false, &image.Mic1EqBands[0], 17, 0},
        {0, true, &image.Mic1EqBands[0], 17, 0},
        {1, false, &image.Mic2EqBands[0], 17, 0},
        {2, true, &image.MusicEqBands[0], 17, 17},
        {3, false, &image.MasterEqBands[0], 12, 34},
        {3, true, &image.MasterEqBands[12], 12, 46},
        {4, false, &image.MasterEqBands[12], 12, 46},
        {4, true, &image.MasterEqBands[12], 12, 46},
        {5, false, &image.SurroundEqBands[0], 12, 58},
        {5, true, &image.SurroundEqBands[12], 12, 70},
        {6, false, &image.SurroundEqBands[12], 12, 70},
        {7, false, &image.CentreEqBands[0], 9, 82},
        {7, true, &image.CentreEqBands[9], 9, 91},
        {8, false, &image.SubwooferEqBands[0], 7, 100},
        {8, true, &image.SubwooferEqBands[7], 7, 107},
        {9, true, &image.ReverbEqBands[0], 7, 114},
        {10, false, &image.EchoEqBands[0], 7, 121},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "module " << c.id << " cinema " << c.cinema);
        std::span<EqBand> bands = EqModuleBands(image, c.id, c.cinema);
        EXPECT_EQ(bands.data(), c.first);
        EXPECT_EQ(bands.size(), c.size);
        const ParamImage& constImage = image;
        EXPECT_EQ(EqModuleBands(constImage, c.id, c.cinema).data(), c.first);
        EXPECT_EQ(EqModuleDefaultRow(c.id, c.cinema), c.defaultRow);
    }
}

TEST(EqModuleBandsTest, DefaultRowsMatchTheInitialisedRecords) {
    ParamImage image;
    InitParamImage(image);
    for (int id = 0; id <= 10; ++id) {
        for (bool cinema : {false, true}) {
            std::span<const EqBand> bands = EqModuleBands(std::as_const(image), id, cinema);
            const int row = *EqModuleDefaultRow(id, cinema);
            for (std::size_t i = 0; i < bands.size(); ++i) {
                EXPECT_EQ(bands[i].frequency, DefaultBandFreqs[row + i])
                    << "module " << id << " cinema " << cinema << " band " << i;
            }
        }
    }
}

TEST(EqModuleBandsTest, IdOutOfRangeGivesNothing) {
    ParamImage image;
    for (int id : {-1, 11, 100, INT_MIN, INT_MAX}) {
        EXPECT_TRUE(EqModuleBands(image, id).empty()) << id;
        EXPECT_TRUE(EqModuleBands(image, id, true).empty()) << id;
        EXPECT_EQ(EqModuleDefaultRow(id), std::nullopt) << id;
    }
}

TEST(BoostRunBandsTest, TargetsSelectTheirRuns) {
    ParamImage image;
    struct Case {
        int target;
        std::size_t first;
        std::size_t size;
    };
    // MIC is the second run, MUSIC the first.
    const Case cases[] = {{0, 5, 5}, {1, 0, 5}, {2, 10, 3}, {3, 13, 3}};
    for (const auto& c : cases) {
        std::span<EqBand> run = BoostRunBands(image, c.target);
        EXPECT_EQ(run.data(), &image.BoostBands[c.first]) << c.target;
        EXPECT_EQ(run.size(), c.size) << c.target;
    }
    for (int target : {-1, 4, INT_MAX}) {
        EXPECT_TRUE(BoostRunBands(image, target).empty()) << target;
        EXPECT_TRUE(BoostRunBands(std::as_const(image), target).empty()) << target;
    }
}

}  // namespace

TEST(MainVolume, ColumnsAndTheirMaximaByKind) {
    struct Case {
        int systemMode, column, index, maximumIndex;
    } cases[] = {
        {0, 0, 0, 4},  {1, 0, 109, 149}, {2, 0, 109, 149}, {0, 1, 1, 11},
        {1, 1, 1, 11}, {0, 2, 2, -1},    {1, 2, 2, -1},
    };
    ParamImage image;
    InitParamImage(image);
    for (const Case& c : cases) {
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.systemMode);
        const MainVolumeBytes v = MainVolumeFor(image, c.column);
        EXPECT_EQ(v.index, c.index) << c.systemMode << "/" << c.column;
        EXPECT_EQ(v.maximumIndex, c.maximumIndex) << c.systemMode << "/" << c.column;
    }
}
