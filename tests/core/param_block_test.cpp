#include "link/param_block.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/device_block_layout.h"

namespace {

using blocktest::Bytes;

class ParamBlockTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { InitParamImage(image); }
    ParamImage image;
};

TEST_P(ParamBlockTest, UnpackFillsEveryFieldFromItsOffset) {
    const Bytes block = blocktest::MakeBlock(GetParam());
    ParamImage before = image;
    before.LearnCodes[3][0] = 5;  // a field the block does not carry
    image.LearnCodes[3][0] = 5;
    UnpackDeviceParamBlock(block.data(), image);
    blocktest::ExpectImageHoldsBlock(image, block);

    // Not in the block: the pass-filter records of every set, the header's
    // fields and the PC side's own.
    struct PassPair {
        const char* what;
        const EqBand* now;
        const EqBand* was;
    };
    const PassPair pass[] = {
        {"mic 1", &image.Mic1EqBands[15], &before.Mic1EqBands[15]},
        {"music", &image.MusicEqBands[15], &before.MusicEqBands[15]},
        {"master KTV", &image.MasterEqBands[10], &before.MasterEqBands[10]},
        {"master cinema", &image.MasterEqBands[22], &before.MasterEqBands[22]},
        {"centre cinema", &image.CentreEqBands[16], &before.CentreEqBands[16]},
        {"subwoofer cinema", &image.SubwooferEqBands[12], &before.SubwooferEqBands[12]},
        {"echo", &image.EchoEqBands[5], &before.EchoEqBands[5]},
    };
    for (const PassPair& p : pass) {
        EXPECT_TRUE(blocktest::SameBands({p.now, 2}, {p.was, 2})) << p.what;
    }
    EXPECT_EQ(image.ParamBytes[159], before.ParamBytes[159]);
    EXPECT_EQ(image.ParamWords[46], before.ParamWords[46]);
    EXPECT_EQ(image.LearnCodes, before.LearnCodes);
    EXPECT_EQ(image.CurrentModeSlot, before.CurrentModeSlot);
    EXPECT_EQ(image.AdminMode, before.AdminMode);
}

TEST_P(ParamBlockTest, PackWritesTheLayoutBack) {
    const Bytes block = blocktest::MakeBlock(GetParam());
    UnpackDeviceParamBlock(block.data(), image);
    Bytes packed(kDeviceParamBlockSize, 0xEE);
    PackDeviceParamBlock(image, packed.data());
    EXPECT_EQ(packed, block);
}

TEST_P(ParamBlockTest, ModeRecordIsTheBlockHeadThenTheMasks) {
    const Bytes block = blocktest::MakeBlock(GetParam());
    UnpackDeviceParamBlock(block.data(), image);
    Bytes record(kModeRecordSize + 1, 0xEE);
    PackModeRecord(image, record.data());
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 870, record.begin()));
    EXPECT_TRUE(std::equal(block.begin() + 1030, block.begin() + 1050, record.begin() + 870));
    EXPECT_EQ(record[kModeRecordSize], 0xEE) << "written past the record";

    ParamImage back;
    InitParamImage(back);
    UnpackModeRecord(record.data(), back);
    Bytes expected = block;
    // The record has no mode-name table and no boost part.
    ParamImage fresh;
    InitParamImage(fresh);
    PackDeviceParamBlock(fresh, expected.data());
    std::copy(block.begin(), block.begin() + 870, expected.begin());
    std::copy(block.begin() + 1030, block.begin() + 1050, expected.begin() + 1030);
    blocktest::ExpectImageHoldsBlock(back, expected);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ParamBlockTest, ::testing::Values(1u, 2u, 77u));

TEST(ParamBlockHeader, UnpacksEachField) {
    struct Case {
        const char* what;
        Bytes header;
        int unlockBefore;
    };
    const Case cases[] = {
        {"all options off", blocktest::MakeHeader(0, 0x00, 0, 0, 0), 0},
        {"every option on", blocktest::MakeHeader(9, 0xFF, 2, 6, 10), 0},
        {"lock and toggle 1", blocktest::MakeHeader(3, 0x05, 1, 1, 4), 0},
        {"unlock flag 1 only, other unlock bits kept", blocktest::MakeHeader(4, 0x40, 0, 0, 1),
         0x0D},
        {"signed bytes", blocktest::MakeHeader(1, 0x02, -1, -2, -3), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParamImage image;
        InitParamImage(image);
        image.UnlockFlags = c.unlockBefore;
        image.KeyLockConfirmed = 7;
        image.AdminModeConfirmed = 7;
        UnpackDeviceBlockHeader(c.header.data(), image);
        blocktest::ExpectImageHoldsHeader(image, c.header);
        EXPECT_EQ(image.UnlockFlags & ~3, c.unlockBefore & ~3);
    }
}

}  // namespace
