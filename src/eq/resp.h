#pragma once
#include <cstdint>

#include "model/eq_band.h"
#include "eq/skin_image.h"

// One digital biquad, a0 always 1. The default is the identity section.
struct BiquadSection {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double a0 = 1.0, a1 = 0.0, a2 = 0.0;
};

// What a band turns into: one or two sections, none for a flat pass filter.
// `doubled` marks the 48-dB low-pass, whose dB curve is twice that of its two
// sections.
struct BandDesign {
    BiquadSection sections[2];
    int count = 1;
    bool doubled = false;
};

// The frequency response engine of one equaliser graph. Each page owns one,
// fills the canvas, image and axis fields at set-up and then calls a sum and
// Render whenever a band, the selection, the mask or the bypass state changes.
// Every band is a biquad design at the unit's fixed 48 kHz sample rate.
//
// The engine checks no band: the editors keep fields in range. It still never
// writes outside its buffers or the canvas, and a band whose fields are out of
// range (frequency 0, Q 0, wild gain) draws a bounded or flat curve.
class CResp {
public:
    static constexpr int kMaxColumns = 2048;
    static constexpr int kImageCount = 41;
    static constexpr double kSampleRate = 48000.0;
    // A band's curve is held within this many dB either way. Steep pass filters
    // legitimately reach about -450 dB close to 24 kHz; the bound keeps the sum
    // of every band finite whatever the fields hold.
    static constexpr float kCurveLimitDb = 1000.0f;

    // The page's drawing surface, a top-down 32-bit buffer it owns.
    SkinCanvas canvas;
    // 0: the empty graph (canvas size); 1 + i: the marker of band i; the page's
    // last copied entry is the bypass overlay.
    SkinImage images[kImageCount] = {};

    // One value per pixel column: dB already scaled by pxPerDb (pixels upward
    // from the 0 dB row).
    float sumCurve[kMaxColumns] = {};
    float selectedCurve[kMaxColumns] = {};
    float scratchCurve[kMaxColumns] = {};

    int32_t xStart = 0;
    int32_t yBottom = 0;
    int32_t yTop = 0;
    float pxPerDecade = 0.0f;
    int32_t xOffset = 0;
    float pxPerDb = 0.0f;
    int32_t xEnd = 0;  // columns xStart..xEnd-1 are computed (at most kMaxColumns)
    int32_t height = 0;

    int32_t selectedBand = -1;  // -1: none
    int32_t pageBand = -1;      // the page's own band index; the engine never reads it
    int32_t overlayOn = 0;      // the page's EQ is bypassed: draw the overlay image
    int32_t overlayImage = 20;  // the microphone page, with 27 markers, sets 27
    int32_t lowPass48Db = 0;    // the subwoofer page: slope 7 low-pass is 48 dB/oct

    // The axis every graph uses, from the canvas size: 10 Hz at column 0,
    // 25 kHz at the right edge, +24 dB at row `top`, -24 dB 30 rows above the
    // bottom. The boost page passes top = 30, the others 20.
    void SetUpAxis(int width, int canvasHeight, int top);

    void SumBandsMasked(int count, const EqBand* bands, uint16_t enableMask);
    void SumBands(int count, const EqBand* bands);
    void Render(const EqBand* bands, int count);

    // Marker centre of bands[index]. Gives false and (0, 0) for an index
    // outside 0..count-1 or a position that is not a finite pixel (a frequency
    // of 0, a broken axis); such a marker is neither drawn nor hit.
    bool MarkerPosition(const EqBand* bands, int count, int index, int* x, int* y) const;
    bool SelectedMarkerPosition(const EqBand* bands, int count, int* x, int* y) const;

    // Writes curve[xStart..xEnd-1] (curve holds kMaxColumns values) for one
    // band; returns 0, writing nothing, for a flat low-pass or high-pass.
    int BandCurve(float* curve, const EqBand* band);

    // The frequency in Hz that column x stands for, and the angle in radians
    // per sample at which the curves are evaluated there.
    float ColumnFrequency(int x) const;
    double ColumnOmega(int x) const;

    static BiquadSection DesignPeak(float gainDb, float q, float f, double fs = kSampleRate);
    static BiquadSection DesignLowShelf(float gainDb, float q, float f, double fs = kSampleRate);
    static BiquadSection DesignHighShelf(float gainDb, float q, float f, double fs = kSampleRate);
    // One analogue section 1 / (1 + a s + b s^2) (its high-pass mirror when
    // highPass), cornered at f, through the bilinear transform prewarped at f.
    static BiquadSection DesignPassSection(bool highPass, float a, float b, float f);
    BandDesign DesignPassFilter(bool highPass, int slope, float f) const;
    BandDesign Design(const EqBand& band) const;
    static float Magnitude(double omega, const BiquadSection& section);

private:
    void Sum(int count, const EqBand* bands, bool masked, uint16_t enableMask);
    void UpdateGrid();
    int FirstColumn() const;
    int EndColumn() const;

    void DrawSumCurve();
    void DrawSelectedBand();
    void DrawMarkers(const EqBand* bands, int count);
    void DrawImageCentred(const SkinImage& image, int cx, int cy);
    int RowOf(float value) const;
    int Mid() const { return static_cast<int>(yTop + (int64_t{yBottom} - yTop) / 2); }

    // cos w, sin w, cos 2w and sin 2w of every column depend on the axis only;
    // they are kept for the axis they were made for and made again when it
    // changes.
    double gridCos1_[kMaxColumns] = {};
    double gridSin1_[kMaxColumns] = {};
    double gridCos2_[kMaxColumns] = {};
    double gridSin2_[kMaxColumns] = {};
    int32_t gridOffset_ = 0;
    float gridPxPerDecade_ = 0.0f;
    bool gridValid_ = false;
};
