// Pixels the response engine paints: the sum curve, the selected band, the
// markers and the bypass overlay, each checked where a fault would show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "eq/resp.h"

namespace {

constexpr int kW = 600;
constexpr int kH = 290;
constexpr int kMid = 140;  // the 0 dB row: 20 + (260 - 20) / 2
// The alpha byte is set so that a blend or tint that touched it would show.
constexpr uint32_t kBackground = 0x5AF0F0F0;
constexpr uint32_t kOrange = 0x00FF9828;
constexpr uint32_t kTeal = 0x00008080;
// 0xF0 tinted: red (240 * 208 + 128) >> 8 = 195, green and blue
// (240 * 208 + 160 * 48 + 128) >> 8 = 225.
constexpr uint32_t kTinted = 0x5AC3E1E1;
constexpr uint32_t kGuard = 0xDEADBEEF;
constexpr size_t kGuardWords = 4096;

EqBand Band(int type, int slope, int freq, int q, int gain) {
    return EqBand{static_cast<uint8_t>(slope), static_cast<uint8_t>(type),
                  static_cast<uint16_t>(freq), static_cast<uint16_t>(q),
                  static_cast<int16_t>(gain)};
}

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

class RespRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        resp_.SetUpAxis(kW, kH, 20);
        Attach(kW, kH);
    }

    // A canvas of w x h with guard words behind it, over a background of the same size.
    void Attach(int w, int h) {
        canvas_.assign(static_cast<size_t>(w) * h + kGuardWords, kGuard);
        background_.assign(static_cast<size_t>(w) * h, kBackground);
        resp_.canvas = {w, h, canvas_.data()};
        resp_.images[0] = {w, h, background_.data()};
    }

    bool GuardIntact() const {
        const size_t used = static_cast<size_t>(resp_.canvas.width) * resp_.canvas.height;
        return std::all_of(canvas_.begin() + used, canvas_.end(),
                           [](uint32_t v) { return v == kGuard; });
    }

    uint32_t Px(int x, int y) const {
        return canvas_[static_cast<size_t>(y) * resp_.canvas.width + x];
    }

    void Draw(const EqBand* bands, int count, uint16_t mask = 0xFFFF) {
        resp_.SumBandsMasked(count, bands, mask);
        resp_.Render(bands, count);
    }

    int PeakColumn(const float* curve) const {
        return static_cast<int>(std::max_element(curve + resp_.xStart, curve + resp_.xEnd) - curve);
    }

    static int Row(float v) { return static_cast<int>(std::trunc(kMid - static_cast<double>(v))); }

    bool AnyPixel(uint32_t colour) const {
        return std::find(canvas_.begin(), canvas_.begin() + kW * kH, colour) !=
               canvas_.begin() + kW * kH;
    }

    CResp resp_;
    std::vector<uint32_t> canvas_;
    std::vector<uint32_t> background_;
};

TEST_F(RespRenderTest, FlatSumIsATwoPixelLineOnTheZeroRowInsideTheColumnRange) {
    const EqBand band = Band(0, 0, 1000, 10, 0);
    Draw(&band, 1);
    EXPECT_EQ(Px(53, kMid), kOrange);  // first pair: columns xStart + 3, xStart + 4
    EXPECT_EQ(Px(53, kMid + 1), kOrange);
    EXPECT_EQ(Px(52, kMid), kBackground);
    EXPECT_EQ(Px(kW - 3, kMid), kOrange);  // last pair ends before xEnd - 2
    EXPECT_EQ(Px(kW - 2, kMid), kBackground);
    EXPECT_EQ(Px(300, kMid - 1), kBackground);
    EXPECT_EQ(Px(300, kMid + 2), kBackground);
    EXPECT_TRUE(GuardIntact());
}

TEST_F(RespRenderTest, SumCurveRunsThroughThePeakRow) {
    const EqBand band = Band(0, 0, 1000, 10, 120);
    Draw(&band, 1);
    const int x = PeakColumn(resp_.sumCurve);
    EXPECT_NEAR(resp_.sumCurve[x] / resp_.pxPerDb, 12.0f, 0.05f);
    const int r = Row(resp_.sumCurve[x]);
    EXPECT_EQ(r, 80);
    EXPECT_EQ(Px(x, r), kOrange);
    EXPECT_EQ(Px(x, r + 1), kOrange);
    EXPECT_EQ(Px(x, r - 1), kBackground);
}

TEST_F(RespRenderTest, CurveBeyondTheGraphIsCutAtItsEdges) {
    struct Case {
        int peakGain;
        int dipGain;
        float pxPerDb;
    };
    // +-60 dB; and a scale so large that the rows jump by 2^31 where the
    // curve crosses 0 dB: the row range is cut to the graph before the loop.
    const Case cases[] = {{600, -600, 5.0f}, {120, -120, 1e30f}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.pxPerDb);
        SetUp();
        resp_.pxPerDb = row.pxPerDb;
        const EqBand bands[] = {Band(0, 0, 100, 10, row.dipGain),
                                Band(0, 0, 2000, 10, row.peakGain)};
        Draw(bands, 2);
        int up = -1;    // a column whose segment leaves the graph through its top
        int down = -1;  // and one whose segment leaves it through its bottom
        for (int x = 55; x < kW - 3; ++x) {
            // In double: at the huge scale the rows lie far outside int.
            const double prev = std::trunc(kMid - static_cast<double>(resp_.sumCurve[x - 1]));
            const double cur = std::trunc(kMid - static_cast<double>(resp_.sumCurve[x]));
            const double lo = std::min(prev, cur);
            const double hi = std::max(prev, cur);
            if (lo < 21 && hi >= 21 && up < 0) up = x;
            if (lo <= 259 && hi > 260 && down < 0) down = x;
        }
        ASSERT_GT(up, 0);
        ASSERT_GT(down, 0);
        EXPECT_EQ(Px(up, 21), kOrange);  // yTop + 1
        EXPECT_EQ(Px(up, 20), kBackground);
        EXPECT_EQ(Px(up, 19), kBackground);
        EXPECT_EQ(Px(down, 260), kOrange);  // the lower pixel of row yBottom - 1
        EXPECT_EQ(Px(down, 261), kBackground);
        // Where the whole segment lies beyond the graph nothing is drawn.
        EXPECT_EQ(Px(PeakColumn(resp_.sumCurve), 21), kBackground);
        EXPECT_TRUE(GuardIntact());
    }
}

TEST_F(RespRenderTest, SelectedBandIsTintedDownToTheZeroRowUnderATealLine) {
    const EqBand band = Band(0, 0, 1000, 10, 120);
    resp_.selectedBand = 0;
    Draw(&band, 1, 0x0000);  // masked off: the sum is flat, the selection still shows
    EXPECT_EQ(resp_.sumCurve[300], 0.0f);
    const int c = PeakColumn(resp_.selectedCurve) - 1;
    const int r0 = Row(resp_.selectedCurve[c]);
    const int r1 = Row(resp_.selectedCurve[c + 1]);
    EXPECT_EQ(Px(c, std::min(r0, r1)), kTeal);
    EXPECT_EQ(Px(c, std::max(r0, r1)), kTeal);
    EXPECT_EQ(Px(c, std::min(r0, r1) - 1), kBackground);
    EXPECT_EQ(Px(c, std::max(r0, r1) + 1), kTinted);
    EXPECT_EQ(Px(c, kMid - 1), kTinted);
    EXPECT_EQ(Px(c, kMid), kOrange);
}

TEST_F(RespRenderTest, SelectedFlatPassFilterIsATealLineOnTheZeroRowWithoutTint) {
    const EqBand bands[] = {Band(0, 0, 1000, 10, 120), Band(3, 0, 5000, 7, 0)};
    resp_.selectedBand = 1;
    Draw(bands, 2);
    const int c = PeakColumn(resp_.sumCurve) - 1;  // where the sum is far from 0 dB
    EXPECT_EQ(Px(c, kMid), kTeal);
    EXPECT_EQ(Px(c, kMid - 1), kBackground);
    EXPECT_EQ(Px(c, kMid + 1), kBackground);
}

TEST_F(RespRenderTest, SelectionBeyondTheBandsDrawsNoSelection) {
    const std::vector<EqBand> bands = {Band(0, 0, 1000, 10, 120), Band(0, 0, 200, 10, -60)};
    for (int selected : {2, 40, 1000}) {
        resp_.selectedBand = selected;
        Draw(bands.data(), 2);
        EXPECT_FALSE(AnyPixel(kTeal)) << selected;
    }
}

class RespMarkerTest : public RespRenderTest {
protected:
    void SetUp() override {
        RespRenderTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            markers_[i].assign(24 * 24, kMarkerColours[i]);
            resp_.images[1 + i] = {24, 24, markers_[i].data()};
        }
    }

    static constexpr uint32_t kMarkerColours[4] = {0xFFFF0000, 0xFF0000FF, 0xFFFF00FF, 0xFF00FF00};
    std::vector<uint32_t> markers_[4];
};

TEST_F(RespMarkerTest, MarkerIsCentredOnItsPosition) {
    const EqBand band = Band(0, 0, 1000, 10, 120);  // marker centre (354, 80)
    Draw(&band, 1, 0x0000);
    EXPECT_GE(Red(Px(354, 80)), 254);
    EXPECT_GE(Red(Px(342, 68)), 254);  // top-left pixel of the 24 x 24 image
    EXPECT_GE(Red(Px(365, 91)), 254);  // bottom-right
    EXPECT_EQ(Px(341, 68), kBackground);
    EXPECT_EQ(Px(342, 67), kBackground);
    EXPECT_EQ(Px(366, 91), kBackground);
    EXPECT_EQ(Px(365, 92), kBackground);
}

TEST_F(RespMarkerTest, SelectedMarkerLiesOnTop) {
    const EqBand bands[] = {Band(0, 0, 1000, 10, 120), Band(0, 0, 1000, 10, 120)};
    Draw(bands, 2, 0x0000);
    EXPECT_GE(Blue(Px(354, 80)), 254);  // band 1 drawn after band 0
    EXPECT_LE(Red(Px(354, 80)), 1);
    resp_.selectedBand = 0;
    Draw(bands, 2, 0x0000);
    EXPECT_GE(Red(Px(354, 80)), 254);
    EXPECT_LE(Blue(Px(354, 80)), 1);
}

TEST_F(RespMarkerTest, MarkersOffAnyPixelOrOffTheCanvasDrawNothing) {
    // Band 0 has no finite position (log10 of 0 Hz); the others lie far
    // outside the canvas. Only band 3's green marker is on the graph.
    const EqBand bands[] = {Band(0, 0, 0, 10, 120), Band(0, 0, 20, 10, 600),
                            Band(0, 0, 1000, 10, 32767), Band(0, 0, 1000, 10, 0)};
    for (int selected : {-1, 0}) {
        resp_.selectedBand = selected;
        Draw(bands, 4);
        for (size_t i = 0; i < static_cast<size_t>(kW) * kH; ++i) {
            const uint32_t p = canvas_[i];
            const bool redOrMagenta = Red(p) >= 250 && Green(p) <= 5;
            const bool blue = Blue(p) >= 250 && Red(p) <= 5 && Green(p) <= 5;
            ASSERT_FALSE(redOrMagenta || blue) << "pixel " << i % kW << "," << i / kW;
        }
        EXPECT_GE(Green(Px(354, 140)), 254);
        EXPECT_TRUE(GuardIntact());
    }
}

TEST_F(RespMarkerTest, MarkerAtTheLeftEdgeIsCutThere) {
    const EqBand band = Band(0, 0, 10, 10, 240);  // centre (1, 20): origin (-11, 8)
    Draw(&band, 1, 0x0000);
    EXPECT_GE(Red(Px(0, 8)), 254);
    EXPECT_GE(Red(Px(12, 31)), 254);
    EXPECT_EQ(Px(13, 8), kBackground);
    EXPECT_EQ(Px(0, 7), kBackground);
}

class RespOverlayTest : public RespRenderTest {
protected:
    void UseOverlay(int w, int h, uint32_t colour) {
        overlay_.assign(static_cast<size_t>(w) * h, colour);
        resp_.images[20] = {w, h, overlay_.data()};
        resp_.overlayOn = 1;
    }
    std::vector<uint32_t> overlay_;
};

TEST_F(RespOverlayTest, OverlayIsCentredAndBlendedWithIntegerAlpha) {
    std::fill(background_.begin(), background_.end(), 0x5A000000);
    UseOverlay(310, 43, 0xFF00FF00);  // opaque green
    overlay_[0] = 0x80FF0000;         // top-left: red at alpha 128
    overlay_[1] = 0x00FFFFFF;         // alpha 0: leaves the canvas as it is
    Draw(nullptr, 0);
    // Origin ((600 - 310) / 2, (290 - 43) / 2) = (145, 123).
    EXPECT_EQ(Px(145, 123), 0x5A800000u);  // (255 * 128 + 128) >> 8 = 128
    EXPECT_EQ(Px(146, 123), 0x5A000000u);
    // Opaque keeps 1/256 of the canvas: (0 * 1 + 255 * 255 + 128) >> 8 = 254.
    EXPECT_EQ(Px(147, 123), 0x5A00FE00u);
    EXPECT_EQ(Px(454, 165), 0x5A00FE00u);
    EXPECT_EQ(Px(144, 123), 0x5A000000u);
    EXPECT_EQ(Px(455, 165), 0x5A000000u);
    EXPECT_EQ(Px(145, 166), 0x5A000000u);

    resp_.overlayOn = 0;
    Draw(nullptr, 0);
    EXPECT_EQ(Px(147, 123), 0x5A000000u);
}

TEST_F(RespOverlayTest, BlendWeighsBothSides) {
    UseOverlay(1, 1, 0x40102030);  // alpha 64 over 0xF0 channels
    Draw(nullptr, 0);
    // (240 * 192 + c * 64 + 128) >> 8 for c = 0x10, 0x20, 0x30.
    EXPECT_EQ(Px(299, 144), 0x5AB8BCC0u);
}

TEST_F(RespOverlayTest, ImageReachingTheRightOrBottomEdgeLosesItsLastColumnOrRow) {
    UseOverlay(kW, 10, 0xFF000000);  // origin (0, 140)
    Draw(nullptr, 0);
    // Opaque black over 0xF0: (240 * 1 + 128) >> 8 = 1.
    EXPECT_EQ(Px(kW - 2, 140), 0x5A010101u);
    EXPECT_EQ(Px(kW - 1, 140), kBackground);

    UseOverlay(20, kH, 0xFF000000);  // origin (290, 0)
    Draw(nullptr, 0);
    EXPECT_EQ(Px(290, kH - 2), 0x5A010101u);
    EXPECT_EQ(Px(290, kH - 1), kBackground);
}

TEST_F(RespOverlayTest, OverlayIndexOutsideTheImageTableDrawsNothing) {
    UseOverlay(310, 43, 0xFF000000);
    for (int index : {-1, 41, 1 << 30}) {
        resp_.overlayImage = index;
        Draw(nullptr, 0);
        EXPECT_EQ(Px(300, 144), kBackground) << index;
    }
}

TEST_F(RespRenderTest, EachRenderStartsFromTheBackground) {
    EqBand band = Band(0, 0, 1000, 10, 120);
    Draw(&band, 1);
    const int x = PeakColumn(resp_.sumCurve);
    EXPECT_EQ(Px(x, 80), kOrange);
    band.gain = 0;
    Draw(&band, 1);
    EXPECT_EQ(Px(x, 79), kBackground);
    EXPECT_EQ(Px(x, 81), kBackground);
}

TEST_F(RespMarkerTest, CanvasSmallerThanTheAxisIsNeverOverrun) {
    const EqBand bands[] = {Band(0, 0, 1000, 10, 120), Band(0, 0, 15000, 10, -240),
                            Band(3, 6, 8000, 7, 0), Band(4, 2, 60, 7, 0)};
    std::vector<uint32_t> overlay(310 * 43, 0xFF000000);
    resp_.images[20] = {310, 43, overlay.data()};
    resp_.overlayOn = 1;
    resp_.selectedBand = 1;
    for (auto [w, h] :
         {std::pair{300, 100}, std::pair{600, 60}, std::pair{57, 290}, std::pair{1, 1}}) {
        Attach(w, h);
        Draw(bands, 4);
        EXPECT_TRUE(GuardIntact()) << w << " x " << h;
    }
    resp_.canvas = {kW, kH, nullptr};
    Draw(bands, 4);  // no canvas yet: nothing to draw into
}

}  // namespace
