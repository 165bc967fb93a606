// GBK (cp936) to and from UTF-8, as the unit and its files carry it.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Gbk, ConvertsBothWays) {
    const struct {
        std::string gbk;
        std::string utf8;
    } cases[] = {
        {"", ""},
        {"Mode 1\t ", "Mode 1\t "},
        {"\xD6\xD0\xCE\xC4", "中文"},
        {"\xBE\xAF\xB8\xE6", "警告"},
        {"A\xD2\xF4\xC0\xD6"
         "B",
         "A音乐B"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"\x80", "€"},  // cp936's euro sign
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::GbkToUtf8(c.gbk), c.utf8) << c.utf8;
        EXPECT_EQ(platform::Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    }
}

// A bad byte becomes one '?' and the text goes on after it.
TEST(Gbk, ABadByteBecomesOneQuestionMark) {
    const struct {
        std::string in;
        std::string out;
    } gbkCases[] = {
        {"A\xFF"
         "B",
         "A?B"},                            // never a GBK byte
        {"\xD6\xD0\xFF\xCE\xC4", "中?文"},  //
        {"A\xD6", "A?"},                    // a lead byte cut off at the end
        {"\xD6 x", "? x"},                  // a lead byte with no valid second byte
    };
    for (const auto& c : gbkCases) EXPECT_EQ(platform::GbkToUtf8(c.in), c.out) << c.out;

    const struct {
        std::string in;
        std::string out;
    } utf8Cases[] = {
        {"A\xFF"
         "B",
         "A?B"},         // not UTF-8
        {"A😀B", "A?B"},  // no GBK for it: one '?', not four
        {"\xE4\xB8"
         "A",
         "?A"},                             // a sequence cut short
        {"中\x80文", "\xD6\xD0?\xCE\xC4"},  // a stray continuation byte
        {"x\xE4", "x?"},                    // cut off at the end
    };
    for (const auto& c : utf8Cases) EXPECT_EQ(platform::Utf8ToGbk(c.in), c.out) << c.in;
}

// What the unit's GBK texts can carry: anything Utf8ToGbk would turn into
// '?' cannot.
TEST(Gbk, FitsOnlyWhereEveryCharacterHasAGbkForm) {
    const struct {
        std::string utf8;
        bool fits;
    } cases[] = {
        {"", true},
        {"Quavix-Home_2.4G", true},
        {"卡拉OK 中文", true},
        {"€", true},
        {"a?b", true},  // a real '?' is a character like any other
        {"A😀B", false},
        {"สวัสดี", false},
        {"A\xFF"
         "B",
         false},  // not UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(platform::FitsGbk(c.utf8), c.fits) << c.utf8;
}

}  // namespace
