// The logo record: two lines of 20 GBK bytes, cut between characters and
// padded with blanks.
#include "system/logo_record.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

namespace {

// "中" in GBK.
const std::string kZhong = "\xD6\xD0";

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct CutCase {
    const char* what;
    std::string gbk;
    std::string cut;
};
void PrintTo(const CutCase& c, std::ostream* os) { *os << c.what; }

const CutCase kCuts[] = {
    {"Empty", "", ""},
    {"AsciiOf25KeepsTwenty", std::string(25, 'x'), std::string(20, 'x')},
    {"TwentyTwoByteCharactersFit", Repeat(kZhong, 10), Repeat(kZhong, 10)},
    {"EleventhTwoByteCharacterDropped", Repeat(kZhong, 11), Repeat(kZhong, 10)},
    // 19 bytes used, the next character needs two: it is left out whole.
    {"OddStartDropsTheSplitCharacter", "a" + Repeat(kZhong, 10), "a" + Repeat(kZhong, 9)},
    {"LoneLeadByteAtTheEndDropped", "ab\xD6", "ab"},
};

class LogoCut : public ::testing::TestWithParam<CutCase> {};

}  // namespace

TEST_P(LogoCut, CutsBetweenCharacters) {
    const CutCase& c = GetParam();
    EXPECT_EQ(CutGbk(c.gbk, kLogoLineBytes), c.cut);
}
INSTANTIATE_TEST_SUITE_P(Lines, LogoCut, ::testing::ValuesIn(kCuts),
                         testsupport::CaseName<CutCase>);

TEST(LogoRecord, SetCarriesFlagAndBothLinesBlankPadded) {
    const LogoRecord r = SetLogoRecord("a" + Repeat(kZhong, 10), "KTV");
    ASSERT_EQ(r.size(), 41u);
    EXPECT_EQ(r[0], 1);
    const std::string line1(r.begin() + 1, r.begin() + 21);
    const std::string line2(r.begin() + 21, r.end());
    EXPECT_EQ(line1, "a" + Repeat(kZhong, 9) + " ");
    EXPECT_EQ(line2, "KTV" + std::string(17, ' '));
}

TEST(LogoRecord, EmptyLinesAreTwentyBlanks) {
    const LogoRecord r = SetLogoRecord("", "");
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(std::string(r.begin() + 1, r.end()), std::string(40, ' '));
}

TEST(LogoRecord, ClearHasFlagZeroAndBlankLines) {
    const LogoRecord r = ClearLogoRecord();
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(std::string(r.begin() + 1, r.end()), std::string(40, ' '));
}
