#include "system/learn_codes.h"

#include <gtest/gtest.h>

TEST(LearnCodes, TextIsLowerCaseHexPairsOfTheLearnedBytesOnly) {
    struct Case {
        LearnCode code;
        const char* text;
    } cases[] = {
        {{3, 0x01, 0xAB, 0x7F, 0xEE}, "01ab7f"},  // bytes past the length are not shown
        {{0, 0x01, 0xAB}, ""},
        {{8, 0, 1, 2, 3, 0xFC, 0xFD, 0xFE, 0xFF}, "00010203fcfdfeff"},
        {{9, 1, 2, 3, 4, 5, 6, 7, 8, 9}, ""},  // longer than the unit learns
        {{0xFF}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(LearnCodeText(c.code), c.text) << c.text;
}

TEST(LearnCodes, FunctionNamesBySlot) {
    struct Case {
        int slot;
        const char* name;
    } cases[] = {
        {1, "Mute"}, {2, "M1"}, {8, "Auto"}, {17, "CINEMA"}, {27, "AutoMode"}, {29, "HDMI4"},
        {30, " "},   {32, " "}, {0, ""},     {33, ""},       {-1, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(LearnFunctionName(c.slot), c.name) << c.slot;
}

TEST(LearnCodes, SlotsOutsideTheTableHaveNoCode) {
    ParamImage image;
    EXPECT_EQ(LearnCodeOf(image, 1), &image.LearnCodes[0]);
    EXPECT_EQ(LearnCodeOf(image, 32), &image.LearnCodes[31]);
    EXPECT_EQ(LearnCodeOf(image, 0), nullptr);
    EXPECT_EQ(LearnCodeOf(image, 33), nullptr);
}
