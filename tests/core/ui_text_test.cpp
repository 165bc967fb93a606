#include "model/ui_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

struct RowCase {
    int row;
    const char* english;
    const char* chinese;  // nullptr: only the English text is fixed
};

TEST(UiTextTest, FixedRowsInBothLanguages) {
    const RowCase cases[] = {
        {0, "Connect", "连接"},
        {1, "Connected", nullptr},
        {2, "Music", "音乐"},
        {3, "Mic", "麦克风"},
        {5, "Music", "音乐"},
        {6, "Mic", "麦克风"},
        {7, "Reverb", "混响"},
        {8, "Echo", "回声"},
        {15, "System", "系统"},
        {16, "Main", "主输出"},
        {17, "Surround", "环绕输出"},
        {23, "EQ Bypass", "均衡器旁路"},
        {51, "Mic Dir Level to Mixer", nullptr},
        {75, "Echo Right Ch Predelay", nullptr},
        {139, "Subwood", nullptr},
        {147, "Mass Save To Equipment", nullptr},
        {153, "Mode Name:", nullptr},
        {157, "English", "English"},
        {158, "中文", "中文"},
        {162, "Dance Mode", "热舞模式"},
        {174, "Lock  ", "锁键"},
        {175, "Unlock", "不锁键"},
        {176, "Admin mode", "系统模式"},
        {181, "Admin mode", "管理模式"},
        {184, "Volume Config", "音量"},
        {201, "KTV", "KTV"},
        {202, "Cinema", "影院"},
        {203, "Auto", "自动"},
        {211, "Master:", nullptr},
        {215, "Index", "序号"},
        {216, "Mode Name", "模式名称"},
        {219, "Calibration", "声场定位"},
        {242, "OFF", "关闭"},
        {255, "IR/UART Enable", nullptr},
        {256, "Bypass", "旁路"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(UiText(kLanguageEnglish, c.row), c.english) << "row " << c.row;
        if (c.chinese != nullptr) {
            EXPECT_STREQ(UiText(kLanguageChinese, c.row), c.chinese) << "row " << c.row;
        }
    }
}

TEST(UiTextTest, TrailingBlanksAreKept) {
    EXPECT_STREQ(UiText(kLanguageEnglish, 160), "Simple    ");
    EXPECT_STREQ(UiText(kLanguageEnglish, 174), "Lock  ");
}

TEST(UiTextTest, UnusedRowsAreEmptyAndEveryOtherRowHasBothTexts) {
    const std::vector<int> unused = {154, 185, 186, 187, 188};
    for (int row = 0; row < kUiTextRows; ++row) {
        const bool isUnused = std::find(unused.begin(), unused.end(), row) != unused.end();
        for (int language : {kLanguageEnglish, kLanguageChinese}) {
            EXPECT_EQ(UiText(language, row)[0] == '\0', isUnused)
                << "row " << row << " language " << language;
        }
    }
}

TEST(UiTextTest, OutOfRangeGivesAnEmptyText) {
    const int cases[][2] = {{-1, 0},  {2, 0},   {INT_MIN, 5}, {INT_MAX, 5}, {0, -1},  {1, -1},
                            {0, 257}, {1, 257}, {0, INT_MAX}, {1, INT_MIN}, {-1, 300}};
    for (const auto& c : cases) {
        const char* text = UiText(c[0], c[1]);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "") << c[0] << ", " << c[1];
    }
    EXPECT_STREQ(UiText(1, 256), "旁路");  // the last row is still in range
}

// GBK takes one byte for ASCII and two for every Chinese character or
// full-width sign; the unit's text slots are 64 bytes with the terminator.
// Returns nullopt for malformed UTF-8 or a character GBK cannot hold.
std::optional<int> GbkLength(const char* utf8) {
    int length = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0) {
        int extra = 0;
        if (*p < 0x80) {
            length += 1;
        } else if ((*p & 0xE0) == 0xC0) {
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            extra = 2;
        } else {
            return std::nullopt;  // four-byte sequences lie outside GBK
        }
        if (extra > 0) length += 2;
        ++p;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return std::nullopt;
        }
    }
    return length;
}

TEST(UiTextTest, GbkLengthCountsChineseAsTwo) {
    EXPECT_EQ(GbkLength("Lock  "), 6);
    EXPECT_EQ(GbkLength("均衡器旁路"), 10);
    EXPECT_EQ(GbkLength("视频1："), 7);
    EXPECT_EQ(GbkLength("\xE5\x9D"), std::nullopt);
}

TEST(UiTextTest, EveryTextFitsItsSlotInGbk) {
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        for (int row = 0; row < kUiTextRows; ++row) {
            const std::optional<int> length = GbkLength(UiText(language, row));
            ASSERT_TRUE(length.has_value()) << "row " << row << " language " << language;
            EXPECT_LE(*length, kUiTextMaxGbkBytes) << "row " << row << " language " << language;
        }
    }
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        for (const auto& list : {CrossoverTypeItems(language, true), ModeListItems(language),
                                 InputComboItems(language, 0), PeqListItems(language, 15)}) {
            for (const std::string& item : list) {
                const std::optional<int> length = GbkLength(item.c_str());
                ASSERT_TRUE(length.has_value()) << item;
                EXPECT_LE(*length, kUiTextMaxGbkBytes) << item;
            }
        }
    }
}

TEST(FilterTypeNameTest, NamesBySlope) {
    const char* names[] = {"flat",   "bs12db", "bw12db", "bs18db",
                           "bw18db", "bs24db", "bw24db", "LR24db"};
    for (int slope = 0; slope < kFilterTypeCount; ++slope) {
        EXPECT_STREQ(FilterTypeName(slope, false), names[slope]) << slope;
        if (slope < 7) {
            EXPECT_STREQ(FilterTypeName(slope, true), names[slope]) << slope;
        }
    }
    EXPECT_STREQ(FilterTypeName(7, true), "48db");
    for (int slope : {-1, 8, 255, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(FilterTypeName(slope, false), "") << slope;
        EXPECT_STREQ(FilterTypeName(slope, true), "") << slope;
    }
}

TEST(ComboItemsTest, CrossoverTypes) {
    const Items english = {"flat",        "bessel_12db", "butter_12db", "bessel_18db",
                           "butter_18db", "bessel_24db", "butter_24db", "LR_24db"};
    const Items chinese = {"直通",         "贝赛尔12db", "巴特沃斯12db", "贝赛尔18db",
                           "巴特沃斯18db", "贝赛尔24db", "巴特沃斯24db", "林奎茨24db"};
    EXPECT_EQ(CrossoverTypeItems(0, false), english);
    EXPECT_EQ(CrossoverTypeItems(1, false), chinese);

    Items english48 = english;
    english48.back() = "butter_48db";
    Items chinese48 = chinese;
    chinese48.back() = "巴特沃斯48db";
    EXPECT_EQ(CrossoverTypeItems(0, true), english48);
    EXPECT_EQ(CrossoverTypeItems(1, true), chinese48);
}

TEST(ComboItemsTest, FixedLists) {
    EXPECT_EQ(FilterTypeItems(0), (Items{"PEQ", "LS", "HS"}));
    EXPECT_EQ(FilterTypeItems(1), (Items{"参量均衡", "低架", "高架"}));
    EXPECT_EQ(ReverbTypeItems(0), (Items{"hall", "room", "plate"}));
    EXPECT_EQ(ReverbTypeItems(1), (Items{"厅堂", "房间", "板房"}));
    EXPECT_EQ(EchoTypeItems(0), (Items{"mono", "stereo", "dual"}));
    EXPECT_EQ(EchoTypeItems(1), (Items{"单回声", "立体声", "双回声"}));
}

TEST(ComboItemsTest, InputListsByKind) {
    EXPECT_EQ(InputComboItems(0, 0), (Items{"Analog Auto", "VOD", "AUX", "BGM", "COAX", "OPTI",
                                            "HDMI1", "HDMI2", "HDMI3"}));
    EXPECT_EQ(InputComboItems(1, 0),
              (Items{"模拟自动", "VOD", "AUX", "BGM", "同轴", "光纤", "HDMI1", "HDMI2", "HDMI3"}));
    // Cinema and auto share the digital list.
    for (int systemMode : {1, 2}) {
        EXPECT_EQ(InputComboItems(0, systemMode),
                  (Items{"COAX", "OPTI", "HDMI1", "HDMI2", "HDMI3"}));
        EXPECT_EQ(InputComboItems(1, systemMode),
                  (Items{"同轴", "光纤", "HDMI1", "HDMI2", "HDMI3"}));
    }
}

TEST(ComboItemsTest, NumberedLists) {
    EXPECT_EQ(PeqListItems(0, 5), (Items{"PEQ1", "PEQ2", "PEQ3", "PEQ4", "PEQ5"}));
    const Items chinese15 = PeqListItems(1, 15);
    ASSERT_EQ(chinese15.size(), 15u);
    EXPECT_EQ(chinese15.front(), "参量均衡1");
    EXPECT_EQ(chinese15.back(), "参量均衡15");
    EXPECT_TRUE(PeqListItems(0, 0).empty());
    EXPECT_TRUE(PeqListItems(0, -3).empty());

    const Items english = ModeListItems(0);
    ASSERT_EQ(english.size(), 11u);
    EXPECT_EQ(english[0], "Last Mode");
    EXPECT_EQ(english[1], "User Mode 1");
    EXPECT_EQ(english[10], "User Mode 10");
    const Items chinese = ModeListItems(1);
    ASSERT_EQ(chinese.size(), 11u);
    EXPECT_EQ(chinese[0], "上次调用的模式");
    EXPECT_EQ(chinese[1], "模式1");
    EXPECT_EQ(chinese[10], "模式10");
}

TEST(ComboItemsTest, LanguageOutOfRangeGivesNoItems) {
    for (int language : {-1, 2, INT_MAX}) {
        EXPECT_TRUE(CrossoverTypeItems(language, false).empty());
        EXPECT_TRUE(CrossoverTypeItems(language, true).empty());
        EXPECT_TRUE(FilterTypeItems(language).empty());
        EXPECT_TRUE(PeqListItems(language, 15).empty());
        EXPECT_TRUE(ModeListItems(language).empty());
        EXPECT_TRUE(InputComboItems(language, 0).empty());
        EXPECT_TRUE(InputComboItems(language, 1).empty());
        EXPECT_TRUE(ReverbTypeItems(language).empty());
        EXPECT_TRUE(EchoTypeItems(language).empty());
    }
}

TEST(LanguageFromStoredTest, StoredValueOrDefault) {
    struct Case {
        std::optional<int> stored;
        int defaultValue;
        int expected;
    };
    const Case cases[] = {
        {std::nullopt, kDefaultLanguage, 1},  // a machine without the value starts in Chinese
        {std::nullopt, 0, 0},
        {std::nullopt, 7, 1},
        {0, 1, 0},
        {1, 0, 1},
        {5, 0, 1},
        {-1, 0, 1},
        {INT_MIN, 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageFromStored(c.stored, c.defaultValue), c.expected)
            << (c.stored ? std::to_string(*c.stored) : "missing") << " default " << c.defaultValue;
    }
}

}  // namespace
