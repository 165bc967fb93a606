#include "eq/band_entry.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model/param_image.h"
#include "support/comma_locale.h"

namespace {

constexpr int kStoredHz = 1000;

struct IntegerCase {
    const char* text;
    int step;
    int value;  // what is stored and shown afterwards
    bool changed;
};

TEST(BandEntry, FrequencyEntriesRestoreTheStoredValueWhenOutOfRangeOrRefused) {
    const IntegerCase cases[] = {
        {"1000", 0, 1000, false},
        {" 1000 ", 0, 1000, false},
        {"1200", 0, 1200, true},
        {"1200Hz", 0, 1200, true},  // the number at the start counts
        {"+1200", 0, 1200, true},
        {"20", 0, 20, true},
        {"20000", 0, 20000, true},
        {"20001", 0, kStoredHz, false},
        {"25000", 0, kStoredHz, false},
        {"19", 0, kStoredHz, false},
        {"-5", 0, kStoredHz, false},
        {"abc", 0, kStoredHz, false},  // no number reads 0, which is out of range
        {"", 0, kStoredHz, false},
        {"1e3", 0, kStoredHz, false},  // an integer field reads "1"
        {"12.7e1", 0, kStoredHz, false},
        {"--50", 0, kStoredHz, false},
        {"+-50", 0, kStoredHz, false},
        {"inf", 0, kStoredHz, false},
        {"99999999999", 0, kStoredHz, false},  // nine characters read: 999999999
        {"000000050000", 0, 50, true},         // "000000050" of it
        {"1000", 1, 1001, true},               // one updown step up
        {"1000", -1, 999, true},
        {"20000", 1, kStoredHz, false},  // a step past the top is refused
        {"20", -1, kStoredHz, false},
    };
    for (const IntegerCase& c : cases) {
        const EntryCommit r =
            CommitIntegerEntry(c.text, c.step, kStoredHz, kFrequencyRange, OutOfRange::kRestore);
        EXPECT_EQ(r.value, c.value) << '"' << c.text << "\" step " << c.step;
        EXPECT_EQ(r.changed, c.changed) << '"' << c.text << "\" step " << c.step;
    }
}

struct TenthsCase {
    const char* text;
    int step;
    EntryRange range;
    OutOfRange rule;
    int stored;
    int value;
    bool changed;
};

constexpr OutOfRange kRestore = OutOfRange::kRestore;
constexpr OutOfRange kClamp = OutOfRange::kClamp;

TEST(BandEntry, TenthsEntriesRoundHalvesAwayFromZeroAndRestoreOrClamp) {
    const TenthsCase cases[] = {
        // The band panel: out of range restores.
        {"-2.25", 0, kGainRange, kRestore, 0, -23, true},
        {"2.25", 0, kGainRange, kRestore, 0, 23, true},
        {"-0.05", 0, kGainRange, kRestore, 0, -1, true},
        {"-24.1", 0, kGainRange, kRestore, 35, 35, false},
        {"-24.0", 0, kGainRange, kRestore, 35, -240, true},
        {"24", 1, kGainRange, kRestore, 35, 35, false},
        {"abc", 0, kGainRange, kRestore, 35, 0, true},  // not a number reads 0.0: accepted
        {"", 0, kGainRange, kRestore, 35, 0, true},
        {"1e1", 0, kGainRange, kRestore, 35, 100, true},  // a decimal field takes exponents
        {" 3.5dB", 0, kGainRange, kRestore, 35, 35, false},
        {"3,5", 0, kGainRange, kRestore, 0, 30, true},  // ',' is never a decimal point
        {"1e30", 0, kGainRange, kRestore, 35, 35, false},
        {"-1e30", 0, kGainRange, kRestore, 35, 35, false},
        {"inf", 0, kGainRange, kRestore, 35, 35, false},
        {"nan", 0, kGainRange, kRestore, 35, 35, false},
        {"1e400", 0, kGainRange, kRestore, 35, 35, false},
        {"0.3", 0, kPeqQRange, kRestore, 10, 10, false},  // Q 0.3 is below 0.4
        {"0.4", 0, kPeqQRange, kRestore, 10, 4, true},
        {"2.0", 1, kShelfQRange, kRestore, 20, 20, false},  // a shelf's Q stops at 2.0
        {"1.0", 1, kPeqQRange, kRestore, 10, 11, true},
        // The editors: out of range clamps, a refused entry still restores.
        {"30", 0, kGainRange, kClamp, 0, 240, true},
        {"-24.1", 0, kGainRange, kClamp, 0, -240, true},
        {"1e30", 0, kGainRange, kClamp, 0, 0, false},
        {"-1e30", 0, kGainRange, kClamp, 0, 0, false},
        {"24", 1, kGainRange, kClamp, 240, 240, false},
        {"inf", 0, kGainRange, kClamp, 35, 35, false},
        {"-inf", 0, kGainRange, kClamp, 35, 35, false},
        {"nan", 0, kGainRange, kClamp, 35, 35, false},
        {"0.1", 0, kPeqQRange, kClamp, 10, 4, true},
        {"abc", 0, kPeqQRange, kClamp, 10, 4, true},  // reads 0, clamped to 0.4
        {"0.3", 0, kPeqQRange, kClamp, 10, 4, true},
        {"150", 0, kPeqQRange, kClamp, 10, 999, true},
        {"4.5", 0, kShelfQRange, kClamp, 10, 20, true},
    };
    for (const TenthsCase& c : cases) {
        const EntryCommit r = CommitTenthsEntry(c.text, c.step, c.stored, c.range, c.rule);
        EXPECT_EQ(r.value, c.value) << '"' << c.text << "\" step " << c.step;
        EXPECT_EQ(r.changed, c.changed) << '"' << c.text << "\" step " << c.step;
    }
}

TEST(BandEntry, ReadsOnlyTheFirstNineCharacters) {
    EXPECT_EQ(ReadEntryNumber("1.2345678999"), 1.2345678);
    EXPECT_EQ(ReadEntryNumber("         5"), 0.0);  // nine blanks: nothing left to read
    EXPECT_EQ(ReadEntryInteger("123456789123"), 123456789);
    EXPECT_EQ(ReadEntryInteger("-12345678"), -12345678);
}

TEST(BandEntry, Formats) {
    const std::pair<int, const char*> tenths[] = {
        {-23, "-2.3"}, {0, "0.0"}, {7, "0.7"}, {-5, "-0.5"}, {240, "24.0"}, {999, "99.9"},
    };
    for (const auto& [v, text] : tenths) EXPECT_EQ(FormatTenthsEntry(v), text) << v;
    EXPECT_EQ(FormatIntegerEntry(20000), "20000");
    EXPECT_EQ(FormatIntegerEntry(-5), "-5");
}

TEST(BandEntry, QRangeFollowsTheType) {
    EXPECT_EQ(QRangeForType(kBandTypePeq).max, 999);
    for (int type : {1, 2, 3, 4, 200}) EXPECT_EQ(QRangeForType(type).max, 20) << type;
    EXPECT_EQ(QRangeForType(kBandTypeLowShelf).min, 4);
}

TEST(BandEntry, PeqTypeChoiceKeepsAShelfQWithinRange) {
    struct Case {
        std::uint8_t type;
        std::uint16_t q;
        int choice;
        bool stored;
        std::uint8_t typeAfter;
        std::uint16_t qAfter;
    };
    const Case cases[] = {
        {0, 30, 1, true, 1, 7},     // PEQ Q 3.0 to a low shelf: 0.7
        {0, 20, 2, true, 2, 20},    // Q 2.0 already fits a shelf
        {1, 7, 0, true, 0, 7},      // back to PEQ keeps the Q
        {1, 7, 1, false, 1, 7},     // the same type stores nothing
        {0, 30, -1, false, 0, 30},  // no selection
        {0, 30, 3, false, 0, 30},   // a pass-filter type is not a PEQ choice
        {0, 30, 255, false, 0, 30}, {7, 30, 2, true, 2, 7},  // a junk type from a file is replaced
    };
    for (const Case& c : cases) {
        EqBand band{0, c.type, 1000, c.q, 0};
        EXPECT_EQ(SetPeqBandType(band, c.choice), c.stored) << c.choice;
        EXPECT_EQ(band.type, c.typeAfter) << c.choice;
        EXPECT_EQ(band.q, c.qAfter) << c.choice;
        EXPECT_EQ(band.frequency, 1000);
    }
}

// The application runs under the user's locale; the test leaves "C" behind.
class BandEntryLocale : public ::testing::Test {
protected:
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(BandEntryLocale, ReadsAndShowsTheSameInACommaLocale) {
    const char* texts[] = {"-2.25", "1.5", "0.7", "24", "2,5", " 3.25 ", "1e1", "-0.05"};
    std::vector<EntryCommit> inC;
    for (const char* t : texts) {
        inC.push_back(CommitTenthsEntry(t, 0, 0, kGainRange, kClamp));
    }
    if (!testsupport::UseCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const EntryCommit r = CommitTenthsEntry(texts[i], 0, 0, kGainRange, kClamp);
        EXPECT_EQ(r.value, inC[i].value) << texts[i];
    }
    EXPECT_EQ(CommitTenthsEntry("-2.25", 0, 0, kGainRange, kClamp).value, -23);
    EXPECT_EQ(CommitTenthsEntry("2,5", 0, 0, kGainRange, kClamp).value, 20);
    EXPECT_EQ(FormatTenthsEntry(-23), "-2.3");
    EXPECT_EQ(FormatTenthsEntry(7), "0.7");
}

}  // namespace
