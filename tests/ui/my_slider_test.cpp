#include "eq/my_slider.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"
#include "support/case_name.h"

namespace {

using testsupport::CaseName;

constexpr std::uint32_t kBg = 0x00F0F0F0;
constexpr std::uint32_t kTrack = 0xFF808080;
constexpr std::uint32_t kLit = 0xFF0000C0;
constexpr std::uint32_t kThumb = 0xFFC00000;
constexpr std::uint32_t kFocusedThumb = 0xFFC0C000;
constexpr int kId = 1061;

using Post = std::pair<WPARAM, LPARAM>;

// A page that keeps every WM_SLIDER_POS it is sent.
class Page : public platform::Window {
public:
    Page() {
        MapMessage(WM_SLIDER_POS, [this](WPARAM w, LPARAM l) -> LRESULT {
            posts.emplace_back(w, l);
            return 0;
        });
    }
    std::vector<Post> Take() {
        platform::MessageQueue::Drain();
        return std::exchange(posts, {});
    }
    std::vector<Post> posts;
};

// The colours a paint shows: the track composite, the lit composite and a
// thumb over either.
QRgb Screen(std::uint32_t px) { return 0xFF000000u | (px & 0xFFFFFF); }
const std::uint32_t kTrackShown = BlendPixel(kBg, kTrack);
const std::uint32_t kLitShown = BlendPixel(kBg, kLit);

class MySliderTest : public ::testing::Test {
protected:
    void SetUp() override { platform::MessageQueue::Drain(); }

    // A page slider (135 x 24, thumb 19 x 22) or a main-window slider
    // (24 x 150, thumb 22 x 19), with plain colours for the skins.
    CMySlider* Make(bool vertical, bool withFocusImage = true) {
        const int w = vertical ? 24 : 135, h = vertical ? 150 : 24;
        track = SkinBuffer(w, h, kTrack);
        lit = SkinBuffer(w, h, kLit);
        thumb = vertical ? SkinBuffer(22, 19, kThumb) : SkinBuffer(19, 22, kThumb);
        focused = SkinBuffer(thumb.Image().width, thumb.Image().height, kFocusedThumb);
        slider = new CMySlider(&page, kId);
        slider->setGeometry(0, 0, w, h);
        slider->Setup(&track.Image(), &lit.Image(), &thumb.Image(),
                      withFocusImage ? &focused.Image() : nullptr, kBg,
                      vertical ? 0 : CMySlider::kHorizontal);
        return slider;
    }

    QImage Shot() {
        QImage img(slider->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        slider->render(&img);
        return img;
    }

    // Pointer at a coordinate along the slider, in the middle across it.
    QPointF At(int c) const { return slider->Vertical() ? QPointF(10, c) : QPointF(c, 10); }
    void Mouse(QEvent::Type type, int c, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, At(c), slider->mapToGlobal(At(c)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(slider, &e);
    }
    void Press(int c) { Mouse(QEvent::MouseButtonPress, c, Qt::LeftButton, Qt::LeftButton); }
    void MoveTo(int c) { Mouse(QEvent::MouseMove, c, Qt::NoButton, Qt::LeftButton); }
    void Release(int c) { Mouse(QEvent::MouseButtonRelease, c, Qt::LeftButton, Qt::NoButton); }
    void Wheel(int delta) {
        QWheelEvent e(At(5), slider->mapToGlobal(At(5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &e);
    }
    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(slider, &e);
    }

    Page page;
    CMySlider* slider = nullptr;
    SkinBuffer track, lit, thumb, focused;
};

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

TEST_F(MySliderTest, SetupSpansTheThumbTravel) {
    Make(false);
    EXPECT_EQ(page.Control(kId), slider);
    EXPECT_FALSE(slider->Vertical());
    EXPECT_EQ(slider->Min(), 0);
    EXPECT_EQ(slider->Max(), 135 - 19);
    EXPECT_EQ(slider->PixelAtMax(), 116);
    EXPECT_EQ(slider->Value(), 0);
    Make(true);
    EXPECT_TRUE(slider->Vertical());
    EXPECT_EQ(slider->PixelAtMax(), 150 - 19);
}

TEST_F(MySliderTest, SetPosClampsAndNeverPosts) {
    Make(false);
    slider->SetRange(0, 99);
    slider->SetPos(99 + 5);
    EXPECT_EQ(slider->Value(), 99);
    EXPECT_EQ(slider->ThumbPixel(), slider->PixelAtMax());
    slider->SetPos(-7);
    EXPECT_EQ(slider->Value(), 0);
    EXPECT_EQ(slider->ThumbPixel(), 0);
    slider->SetPos(50);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(MySliderTest, SetPosRepaintsOnlyWhenTheThumbPixelMoves) {
    Make(false);
    slider->SetRange(0, 1000);
    page.resize(200, 50);
    page.show();
    PaintCounter counter;
    slider->installEventFilter(&counter);
    QApplication::processEvents();
    ASSERT_GT(counter.paints, 0);

    counter.paints = 0;
    slider->SetPos(3);  // 3 * 116 / 1000 rounds to pixel 0, where the thumb is
    QApplication::processEvents();
    EXPECT_EQ(slider->ThumbPixel(), 0);
    EXPECT_EQ(counter.paints, 0);

    slider->SetPos(500);
    QApplication::processEvents();
    EXPECT_EQ(slider->ThumbPixel(), 58);
    EXPECT_EQ(counter.paints, 1);
    page.hide();
}

TEST_F(MySliderTest, HorizontalLitRunsFromTheLeftEndToTheThumb) {
    Make(false);
    slider->SetRange(0, 100);
    slider->SetPos(50);  // pixel 58
    const QImage img = Shot();
    // Row 23 lies below the 22-pixel thumb: lit through column 58, track after.
    EXPECT_EQ(img.pixel(0, 23), Screen(kLitShown));
    EXPECT_EQ(img.pixel(58, 23), Screen(kLitShown));
    EXPECT_EQ(img.pixel(59, 23), Screen(kTrackShown));
    // The thumb covers columns 58..76.
    EXPECT_EQ(img.pixel(57, 5), Screen(kLitShown));
    EXPECT_EQ(img.pixel(58, 5), Screen(BlendPixel(kLitShown, kThumb)));
    EXPECT_EQ(img.pixel(76, 5), Screen(BlendPixel(kTrackShown, kThumb)));
    EXPECT_EQ(img.pixel(77, 5), Screen(kTrackShown));

    slider->SetPos(0);  // a thumb at pixel 0 lights nothing
    EXPECT_EQ(Shot().pixel(0, 23), Screen(kTrackShown));
}

TEST_F(MySliderTest, VerticalLitRunsFromTheThumbDown) {
    Make(true);
    slider->SetRange(0, 99);
    slider->SetPos(40);  // 40 * 131 / 99 = 52.9: pixel 53
    ASSERT_EQ(slider->ThumbPixel(), 53);
    const QImage img = Shot();
    // Column 23 lies right of the 22-pixel thumb.
    EXPECT_EQ(img.pixel(23, 52), Screen(kTrackShown));
    EXPECT_EQ(img.pixel(23, 53), Screen(kLitShown));
    EXPECT_EQ(img.pixel(23, 149), Screen(kLitShown));
    EXPECT_EQ(img.pixel(5, 52), Screen(kTrackShown));
    EXPECT_EQ(img.pixel(5, 53), Screen(BlendPixel(kLitShown, kThumb)));
    EXPECT_EQ(img.pixel(5, 71), Screen(BlendPixel(kLitShown, kThumb)));
    EXPECT_EQ(img.pixel(5, 72), Screen(kLitShown));

    slider->SetPos(0);  // a thumb at pixel 0 lights the whole track
    EXPECT_EQ(Shot().pixel(23, 0), Screen(kLitShown));
}

TEST_F(MySliderTest, FocusedThumbIsTheOwnersToSet) {
    Make(false);
    slider->SetFocused(true);
    slider->RedrawNow();
    EXPECT_EQ(Shot().pixel(5, 5), Screen(BlendPixel(kTrackShown, kFocusedThumb)));
    Make(false, false);
    slider->SetFocused(true);
    EXPECT_EQ(Shot().pixel(5, 5), Screen(BlendPixel(kTrackShown, 0xFF00FF00)));
}

TEST_F(MySliderTest, ClicksBesideTheThumbStepByOne) {
    Make(true);
    slider->SetRange(0, 99);
    slider->SetPixelEnds(20, 131);
    slider->SetPos(0);
    ASSERT_EQ(slider->ThumbPixel(), 20);
    Press(5);  // above the thumb at min: nothing
    Release(5);
    EXPECT_TRUE(page.Take().empty());
    Press(20);  // on the thumb's edges: nothing
    Press(39);
    EXPECT_TRUE(page.Take().empty());
    Press(100);  // below the thumb
    Release(100);
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 1}}));
    EXPECT_EQ(slider->Value(), 1);
}

TEST_F(MySliderTest, DragStartsAfterTwoPixelsAndThenFollowsTheWholeWay) {
    Make(false);
    slider->SetRange(0, 116);
    slider->SetPos(30);
    Press(30 + 5);
    MoveTo(30 + 6);  // one pixel: not yet a drag
    EXPECT_EQ(slider->ThumbPixel(), 30);
    EXPECT_TRUE(page.Take().empty());
    MoveTo(30 + 7);  // the thumb jumps the whole 2 pixels
    EXPECT_EQ(slider->ThumbPixel(), 32);
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 32}}));
    MoveTo(30 + 8);
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 33}}));
    Release(30 + 8);
    MoveTo(30 + 20);  // released: moves do nothing
    EXPECT_EQ(slider->ThumbPixel(), 33);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(MySliderTest, DragPostsEveryPixelEvenWhenTheValueStays) {
    Make(false);
    slider->SetRange(0, 10);  // about 11 pixels per value
    Press(5);
    MoveTo(7);
    MoveTo(8);
    EXPECT_EQ(slider->ThumbPixel(), 3);
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 0}, {kId, 0}}));
}

TEST_F(MySliderTest, DragBeyondAnEndComesBackAsSoonAsTheMouseTurns) {
    Make(false);
    slider->SetRange(0, 116);
    slider->SetPos(110);
    Press(115);
    MoveTo(125);  // thumb stops at 116
    MoveTo(160);  // far past the end: nothing more
    EXPECT_EQ(slider->ThumbPixel(), 116);
    page.Take();
    MoveTo(159);  // one pixel back
    EXPECT_EQ(slider->ThumbPixel(), 115);
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 115}}));
}

struct InputCase {
    const char* what;
    bool vertical;
    int wheel;  // 0: a key instead
    int key;
    int change;
};

class MySliderInput : public MySliderTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(MySliderInput, StepsOnceAndPosts) {
    const InputCase& c = GetParam();
    Make(c.vertical);
    slider->SetRange(0, 99);
    slider->SetPos(50);
    if (c.wheel != 0) {
        Wheel(c.wheel);
    } else {
        Key(c.key);
    }
    EXPECT_EQ(slider->Value(), 50 + c.change) << c.what;
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 50 + c.change}})) << c.what;
    EXPECT_EQ(slider->ThumbPixel(),
              SliderValueToPixel(SliderScale{0, 99, 0, slider->PixelAtMax()}, 50 + c.change))
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    WheelAndKeys, MySliderInput,
    ::testing::Values(InputCase{"vertical wheel up", true, 120, 0, -1},
                      InputCase{"vertical wheel down", true, -120, 0, +1},
                      InputCase{"horizontal wheel up", false, 120, 0, +1},
                      InputCase{"horizontal wheel down", false, -120, 0, -1},
                      InputCase{"vertical up", true, 0, Qt::Key_Up, -1},
                      InputCase{"vertical down", true, 0, Qt::Key_Down, +1},
                      InputCase{"vertical left", true, 0, Qt::Key_Left, +1},
                      InputCase{"vertical right", true, 0, Qt::Key_Right, -1},
                      InputCase{"horizontal right", false, 0, Qt::Key_Right, +1},
                      InputCase{"horizontal up", false, 0, Qt::Key_Up, +1},
                      InputCase{"horizontal left", false, 0, Qt::Key_Left, -1},
                      InputCase{"horizontal down", false, 0, Qt::Key_Down, -1}),
    CaseName<InputCase>);

// A high-resolution wheel or a touchpad splits a notch into small events, and
// a fast turn joins notches into one: the slider steps once per whole notch
// and keeps the part of a notch for the next event.
struct NotchCase {
    const char* what;
    bool vertical;
    std::vector<int> deltas;
    std::vector<int> values;  // posted, in order
};

class MySliderNotches : public MySliderTest, public ::testing::WithParamInterface<NotchCase> {};

TEST_P(MySliderNotches, StepsOncePerWholeNotch) {
    const NotchCase& c = GetParam();
    Make(c.vertical);
    slider->SetRange(0, 99);
    slider->SetPos(50);
    for (int d : c.deltas) Wheel(d);
    std::vector<Post> expected;
    for (int v : c.values) expected.push_back({kId, v});
    EXPECT_EQ(page.Take(), expected) << c.what;
    EXPECT_EQ(slider->Value(), c.values.empty() ? 50 : c.values.back()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Wheel, MySliderNotches,
    ::testing::Values(NotchCase{"four quarter notches up", true, {30, 30, 30, 30}, {49}},
                      NotchCase{"four quarter notches down", false, {-30, -30, -30, -30}, {49}},
                      NotchCase{"three quarters wait", true, {30, 30, 30}, {}},
                      NotchCase{"two notches in one event", false, {240}, {51, 52}},
                      NotchCase{"ten notches in one event",
                                true,
                                {1200},
                                {49, 48, 47, 46, 45, 44, 43, 42, 41, 40}},
                      NotchCase{"the rest carries over", false, {90, 90, 60}, {51, 52}},
                      NotchCase{"a turn back cancels the part notch", true, {60, -60, 60}, {}}),
    CaseName<NotchCase>);

TEST_F(MySliderTest, StepsStopAtTheEndsWithoutPosting) {
    Make(false);
    slider->SetRange(0, 99);
    slider->SetPos(99);
    Key(Qt::Key_Right);
    Wheel(120);
    Press(5);  // left of the thumb: -1 still works
    EXPECT_EQ(page.Take(), (std::vector<Post>{{kId, 98}}));
}

TEST_F(MySliderTest, DisabledSliderFollowsSetPosAndDrawsDimmed) {
    Make(false);
    slider->SetRange(0, 100);
    slider->setEnabled(false);
    slider->SetPos(100);
    EXPECT_EQ(slider->ThumbPixel(), 116);
    Press(5);
    Key(Qt::Key_Left);
    EXPECT_TRUE(page.Take().empty());
    EXPECT_EQ(slider->Value(), 100);

    auto dimmed = [](std::uint32_t px) {
        SkinBuffer b(1, 1, px);
        DimImage(b.Canvas());
        return b.Image().pixels[0];
    };
    const QImage img = Shot();
    EXPECT_EQ(img.pixel(100, 23), Screen(dimmed(kLitShown)));
    EXPECT_EQ(img.pixel(120, 5), Screen(dimmed(BlendPixel(kTrackShown, kThumb))));
    // The track's 0x80 grey: (128 * 160 + 96 * 160 + 128) >> 8 = 140.
    EXPECT_EQ(img.pixel(130, 23), qRgb(140, 140, 140));
}

// A range with nothing in it, or a thumb with no travel, used to divide by
// nothing; every value sits at the min end.
TEST_F(MySliderTest, EmptyRangeKeepsTheThumbAtTheMinEnd) {
    Make(false);
    slider->SetRange(40, 40);
    slider->SetPixelEnds(10, 90);
    slider->SetPos(70);
    EXPECT_EQ(slider->Value(), 40);
    EXPECT_EQ(slider->ThumbPixel(), 10);
    Key(Qt::Key_Right);
    Press(100);
    EXPECT_TRUE(page.Take().empty());

    slider->SetRange(0, 100);
    slider->SetPixelEnds(30, 30);
    slider->SetPos(60);
    EXPECT_EQ(slider->ThumbPixel(), 30);
    Press(35);
    MoveTo(45);
    EXPECT_EQ(slider->ThumbPixel(), 30);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(MySliderTest, ReversedRangeIsOrdered) {
    Make(false);
    slider->SetRange(99, 0);
    EXPECT_EQ(slider->Min(), 0);
    EXPECT_EQ(slider->Max(), 99);
    slider->SetPos(120);
    EXPECT_EQ(slider->Value(), 99);
    EXPECT_EQ(slider->ThumbPixel(), 116);
}
