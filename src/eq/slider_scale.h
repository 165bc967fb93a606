#pragma once
// The linear map between a slider's value and its thumb pixel (the thumb's
// left edge on a horizontal slider, its top on a vertical one).

struct SliderScale {
    int min = 0;
    int max = 100;
    int pixelAtMin = 0;
    int pixelAtMax = 0;
};

// Reversed bounds swapped, so min <= max.
SliderScale Ordered(SliderScale s);

// value clamped to min .. max (the bounds ordered first).
int ClampSliderValue(const SliderScale& s, int value);

// pixel clamped between the two pixel ends, whichever is the larger.
int ClampSliderPixel(const SliderScale& s, int pixel);

// The thumb pixel of a value: f = (pixelAtMax - pixelAtMin) / (max - min) in
// single precision, pixel = trunc(f * (value - min) + pixelAtMin, rounded to
// single, + 0.5); min gives exactly pixelAtMin and max exactly pixelAtMax. An
// empty range (max = min) maps every value to pixelAtMin.
int SliderValueToPixel(const SliderScale& s, int value);

// The value of a thumb pixel: g = (max - min) / (pixelAtMax - pixelAtMin) in
// single precision, value = trunc(g * (pixel - pixelAtMin) + min, rounded to
// single, + 0.5). Equal pixel ends map every pixel to min.
int SliderPixelToValue(const SliderScale& s, int pixel);
