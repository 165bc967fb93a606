#include "eq/my_btn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <cctype>
#include <string>

#include "platform/window.h"
#include "support/case_name.h"

namespace {

using testsupport::CaseName;

constexpr std::uint32_t kNormal = 0xFFFF0000;
constexpr std::uint32_t kPressed = 0xFF00FF00;
constexpr std::uint32_t kChecked = 0xFF0000FF;
constexpr std::uint32_t kCheckedPressed = 0xFFFFFF00;
constexpr std::uint32_t kPlain = 0x00FFFFFF;

// The colour a paint shows where a state image lies over the background.
QRgb Over(std::uint32_t background, std::uint32_t state) {
    return 0xFF000000u | (BlendPixel(background, state) & 0xFFFFFF);
}

class MyBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        btn = new CMyBtn(&owner, 1545);
        btn->setGeometry(0, 0, 100, 24);
        QFont f = btn->font();
        f.setPixelSize(16);
        f.setStyleStrategy(QFont::NoAntialias);
        btn->setFont(f);
    }

    ButtonSkins Faces() {
        return {&normal.Image(), &pressed.Image(), &checked.Image(), &checkedPressed.Image(),
                nullptr};
    }

    QImage Shot() {
        QImage img(btn->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        btn->render(&img);
        return img;
    }

    // Bounding columns of the pixels in the caption colour.
    std::pair<int, int> CaptionColumns(const QImage& img, QRgb colour) {
        int lo = img.width(), hi = -1;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (img.pixel(x, y) == colour) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            }
        }
        return {lo, hi};
    }

    platform::Window owner;
    CMyBtn* btn = nullptr;
    SkinBuffer normal{10, 10, kNormal};
    SkinBuffer pressed{10, 10, kPressed};
    SkinBuffer checked{10, 10, kChecked};
    SkinBuffer checkedPressed{10, 10, kCheckedPressed};
};

}  // namespace

TEST_F(MyBtnTest, RegistersWithItsOwner) { EXPECT_EQ(owner.Control(1545), btn); }

struct StateCase {
    const char* what;
    int look;
    bool checked;
    bool down;
    std::uint32_t shown;
};

class MyBtnStates : public MyBtnTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(MyBtnStates, PaintsTheStateImageOverTheBackground) {
    const StateCase& c = GetParam();
    btn->Setup(Faces(), CMyBtn::Flags(c.look, CMyBtn::kAlignCentre), 0, kPlain, 0);
    btn->SetChecked(c.checked);
    btn->setDown(c.down);
    const QImage img = Shot();
    EXPECT_EQ(img.pixel(5, 5), Over(kPlain, c.shown)) << c.what;
    // stateFill has alpha 0: beside the image the background shows.
    EXPECT_EQ(img.pixel(50, 20), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, MyBtnStates,
    ::testing::Values(
        // A push-look button never shows the checked images.
        StateCase{"push", CMyBtn::kLookPush, false, false, kNormal},
        StateCase{"push pressed", CMyBtn::kLookPush, false, true, kPressed},
        StateCase{"push checked", CMyBtn::kLookPush, true, false, kNormal},
        StateCase{"push checked pressed", CMyBtn::kLookPush, true, true, kPressed},
        StateCase{"check", CMyBtn::kLookCheck, false, false, kNormal},
        StateCase{"check pressed", CMyBtn::kLookCheck, false, true, kPressed},
        StateCase{"check checked", CMyBtn::kLookCheck, true, false, kChecked},
        StateCase{"check checked pressed", CMyBtn::kLookCheck, true, true, kCheckedPressed}),
    CaseName<StateCase>);

TEST_F(MyBtnTest, AClickReachesTheOwnerAndNeverChangesChecked) {
    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre), 0, kPlain, 0);
    int clicks = 0;
    QObject::connect(btn, &QAbstractButton::clicked, [&] { ++clicks; });
    auto click = [&] {
        const QPointF at(50, 12);
        QMouseEvent press(QEvent::MouseButtonPress, at, btn->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(btn, &press);
        EXPECT_EQ(btn->StateIndex(), btn->Checked() ? 3 : 1);
        QMouseEvent release(QEvent::MouseButtonRelease, at, btn->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(btn, &release);
    };
    click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(btn->Checked());
    EXPECT_EQ(btn->StateIndex(), 0);
    btn->SetChecked(true);
    click();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(btn->Checked());
    EXPECT_EQ(btn->StateIndex(), 2);
}

TEST_F(MyBtnTest, BackgroundImageIsBlendedOverBgColourAndStateFillShowsItsAlpha) {
    SkinBuffer veil(100, 24, 0x80FFFFFF);
    ButtonSkins faces = Faces();
    faces[4] = &veil.Image();
    const std::uint32_t fill = 0x40102030;
    btn->Setup(faces, CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignCentre), 0x00000000,
               0x00FF00FF, fill);
    const QImage img = Shot();
    // 255 at alpha 128 over 0 gives 128; the plain fill is not used.
    const std::uint32_t background = BlendPixel(0x00000000, 0x80FFFFFF);
    EXPECT_EQ(background & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(img.pixel(50, 20), Over(background, fill));
    EXPECT_EQ(img.pixel(5, 5), Over(background, kNormal));
}

TEST_F(MyBtnTest, MissingStateImageShowsOnlyItsFill) {
    ButtonSkins faces = Faces();
    faces[2] = nullptr;
    btn->Setup(faces, CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre), 0, kPlain,
               0xFF00FFFF);
    btn->SetChecked(true);
    EXPECT_EQ(Shot().pixel(5, 5), Over(kPlain, 0xFF00FFFF));
}

TEST_F(MyBtnTest, CaptionUsesTheOwnersColourAndGreyWhenDisabled) {
    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre), 0, kPlain, 0);
    btn->setText("HH");
    btn->SetTextColour(0x00FF0000);  // COLORREF: blue
    const QImage on = Shot();
    EXPECT_GE(CaptionColumns(on, qRgb(0, 0, 255)).second, 0);

    btn->setEnabled(false);
    btn->SetChecked(true);
    const QImage off = Shot();
    EXPECT_LT(CaptionColumns(off, qRgb(0, 0, 255)).second, 0);
    EXPECT_GE(CaptionColumns(off, qRgb(0xA0, 0xA0, 0xA0)).second, 0);
    // A disabled button still shows its state image.
    EXPECT_EQ(off.pixel(5, 5), Over(kPlain, kChecked));
}

TEST_F(MyBtnTest, CaptionAlignsWithinItsTextMargins) {
    btn->setText("HH");
    btn->SetTextLeft(40);
    const QRgb black = qRgb(0, 0, 0);

    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignCentre), 0, kPlain, 0);
    auto [lo, hi] = CaptionColumns(Shot(), black);
    ASSERT_GE(hi, 0);
    // Centred between 40 and 100, not across the whole button.
    EXPECT_NEAR((lo + hi) / 2.0, 70.0, 2.0);

    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignLeft), 0, kPlain, 0);
    std::tie(lo, hi) = CaptionColumns(Shot(), black);
    EXPECT_GE(lo, 40);
    EXPECT_LE(lo, 43);

    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignRight), 0, kPlain, 0);
    std::tie(lo, hi) = CaptionColumns(Shot(), black);
    EXPECT_GE(hi, 96);
    EXPECT_LE(hi, 99);

    // A right margin keeps the caption off the last columns.
    btn->SetTextRight(10);
    std::tie(lo, hi) = CaptionColumns(Shot(), black);
    EXPECT_GE(hi, 86);
    EXPECT_LE(hi, 89);
    btn->Setup(Faces(), CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignCentre), 0, kPlain, 0);
    std::tie(lo, hi) = CaptionColumns(Shot(), black);
    EXPECT_NEAR((lo + hi) / 2.0, 65.0, 2.0);
}

TEST_F(MyBtnTest, PageButtonLooksLightOnTheStrip) {
    btn->SetupPageButton(Faces());
    btn->setText("HH");
    const QImage img = Shot();
    EXPECT_EQ(img.pixel(50, 22), 0xFFC8C8C8u);
    EXPECT_GE(CaptionColumns(img, qRgb(0xF0, 0xF0, 0xF0)).second, 0);
    EXPECT_EQ(btn->Look(), CMyBtn::kLookCheck);
    btn->SetChecked(true);
    EXPECT_EQ(Shot().pixel(5, 5), Over(0xC8C8C8, kChecked));
}
