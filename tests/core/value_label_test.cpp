// Value labels and level bytes: the texts the pages show beside their sliders.
#include "model/value_label.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "model/level_byte.h"
#include "support/comma_locale.h"

namespace {

struct LabelCase {
    LabelFormat format;
    int v;
    const char* text;
};

std::string Pitch(int v) {
    return v < 7 ? "b" + std::to_string(7 - v) : "#" + std::to_string(v - 7);
}

TEST(ValueLabel, FormatsEveryKindOfLabel) {
    const LabelCase cases[] = {
        {label_formats::kVolumeDb, 0, "OFF"},
        {label_formats::kVolumeDb, 1, "-37.0dB"},
        {label_formats::kVolumeDb, 74, "-0.5dB"},
        {label_formats::kVolumeDb, 75, "0.0dB"},
        {label_formats::kVolumeDb, 99, "12.0dB"},
        {label_formats::kPercent, 100, "100%"},
        {label_formats::kPlain, 0, "0"},
        {{"", -50, 1.0, 0, "db"}, 0, "-50db"},
        {{"1:"}, 7, "1:7"},
        {{"", 0, 0.1, 1, "s"}, 25, "2.5s"},
        {{"", 0, 0.02, 2, "ms"}, 2500, "50.00ms"},
        {{"", 0, 0.02, 2, "ms"}, 1, "0.02ms"},
        {label_formats::kMetres, 150, "15.0m"},
        {{"", 0, 2.0, 0, "Hz"}, 125, "250Hz"},
        {{"", -81, 1.0, 0, "db", "OFF"}, 41, "-40db"},
        {{.custom = Pitch}, 3, "b4"},
    };
    for (const LabelCase& c : cases) {
        EXPECT_EQ(FormatValueLabel(c.format, c.v), c.text) << c.v;
    }
}

TEST(ValueLabel, PrintsAPointInADecimalCommaLocale) {
    testsupport::CLocaleAfter restore;
    if (!testsupport::UseCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(FormatValueLabel(label_formats::kVolumeDb, 76), "0.5dB");
    EXPECT_EQ(FormatValueLabel(label_formats::kMetres, 3), "0.3m");
}

TEST(LevelByte, LevelEditsKeepPolarityAndPolarityKeepsLevel) {
    EXPECT_EQ(level_byte::WithLevel(0x80 | 20, 99), 0x80 | 99);
    EXPECT_EQ(level_byte::WithLevel(20, 99), 99);
    EXPECT_EQ(level_byte::WithLevel(0x80, 200), 0x80 | (200 & 0x7F));
    EXPECT_EQ(level_byte::PolarityToggled(0x80 | 42), 42);
    EXPECT_EQ(level_byte::PolarityToggled(42), 0x80 | 42);
    EXPECT_EQ(level_byte::Level(0xFF), 0x7F);
    EXPECT_TRUE(level_byte::Inverted(0x80));
    EXPECT_STREQ(level_byte::PolarityCaption(true), "-");
    EXPECT_STREQ(level_byte::PolarityCaption(false), "+");
}

}  // namespace
