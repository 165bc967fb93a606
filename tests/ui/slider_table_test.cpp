// The pages' shared slider rows and polarity buttons: where a move is stored,
// when it is posted, what the label and the polarity button show.
#include "pages/slider_table.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <cstring>
#include <string>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "model/param_image.h"
#include "pages/page.h"
#include "platform/text_fit.h"
#include "support/recording_main.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::RecordingMain;

constexpr unsigned kCode = 14;
constexpr int kByteSlider = 1, kLevelSlider = 2, kWordSlider = 3, kPolarity = 4;

// A page with one slider of each field kind and one polarity button.
class TablePage : public CPage {
public:
    explicit TablePage(platform::Window* main) : CPage(main), table(*this) {
        MapMessage(WM_SLIDER_POS, [this](WPARAM id, LPARAM pos) -> LRESULT {
            table.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
            return 0;
        });
        const SliderRow rows[] = {
            {kByteSlider, 11, 0, 50, SliderField::Byte(33), {"", -50, 1.0, 0, "db"}, kCode, 2},
            {kLevelSlider, 12, 0, 99, SliderField::Level(27), label_formats::kVolumeDb, kCode, 2},
            {kWordSlider, 13, 0, 2500, SliderField::Word(34), {"", 0, 0.02, 2, "ms"}, kCode, 2},
        };
        int x = 0;
        for (const SliderRow& r : rows) {
            CreatePageSlider(this, r.id, QRect(x, 0, 135, 24), 0, 1);
            AddControl(r.labelId, new QLabel(this));
            table.Add(r);
            x += 140;
        }
        CreatePolarityButton(this, kPolarity, QRect(0, 40, 17, 16), kPolarityGrey);
        table.AddPolarity(kPolarity, SliderField::Level(27), kCode, 2);
    }
    SliderTable table;
};

class SliderTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        page.Wire(&image);
        page.table.Load();
        main.Take();
    }
    Commands Move(int id, int pos) {
        page.PostMessage(WM_SLIDER_POS, id, pos);
        return main.Take();
    }

    ParamImage image;
    RecordingMain main;
    TablePage page{&main};
};

TEST_F(SliderTableTest, AMoveStoresItsFieldLabelsAndPostsOnce) {
    struct Case {
        int id, pos;
        const char* label;
    };
    const Case cases[] = {
        {kByteSlider, 7, "-43db"}, {kLevelSlider, 76, "0.5dB"}, {kWordSlider, 2500, "50.00ms"}};
    image.ParamBytes[27] = 0x80 | 10;  // inverted: the level edit keeps bit 7
    for (const Case& c : cases) {
        EXPECT_EQ(Move(c.id, c.pos), (Commands{{kCode, 2}})) << c.id;
        const SliderRow* row = page.table.Row(c.id);
        EXPECT_EQ(ReadField(image, row->field), c.pos) << c.id;
        EXPECT_EQ(page.ItemText(row->labelId), c.label) << c.id;
    }
    EXPECT_EQ(image.ParamBytes[27], 0x80 | 76);
    EXPECT_EQ(image.ParamWords[34], 2500);
}

TEST_F(SliderTableTest, TheSamePositionOrAnUnchangedValueSendsNothing) {
    ASSERT_EQ(Move(kByteSlider, 9).size(), 1u);
    EXPECT_TRUE(Move(kByteSlider, 9).empty());
    // The image already holds what the slider reports (the unit said so).
    image.ParamBytes[33] = 20;
    EXPECT_TRUE(Move(kByteSlider, 20).empty());
    EXPECT_EQ(page.ItemText(11), "-30db");
}

TEST_F(SliderTableTest, APositionSetByTheProgramIsRemembered) {
    ASSERT_EQ(Move(kByteSlider, 9).size(), 1u);
    image.ParamBytes[33] = 30;  // a block read brings another value
    page.table.Load();
    EXPECT_EQ(page.ControlAs<CMySlider>(kByteSlider)->Value(), 30);
    EXPECT_EQ(page.ItemText(11), "-20db");
    // Moving back to the position handled before the refresh is a change.
    EXPECT_EQ(Move(kByteSlider, 9), (Commands{{kCode, 2}}));
    EXPECT_EQ(image.ParamBytes[33], 9);
}

TEST_F(SliderTableTest, ARowMovedToAnotherFieldStoresThere) {
    page.table.SetField(kWordSlider, SliderField::Word(40));
    page.table.SetRange(kWordSlider, 0, 150);
    page.table.SetLabel(kWordSlider, label_formats::kMetres);
    EXPECT_EQ(page.ControlAs<CMySlider>(kWordSlider)->Max(), 150);
    const std::uint16_t before = image.ParamWords[34];
    EXPECT_EQ(Move(kWordSlider, 120).size(), 1u);
    EXPECT_EQ(image.ParamWords[40], 120);
    EXPECT_EQ(image.ParamWords[34], before);
    EXPECT_EQ(page.ItemText(13), "12.0m");
}

std::string Sharp(int v) { return "#" + std::to_string(v); }

// Whatever a label can show after its format or range changes is declared
// for the layout test, on top of what it showed before, each text once; a
// change in any one field of the format counts.
TEST(SliderTableLabelTexts, AChangedFormatOrRangeDeclaresItsTexts) {
    constexpr LabelFormat kStart{"", -50, 1.0, 0, "db"};
    struct Case {
        const char* name;
        LabelFormat label;
        int min, max;
        const char* declared;  // shown only after the change
    };
    const Case cases[] = {
        {"prefix", {"x", -50, 1.0, 0, "db"}, 0, 50, "x-50db"},
        {"offset", {"", -40, 1.0, 0, "db"}, 0, 50, "10db"},
        {"scale", {"", -50, 2.0, 0, "db"}, 0, 50, "-100db"},
        {"decimals", {"", -50, 1.0, 1, "db"}, 0, 50, "-50.0db"},
        {"suffix", {"", -50, 1.0, 0, "dB"}, 0, 50, "-50dB"},
        {"zero text", {"", -50, 1.0, 0, "db", "OFF"}, 0, 50, "OFF"},
        {"custom", {.custom = Sharp}, 0, 50, "#50"},
        {"higher maximum", kStart, 0, 60, "10db"},
        {"lower minimum", kStart, -5, 50, "-55db"},
    };
    for (const Case& c : cases) {
        RecordingMain main;
        TablePage page(&main);
        QWidget* label = page.Control(11);
        ASSERT_FALSE(platform::WidestTexts(label).contains(c.declared)) << c.name;
        // There and back and there again.
        for (int pass = 0; pass < 2; ++pass) {
            page.table.SetLabel(kByteSlider, c.label);
            page.table.SetRange(kByteSlider, c.min, c.max);
            page.table.SetRange(kByteSlider, 0, 50);
            page.table.SetLabel(kByteSlider, kStart);
        }
        page.table.SetLabel(kByteSlider, c.label);
        page.table.SetRange(kByteSlider, c.min, c.max);
        const QStringList texts = platform::WidestTexts(label);
        EXPECT_EQ(texts.count(c.declared), 1) << c.name;
        EXPECT_EQ(texts.count("-50db"), 1) << c.name;
        EXPECT_EQ(texts.count("0db"), 1) << c.name;
    }
}

TEST_F(SliderTableTest, OutOfRangeReportsAndFieldsStoreNothing) {
    const ParamImage before = image;
    EXPECT_TRUE(Move(kByteSlider, 51).empty());
    page.table.SetField(kByteSlider, SliderField::Byte(5000));
    EXPECT_TRUE(Move(kByteSlider, 3).empty());
    EXPECT_EQ(ReadField(image, SliderField::Word(-1)), -1);
    EXPECT_EQ(std::memcmp(&image, &before, sizeof image), 0);
}

// Round the 20-px polarity picture a larger button shows its own grey, not
// the page's.
TEST_F(SliderTableTest, APolarityButtonSitsOnItsGrey) {
    for (const std::uint32_t fill : {kPolarityGrey, kPolarityOnPage}) {
        const QImage shot = CreatePolarityButton(&page, 5, {0, 0, 24, 24}, fill)->grab().toImage();
        for (const QPoint at : {QPoint(23, 0), QPoint(0, 23), QPoint(23, 23)})
            EXPECT_EQ(shot.pixel(at), 0xFF000000u | fill) << at.x() << "," << at.y();
    }
}

TEST_F(SliderTableTest, PolarityClickTogglesBitSevenKeepsTheLevelAndAlwaysPosts) {
    image.ParamBytes[27] = 42;
    page.table.LoadPolarity();
    auto* button = page.ControlAs<CMyBtn>(kPolarity);
    EXPECT_EQ(button->text(), "+");
    button->click();
    EXPECT_EQ(main.Take(), (Commands{{kCode, 2}}));
    EXPECT_EQ(image.ParamBytes[27], 0x80 | 42);
    EXPECT_EQ(button->text(), "-");
    EXPECT_TRUE(button->Checked());
    button->click();
    EXPECT_EQ(main.Take(), (Commands{{kCode, 2}}));
    EXPECT_EQ(image.ParamBytes[27], 42);
    EXPECT_EQ(button->text(), "+");
}

}  // namespace
