// The Music page's own sliders and labels.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "eq/my_slider.h"
#include "model/param_image.h"
#include "pages/dlg_music.h"
#include "support/page_fixture.h"

namespace {

using testsupport::Command;
using testsupport::Commands;

class MusicPage : public testsupport::PageFixture<CDlgMusic> {
protected:
    // What a slider reports after the user moved it.
    void Move(int id, int pos) {
        page.PostMessage(WM_SLIDER_POS, id, pos);
        platform::MessageQueue::Drain();
    }
};

}  // namespace

TEST_F(MusicPage, GainSlidersStoreTheRawPositionAndShowDecibels) {
    struct Case {
        int id, label, byte;
    };
    for (const Case& c :
         {Case{1061, 1064, 22}, Case{1062, 1065, 23}, Case{1063, 1066, 24}, Case{1071, 1073, 25}}) {
        image.ParamBytes[c.byte] = 6;
        Move(c.id, 0);
        EXPECT_EQ(page.ItemText(c.label), "-12") << c.id;
        EXPECT_EQ(image.ParamBytes[c.byte], 0) << c.id;
        Move(c.id, 12);
        EXPECT_EQ(page.ItemText(c.label), "0") << c.id;
        EXPECT_EQ(main.Take(), (Commands{{2, 0}, {2, 0}})) << c.id;
    }
}

TEST_F(MusicPage, PitchAndExciterLabels) {
    struct Case {
        int id, pos;
        const char* text;
        int label;
    };
    for (const Case& c :
         {Case{1139, 6, "b1", 1148}, Case{1139, 7, "0", 1148}, Case{1139, 8, "#1", 1148},
          Case{1139, 0, "b7", 1148}, Case{1139, 14, "#7", 1148}, Case{1146, 9, "9", 1149},
          Case{1150, 80, "80hz", 1151}}) {
        Move(c.id, c.pos);
        EXPECT_EQ(page.ItemText(c.label), c.text) << c.id << " " << c.pos;
    }
    EXPECT_EQ(image.ParamBytes[9], 14);
    EXPECT_EQ(image.ParamBytes[151], 9);
    EXPECT_EQ(image.ParamBytes[150], 80);
}

TEST_F(MusicPage, TheSamePositionTwiceSendsOnce) {
    Move(1146, 5);
    Move(1146, 5);
    EXPECT_EQ(main.Take(), (Commands{{2, 0}}));
    Move(4242, 5);  // not one of the page's sliders
    EXPECT_TRUE(main.Take().empty());
}

// A refresh moves the slider and its remembered position together, so the
// user's move back to the position handled before is not swallowed.
TEST_F(MusicPage, AMoveBackAfterARefreshIsNotSwallowed) {
    Move(1061, 3);
    main.Take();
    image.ParamBytes[22] = 9;
    page.LoadFromImage();
    EXPECT_EQ(page.Slider(1061)->Value(), 9);
    EXPECT_EQ(page.ItemText(1064), "-3");
    EXPECT_TRUE(main.Take().empty());
    Move(1061, 3);
    EXPECT_EQ(image.ParamBytes[22], 3);
    EXPECT_EQ(page.ItemText(1064), "-9");
    EXPECT_EQ(main.Take(), (Commands{{2, 0}}));
}

TEST_F(MusicPage, CaptionsFollowTheLanguage) {
    page.SetLanguage(0);
    EXPECT_EQ(page.ItemText(1383), "VOD Gain");
    EXPECT_EQ(page.ItemText(1382), "Music Input");
    EXPECT_EQ(page.ItemText(1079), "EQ Bypass");
    page.SetLanguage(1);
    EXPECT_NE(page.ItemText(1383), "VOD Gain");
}
