// The user-mode list and name edit texts, the current name's trim and the
// checks a store and a reset pass before anything is sent.
#include "system/user_modes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/case_name.h"

namespace {

ModeName Name(const char* bytes, std::size_t length) {
    ModeName name{};
    std::memcpy(name.data(), bytes, std::min(length, name.size()));
    return name;
}

struct NameCase {
    const char* what;
    ModeName name;
    const char* item;  // slot 2
    const char* edit;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

const NameCase kNames[] = {
    {"RockPaddedWithNuls", Name("ROCK", 4), "3 - ROCK", "ROCK"},
    {"FirstByteNul", Name("\0ROCK", 5), "3 - ", ""},
    {"AllSixteen", Name("ABCDEFGHIJKLMNOP", 16), "3 - ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
    // 123 ('{') and a control byte end the list's name; the edit shows up to
    // the NUL.
    {"BraceEndsTheListName", Name("AB{CD", 5), "3 - AB", "AB{CD"},
    {"ControlByteEndsTheListName",
     Name("AB\x01"
          "CD",
          5),
     "3 - AB",
     "AB\x01"
     "CD"},
    {"HighByteEndsTheListName",
     Name("AB\xC8"
          "CD",
          5),
     "3 - AB",
     "AB\xC8"
     "CD"},
    {"InnerBlanksKeptPaddingDropped", Name("MY MODE         ", 16), "3 - MY MODE",
     "MY MODE         "},
};

class UserModeNames : public ::testing::TestWithParam<NameCase> {};

}  // namespace

TEST_P(UserModeNames, ListRowAndEditText) {
    const NameCase& c = GetParam();
    EXPECT_EQ(UserModeItem(2, c.name), c.item);
    EXPECT_EQ(UserModeEditName(c.name), c.edit);
}
INSTANTIATE_TEST_SUITE_P(Names, UserModeNames, ::testing::ValuesIn(kNames),
                         testsupport::CaseName<NameCase>);

TEST(UserModes, PlaceholderIsNumberAndDash) {
    EXPECT_EQ(UserModePlaceholder(0), "1 -");
    EXPECT_EQ(UserModePlaceholder(9), "10 -");
}

TEST(UserModes, CurrentNameLosesTrailingBlanksAndNulsInTheImage) {
    ParamImage image{};
    std::memcpy(image.CurrentModeName.data(), "ABC             ", 16);
    EXPECT_EQ(TrimCurrentModeName(image), "ABC");
    for (std::size_t i = 3; i < image.CurrentModeName.size(); ++i)
        EXPECT_EQ(image.CurrentModeName[i], '\0') << i;

    std::memcpy(image.CurrentModeName.data(), "                ", 16);
    EXPECT_EQ(TrimCurrentModeName(image), "");
    std::memcpy(image.CurrentModeName.data(), "A B  \0\0 \0      ", 16);
    EXPECT_EQ(TrimCurrentModeName(image), "A B");
    EXPECT_EQ(image.CurrentModeName[1], ' ');
}

struct StoreCase {
    const char* what;
    int admin;
    const char* name;
    UserModeRefusal refusal;
};
void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.what; }

const StoreCase kStores[] = {
    {"AdminWithName", 1, "ROCK 2", UserModeRefusal::kNone},
    {"EmptyNamePasses", 1, "", UserModeRefusal::kNone},
    {"EdgesOfTheRange", 1, " z", UserModeRefusal::kNone},
    {"UserLevel", 0, "ROCK", UserModeRefusal::kNotAdmin},
    {"HiddenLevelTwo", 2, "ROCK", UserModeRefusal::kNotAdmin},
    {"LevelFromTheUnitOutOfRange", -1, "ROCK", UserModeRefusal::kNotAdmin},
    {"AdminCheckedFirst", 0, "{", UserModeRefusal::kNotAdmin},
    {"BraceIsOutside", 1, "A{", UserModeRefusal::kBadName},
    {"TildeIsOutside", 1, "~", UserModeRefusal::kBadName},
    {"ChineseIsOutside", 1, "模式", UserModeRefusal::kBadName},
    {"TabIsOutside", 1, "A\tB", UserModeRefusal::kBadName},
};

class ModeStoreCheck : public ::testing::TestWithParam<StoreCase> {};

TEST_P(ModeStoreCheck, Refusal) {
    const StoreCase& c = GetParam();
    EXPECT_EQ(CheckModeStore(c.admin, c.name), c.refusal);
}
INSTANTIATE_TEST_SUITE_P(Stores, ModeStoreCheck, ::testing::ValuesIn(kStores),
                         testsupport::CaseName<StoreCase>);

TEST(UserModes, ResetNeedsAdminLevelOne) {
    EXPECT_EQ(CheckModeReset(1), UserModeRefusal::kNone);
    for (int level : {0, 2, 3, -1}) EXPECT_EQ(CheckModeReset(level), UserModeRefusal::kNotAdmin);
}

TEST(UserModes, MessagesInBothLanguages) {
    EXPECT_STREQ(UserModeMessage(UserModeText::kNotAdmin, 0), "must be in admin mode");
    EXPECT_STREQ(UserModeMessage(UserModeText::kNotAdmin, 1), "必须处于管理模式才能存储");
    EXPECT_STREQ(UserModeMessage(UserModeText::kBadName, 0), "Invalide charater in mode name");
    EXPECT_STREQ(UserModeMessage(UserModeText::kBadName, 1), "模式名称含有非法字符");
    EXPECT_STREQ(UserModeMessage(UserModeText::kWarning, 1), "警告");
    EXPECT_STREQ(UserModeMessage(UserModeText::kResetAll, 0), "Reset all ?");
    EXPECT_STREQ(UserModeMessage(UserModeText::kResetAll, 1), "清除所有模式?");
}
