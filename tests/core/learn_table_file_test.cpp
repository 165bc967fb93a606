#include "model/learn_table_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/file_io.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The test's own reading of the checksum rule: bytes 8..521 sum to 0xFF.
void Reseal(Bytes& b) {
    unsigned sum = 0;
    for (std::size_t i = 8; i < 521; ++i) sum += b[i];
    b[521] = static_cast<std::uint8_t>(~sum & 0xFF);
}

class LearnTable : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        ClearLearnArea(image);
        image.LearnCodes[0] = LearnCode{3, 0x01, 0xAB, 0x7F};
        image.LearnCodes[0][15] = 0x5A;  // carried along, not interpreted
        image.LearnCodes[31] = LearnCode{8, 1, 2, 3, 4, 5, 6, 7, 8};
        image.BaudIndex = 9;
    }
    Bytes Packed() const {
        const auto bytes = PackLearnTable(image);
        EXPECT_TRUE(bytes.has_value());
        return bytes ? Bytes(bytes->begin(), bytes->end()) : Bytes{};
    }
    ParamImage image;
};

TEST_F(LearnTable, LaysTheCodesOutInSlotOrder) {
    const Bytes b = Packed();
    ASSERT_EQ(b.size(), 522u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{0x52, 0x41, 0x45, 0x4C, 1, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 24),
              (Bytes{3, 0x01, 0xAB, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x5A}));
    EXPECT_EQ(Bytes(b.begin() + 24, b.begin() + 40), Bytes(16, 0));
    EXPECT_EQ(Bytes(b.begin() + 504, b.begin() + 513), (Bytes{8, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(b[520], 9);
    unsigned sum = 0;
    for (std::size_t i = 8; i < 522; ++i) sum += b[i];
    EXPECT_EQ(sum % 256, 0xFFu);
}

TEST_F(LearnTable, SavedTableLoadsBackToTheSameCodesAndBaudRate) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(SaveLearnTableFile(folder / "codes.dat", image));
    ParamImage loaded;
    InitParamImage(loaded);
    ClearLearnArea(loaded);
    loaded.LearnCodes[5][0] = 2;
    ASSERT_TRUE(LoadLearnTableFile(folder / "codes.dat", loaded));
    EXPECT_EQ(loaded.LearnCodes, image.LearnCodes);
    EXPECT_EQ(loaded.BaudIndex, 9);
    const auto again = PackLearnTable(loaded);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(Bytes(again->begin(), again->end()), Packed());
}

TEST_F(LearnTable, LimitsLoad) {
    for (LearnCode& code : image.LearnCodes) code[0] = 8;
    image.BaudIndex = 0;
    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(UnpackLearnTable(Packed(), loaded));
    EXPECT_EQ(loaded.LearnCodes, image.LearnCodes);
    EXPECT_EQ(loaded.BaudIndex, 0);
}

struct RefusedTable {
    const char* name;
    std::function<void(Bytes&)> spoil;
    bool reseal = true;
};

TEST_F(LearnTable, RefusedTablesChangeNothing) {
    const RefusedTable cases[] = {
        {"523 bytes", [](Bytes& b) { b.push_back(0); }, false},
        {"521 bytes", [](Bytes& b) { b.pop_back(); }, false},
        {"magic only", [](Bytes& b) { b.resize(4); }, false},
        {"a code length of 9", [](Bytes& b) { b[8 + 16 * 4] = 9; }},
        {"the last code's length 255", [](Bytes& b) { b[8 + 16 * 31] = 255; }},
        {"baud index 10", [](Bytes& b) { b[520] = 10; }},
        {"baud index 255", [](Bytes& b) { b[520] = 255; }},
        {"bad sum", [](Bytes& b) { b[521] ^= 0x01; }, false},
        {"bad magic", [](Bytes& b) { b[0] = 0x53; }},
        {"magic's last byte", [](Bytes& b) { b[3] = 0x4D; }},
        {"version 2", [](Bytes& b) { b[4] = 2; }},
        {"version's high byte", [](Bytes& b) { b[7] = 0x80; }},
    };
    const Bytes good = Packed();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = good;
        c.spoil(b);
        if (c.reseal && b.size() == 522) Reseal(b);
        ParamImage target;
        InitParamImage(target);
        ClearLearnArea(target);
        target.LearnCodes[7] = LearnCode{1, 0x42};
        target.BaudIndex = 3;
        const ParamImage before = target;
        EXPECT_FALSE(UnpackLearnTable(b, target));
        EXPECT_EQ(target.LearnCodes, before.LearnCodes);
        EXPECT_EQ(target.BaudIndex, 3);
    }
}

TEST_F(LearnTable, AnySingleChangedByteIsRefused) {
    const Bytes good = Packed();
    for (std::size_t i = 0; i < good.size(); ++i) {
        Bytes b = good;
        b[i] = static_cast<std::uint8_t>(b[i] + 1);
        ParamImage target;
        InitParamImage(target);
        EXPECT_FALSE(UnpackLearnTable(b, target)) << "byte " << i;
    }
}

// A baud combo without a selection, or a code the unit could not have sent,
// would make a table that never loads again.
TEST_F(LearnTable, ATableThatWouldNotLoadBackIsNotSavedAndTheOldFileStays) {
    testsupport::TempFolder folder;
    ASSERT_TRUE(SaveLearnTableFile(folder / "codes.dat", image));
    const auto old = LoadWholeFile(folder / "codes.dat", 522);
    const std::function<void(ParamImage&)> spoils[] = {
        [](ParamImage& i) { i.BaudIndex = -1; },
        [](ParamImage& i) { i.BaudIndex = 10; },
        [](ParamImage& i) { i.LearnCodes[12][0] = 9; },
    };
    for (const auto& spoil : spoils) {
        ParamImage spoilt = image;
        spoil(spoilt);
        EXPECT_FALSE(PackLearnTable(spoilt).has_value());
        EXPECT_FALSE(SaveLearnTableFile(folder / "codes.dat", spoilt));
        EXPECT_EQ(LoadWholeFile(folder / "codes.dat", 522), old);
    }
}

TEST_F(LearnTable, FilesThatCannotBeReadOrAreTooLongLoadNothing) {
    testsupport::TempFolder folder;
    Bytes b = Packed();
    b.resize(800, 0);
    testsupport::WriteFileBytes(folder / "long.dat", b);
    const ParamImage before = image;
    EXPECT_FALSE(LoadLearnTableFile(folder / "long.dat", image));
    EXPECT_FALSE(LoadLearnTableFile(folder / "missing.dat", image));
    EXPECT_FALSE(LoadLearnTableFile(folder.Path(), image));
    EXPECT_EQ(image.LearnCodes, before.LearnCodes);
    EXPECT_EQ(image.BaudIndex, before.BaudIndex);
}

}  // namespace
