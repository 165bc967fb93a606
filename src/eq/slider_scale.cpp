#include "eq/slider_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// trunc(v + 0.5) of a single-precision v, kept inside int.
int RoundedToInt(float v) {
    const double r = std::trunc(static_cast<double>(v) + 0.5);
    if (!(r > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (!(r < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

// a + slope * (x - from), the product and sum rounded to single as one step.
int Linear(std::int64_t from, std::int64_t x, float slope, std::int64_t a) {
    const double sum =
        static_cast<double>(slope) * static_cast<double>(x - from) + static_cast<double>(a);
    return RoundedToInt(static_cast<float>(sum));
}

}  // namespace

SliderScale Ordered(SliderScale s) {
    if (s.max < s.min) std::swap(s.min, s.max);
    return s;
}

int ClampSliderValue(const SliderScale& s, int value) {
    const SliderScale o = Ordered(s);
    return std::clamp(value, o.min, o.max);
}

int ClampSliderPixel(const SliderScale& s, int pixel) {
    return std::clamp(pixel, std::min(s.pixelAtMin, s.pixelAtMax),
                      std::max(s.pixelAtMin, s.pixelAtMax));
}

int SliderValueToPixel(const SliderScale& s, int value) {
    const SliderScale o = Ordered(s);
    const std::int64_t span = std::int64_t{o.max} - o.min;
    // An empty range would divide by nothing; every value sits at the min end.
    if (span == 0) return o.pixelAtMin;
    const float f =
        static_cast<float>(std::int64_t{o.pixelAtMax} - o.pixelAtMin) / static_cast<float>(span);
    return Linear(o.min, value, f, o.pixelAtMin);
}

int SliderPixelToValue(const SliderScale& s, int pixel) {
    const SliderScale o = Ordered(s);
    const std::int64_t travel = std::int64_t{o.pixelAtMax} - o.pixelAtMin;
    // A thumb that cannot travel has only the min value.
    if (travel == 0) return o.min;
    const float g = static_cast<float>(std::int64_t{o.max} - o.min) / static_cast<float>(travel);
    return Linear(o.pixelAtMin, pixel, g, o.min);
}
