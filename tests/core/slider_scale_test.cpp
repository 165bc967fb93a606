#include "eq/slider_scale.h"

#include <gtest/gtest.h>

#include <string>

// Scales the windows use: main volume, page sliders, delay, boost band gain
// with its shortened thumb travel, reverb predelay.
const SliderScale kScales[] = {{0, 99, 0, 131},  {0, 100, 0, 116},    {0, 2500, 0, 116},
                               {0, 480, 10, 95}, {500, 5000, 0, 116}, {20, 125, 0, 116},
                               {0, 12, 0, 116}};

class SliderScaleEnds : public ::testing::TestWithParam<SliderScale> {};

TEST_P(SliderScaleEnds, EndsMapExactlyAndTheMapIsMonotone) {
    const SliderScale s = GetParam();
    EXPECT_EQ(SliderValueToPixel(s, s.min), s.pixelAtMin);
    EXPECT_EQ(SliderValueToPixel(s, s.max), s.pixelAtMax);
    EXPECT_EQ(SliderPixelToValue(s, s.pixelAtMin), s.min);
    EXPECT_EQ(SliderPixelToValue(s, s.pixelAtMax), s.max);
    int lastPixel = s.pixelAtMin;
    for (int v = s.min; v <= s.max; ++v) {
        const int p = SliderValueToPixel(s, v);
        ASSERT_GE(p, lastPixel) << v;
        ASSERT_LE(p, s.pixelAtMax) << v;
        lastPixel = p;
    }
    int lastValue = s.min;
    for (int p = s.pixelAtMin; p <= s.pixelAtMax; ++p) {
        const int v = SliderPixelToValue(s, p);
        ASSERT_GE(v, lastValue) << p;
        ASSERT_LE(v, s.max) << p;
        lastValue = v;
    }
    // With a pixel or more per value, a thumb put at a value reads back that value.
    if (s.pixelAtMax - s.pixelAtMin >= s.max - s.min) {
        for (int v = s.min; v <= s.max; ++v) {
            ASSERT_EQ(SliderPixelToValue(s, SliderValueToPixel(s, v)), v) << v;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, SliderScaleEnds, ::testing::ValuesIn(kScales),
                         [](const ::testing::TestParamInfo<SliderScale>& info) {
                             const SliderScale& s = info.param;
                             return std::to_string(s.min) + "_" + std::to_string(s.max) + "_over_" +
                                    std::to_string(s.pixelAtMin) + "_" +
                                    std::to_string(s.pixelAtMax);
                         });

// The product and sum are rounded to single precision before the + 0.5: with
// f = 85 / 480 in single precision, 240 lands on 52.4999988, which rounds to
// 52.5 and so to pixel 53 (52 without the rounding).
TEST(SliderScale, RoundsTheSumToSinglePrecision) {
    const SliderScale boost{0, 480, 10, 95};
    EXPECT_EQ(SliderValueToPixel(boost, 240), 53);
    EXPECT_EQ(SliderValueToPixel(boost, 48), 19);
    EXPECT_EQ(SliderPixelToValue(SliderScale{20, 125, 0, 116}, 58), 73);
}

// An empty range or a thumb with no travel would divide by nothing.
TEST(SliderScale, EmptyRangeMapsEverythingToTheMinEnd) {
    const SliderScale empty{7, 7, 12, 80};
    for (int v : {-100, 0, 7, 8, 1000}) EXPECT_EQ(SliderValueToPixel(empty, v), 12) << v;
    EXPECT_EQ(SliderPixelToValue(empty, 50), 7);

    const SliderScale noTravel{0, 100, 30, 30};
    EXPECT_EQ(SliderPixelToValue(noTravel, 30), 0);
    EXPECT_EQ(SliderPixelToValue(noTravel, 90), 0);
    EXPECT_EQ(SliderValueToPixel(noTravel, 60), 30);

    EXPECT_EQ(SliderValueToPixel(SliderScale{0, 0, 0, 0}, 0), 0);
    EXPECT_EQ(SliderPixelToValue(SliderScale{0, 0, 0, 0}, 0), 0);
}

TEST(SliderScale, ReversedBoundsAreOrderedFirst) {
    const SliderScale reversed{100, 0, 0, 116};
    const SliderScale ordered{0, 100, 0, 116};
    EXPECT_EQ(Ordered(reversed).min, 0);
    EXPECT_EQ(Ordered(reversed).max, 100);
    for (int v : {0, 1, 50, 99, 100}) {
        EXPECT_EQ(SliderValueToPixel(reversed, v), SliderValueToPixel(ordered, v)) << v;
    }
    EXPECT_EQ(SliderPixelToValue(reversed, 58), SliderPixelToValue(ordered, 58));
    EXPECT_EQ(ClampSliderValue(reversed, 150), 100);
    EXPECT_EQ(ClampSliderValue(reversed, -5), 0);
}

TEST(SliderScale, PixelsClampBetweenTheEndsEitherWayRound) {
    EXPECT_EQ(ClampSliderPixel(SliderScale{0, 10, 10, 95}, 200), 95);
    EXPECT_EQ(ClampSliderPixel(SliderScale{0, 10, 10, 95}, -3), 10);
    EXPECT_EQ(ClampSliderPixel(SliderScale{0, 10, 95, 10}, 200), 95);
    EXPECT_EQ(ClampSliderPixel(SliderScale{0, 10, 95, 10}, 40), 40);
}
