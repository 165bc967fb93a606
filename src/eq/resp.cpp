#include "eq/resp.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "eq/resp_kernel.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The first-order sections of the 18-dB slopes leave a pole exactly on a zero
// at z = -1 (low-pass) or z = 1 (high-pass); moving a1 by one single-precision
// step keeps the pair from meeting in a 0 / 0.
constexpr double kFirstOrderNudge = 1.0 / (1 << 23);

// Normalised analogue low-pass sections 1 / (1 + a s + b s^2), in the unit's
// single precision; b = 0 is a first-order section.
struct PrototypePair {
    float a;
    float b;
};

struct PrototypeRow {
    int count;  // sections designed from pairs
    PrototypePair pairs[2];
    bool copyFirst;   // the one section is used twice (Linkwitz-Riley)
    bool nudgeFirst;  // the first section is first-order
};

constexpr PrototypeRow kPrototypeRows[8] = {
    {0, {}, false, false},                                                       // 0 flat
    {1, {{1.3616542f, 0.618034f}}, false, false},                                // 1 bessel_12db
    {1, {{1.4142135f, 1.0f}}, false, false},                                     // 2 butter_12db
    {2, {{0.7560432f, 0.0f}, {0.9996292f, 0.47719136f}}, false, true},           // 3 bessel_18db
    {2, {{1.0f, 0.0f}, {1.0f, 1.0f}}, false, true},                              // 4 butter_18db
    {2, {{1.3396637f, 0.48890415f}, {0.77425396f, 0.38899073f}}, false, false},  // 5 bessel_24db
    {2, {{1.847759f, 1.0f}, {0.76536685f, 1.0f}}, false, false},                 // 6 butter_24db
    {1, {{1.4142135f, 1.0f}}, true, false},                                      // 7 LR_24db
};
constexpr int kButter24Slope = 6;
constexpr int kLinkwitzRileySlope = 7;

// Positions beyond this many pixels from the canvas are treated as off it;
// an image's origin around such a position still fits an int.
constexpr double kCoordLimit = double(1 << 29);

constexpr uint32_t kSumCurveColour = 0x00FF9828;
constexpr uint32_t kSelectedLineColour = 0x00008080;

// A 48/256 step toward teal, per channel (v * 208 + t * 48 + 128) >> 8 with
// t = 0 for red and 160 for green and blue; the alpha byte kept.
uint32_t TintPixel(uint32_t d) {
    constexpr uint32_t kRedBlueTarget = (0u << 16 | 160u) * 48 + 0x00800080u;
    constexpr uint32_t kGreenTarget = 160u * 48 + 0x80u;
    const uint32_t rb = (((d & 0x00FF00FFu) * 208 + kRedBlueTarget) >> 8) & 0x00FF00FFu;
    const uint32_t g = (((((d >> 8) & 0xFFu) * 208 + kGreenTarget) >> 8) & 0xFFu) << 8;
    return (d & 0xFF000000u) | rb | g;
}

bool IsIdentity(const BiquadSection& s) {
    return s.b0 == 1.0 && s.b1 == 0.0 && s.b2 == 0.0 && s.a0 == 1.0 && s.a1 == 0.0 && s.a2 == 0.0;
}

}  // namespace

void CResp::SetUpAxis(int width, int canvasHeight, int top) {
    xStart = 50;
    yTop = top;
    yBottom = canvasHeight - 30;
    const float logHigh = static_cast<float>(std::log10(25000.0));
    const float logLow = static_cast<float>(std::log10(10.0));
    pxPerDecade = static_cast<float>(width / (static_cast<double>(logHigh) - logLow));
    xOffset = -static_cast<int32_t>(std::trunc(pxPerDecade));
    pxPerDb = static_cast<float>((yBottom - yTop) / 48.0);
    xEnd = width;
    height = canvasHeight;
}

// ---- Designs -----------------------------------------------------------------

BiquadSection CResp::DesignPeak(float gainDb, float q, float f, double fs) {
    BiquadSection s;
    if (gainDb == 0.0f) return s;
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * kPi * f / fs;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double n = 1.0 + alpha / A;
    s.b0 = (1.0 + alpha * A) / n;
    s.b1 = -2.0 * std::cos(w0) / n;
    s.b2 = (1.0 - alpha * A) / n;
    s.a1 = -2.0 * std::cos(w0) / n;
    s.a2 = (1.0 - alpha / A) / n;
    return s;
}

namespace {

// The single-precision terms both shelves are built from.
struct ShelfTerms {
    float A;
    double ap1, am1, am1c, ap1c, tra;  // A+1, A-1, (A-1)c, (A+1)c, 2 sqrt(A) alpha
};

ShelfTerms MakeShelfTerms(float gainDb, float q, float f, double fs) {
    ShelfTerms t;
    t.A = static_cast<float>(std::pow(10.0, gainDb / 40.0));
    const float w0 = static_cast<float>(2.0 * kPi * f / fs);
    const float s = static_cast<float>(std::sin(static_cast<double>(w0)));
    const float c = static_cast<float>(std::cos(static_cast<double>(w0)));
    const float alpha = static_cast<float>(s / (2.0 * q));
    const float r = static_cast<float>(std::sqrt(static_cast<double>(t.A)));
    t.ap1 = t.A + 1.0;
    t.am1 = t.A - 1.0;
    t.am1c = t.am1 * c;
    t.ap1c = t.ap1 * c;
    t.tra = 2.0 * r * alpha;
    return t;
}

float Single(double v) { return static_cast<float>(v); }

}  // namespace

BiquadSection CResp::DesignLowShelf(float gainDb, float q, float f, double fs) {
    BiquadSection s;
    if (gainDb == 0.0f) return s;
    const ShelfTerms t = MakeShelfTerms(gainDb, q, f, fs);
    const double A = t.A;
    const float n = Single(t.ap1 + t.am1c + t.tra);
    s.b0 = A * Single(t.ap1 - t.am1c + t.tra) / n;
    s.b1 = 2.0 * A * Single(t.am1 - t.ap1c) / n;
    s.b2 = A * Single(t.ap1 - t.am1c - t.tra) / n;
    s.a1 = -2.0 * Single(t.am1 + t.ap1c) / n;
    s.a2 = static_cast<double>(Single(t.ap1 + t.am1c - t.tra)) / n;
    return s;
}

BiquadSection CResp::DesignHighShelf(float gainDb, float q, float f, double fs) {
    BiquadSection s;
    if (gainDb == 0.0f) return s;
    const ShelfTerms t = MakeShelfTerms(gainDb, q, f, fs);
    const double A = t.A;
    const float n = Single(t.ap1 - t.am1c + t.tra);
    s.b0 = A * Single(t.ap1 + t.am1c + t.tra) / n;
    s.b1 = -2.0 * A * Single(t.am1 + t.ap1c) / n;
    s.b2 = A * Single(t.ap1 + t.am1c - t.tra) / n;
    s.a1 = 2.0 * Single(t.am1 - t.ap1c) / n;
    s.a2 = static_cast<double>(Single(t.ap1 - t.am1c - t.tra)) / n;
    return s;
}

BiquadSection CResp::DesignPassSection(bool highPass, float a, float b, float f) {
    const double wc = 2.0 * kPi * f;
    // Prewarped so that the analogue corner wc lands on f exactly.
    const float K = Single(wc / std::tan(kPi * f / kSampleRate));
    const double K2 = static_cast<double>(K) * K;
    float d0, d1, d2;
    if (highPass) {
        d0 = Single(b * wc * wc);
        d1 = Single(a * wc);
        d2 = 1.0f;
    } else {
        d0 = 1.0f;
        d1 = Single(a / wc);
        d2 = Single(b / (wc * wc));
    }
    const float N = Single(d0 + static_cast<double>(d1) * K + d2 * K2);
    BiquadSection s;
    s.a1 = 2.0 * (d0 - d2 * K2) / N;
    s.a2 = (d0 - static_cast<double>(d1) * K + d2 * K2) / N;
    if (highPass) {
        s.b0 = K2 / N;
        s.b1 = -2.0 * K2 / N;
        s.b2 = K2 / N;
    } else {
        s.b0 = 1.0 / N;
        s.b1 = 2.0 / N;
        s.b2 = 1.0 / N;
    }
    return s;
}

BandDesign CResp::DesignPassFilter(bool highPass, int slope, float f) const {
    BandDesign d;
    if (slope < 0 || slope > kLinkwitzRileySlope) return d;  // identity: flat 0 dB
    if (slope == kLinkwitzRileySlope && !highPass && lowPass48Db) {
        const PrototypeRow& row = kPrototypeRows[kButter24Slope];
        d.sections[0] = DesignPassSection(false, row.pairs[0].a, row.pairs[0].b, f);
        d.sections[1] = DesignPassSection(false, row.pairs[1].a, row.pairs[1].b, f);
        d.count = 2;
        d.doubled = true;
        return d;
    }
    const PrototypeRow& row = kPrototypeRows[slope];
    d.count = row.count;
    for (int i = 0; i < row.count; ++i) {
        d.sections[i] = DesignPassSection(highPass, row.pairs[i].a, row.pairs[i].b, f);
    }
    if (row.copyFirst) {
        d.sections[1] = d.sections[0];
        d.count = 2;
    }
    if (row.nudgeFirst) {
        double& a1 = d.sections[0].a1;
        a1 = a1 >= 0.0 ? a1 - kFirstOrderNudge : a1 + kFirstOrderNudge;
    }
    return d;
}

BandDesign CResp::Design(const EqBand& band) const {
    const float f = band.frequency;
    const float gainDb = Single(band.gain / 10.0);
    const float q = Single(band.q / 10.0);
    BandDesign d;
    switch (band.type) {
        case 0:
            d.sections[0] = DesignPeak(gainDb, q, f);
            break;
        case 1:
            d.sections[0] = DesignLowShelf(gainDb, q, f);
            break;
        case 2:
            d.sections[0] = DesignHighShelf(gainDb, q, f);
            break;
        case 3:
        case 4:
            d = DesignPassFilter(band.type == 4, band.slope, f);
            break;
        default:
            break;  // unknown type: the identity, a flat curve
    }
    return d;
}

// ---- Evaluation --------------------------------------------------------------

float CResp::Magnitude(double omega, const BiquadSection& section) {
    return resp_kernel::Magnitude(std::cos(omega), std::sin(omega), std::cos(2.0 * omega),
                                  std::sin(2.0 * omega), section);
}

float CResp::ColumnFrequency(int x) const {
    const float t = Single((static_cast<double>(x) - xOffset) / pxPerDecade);
    return Single(std::pow(10.0, t));
}

double CResp::ColumnOmega(int x) const {
    return Single(ColumnFrequency(x) / kSampleRate * 2.0 * kPi);
}

void CResp::UpdateGrid() {
    if (gridValid_ && gridOffset_ == xOffset && gridPxPerDecade_ == pxPerDecade) return;
    for (int x = 0; x < kMaxColumns; ++x) {
        const double w = ColumnOmega(x);
        gridCos1_[x] = std::cos(w);
        gridSin1_[x] = std::sin(w);
        gridCos2_[x] = std::cos(2.0 * w);
        gridSin2_[x] = std::sin(2.0 * w);
    }
    gridOffset_ = xOffset;
    gridPxPerDecade_ = pxPerDecade;
    gridValid_ = true;
}

int CResp::FirstColumn() const { return std::clamp(xStart, 0, kMaxColumns); }
int CResp::EndColumn() const { return std::clamp(xEnd, 0, kMaxColumns); }

int CResp::BandCurve(float* curve, const EqBand* band) {
    if (curve == nullptr || band == nullptr) return 0;
    const BandDesign d = Design(*band);
    if (d.count == 0) return 0;
    const int x0 = FirstColumn();
    const int x1 = EndColumn();
    if (d.count == 1 && IsIdentity(d.sections[0])) {
        std::fill(curve + x0, curve + std::max(x0, x1), 0.0f);
        return 1;
    }
    UpdateGrid();
    const int n = x1 - x0;
    if (n <= 0) return 1;
    const resp_kernel::Grid grid{gridCos1_ + x0, gridSin1_ + x0, gridCos2_ + x0, gridSin2_ + x0};
    float* out = curve + x0;
    resp_kernel::SectionValues(grid, n, d.sections[0], pxPerDb, out);
    if (d.count == 2) {
        float second[kMaxColumns];
        resp_kernel::SectionValues(grid, n, d.sections[1], pxPerDb, second);
        for (int i = 0; i < n; ++i) out[i] = Single(static_cast<double>(out[i]) + second[i]);
    }
    if (d.doubled) {
        for (int i = 0; i < n; ++i) out[i] = 2.0f * out[i];
    }
    // NaN (a band whose fields make no filter) draws flat; anything else is
    // held within the curve limit, -inf from a magnitude that underflowed
    // included.
    const float limit = std::fabs(kCurveLimitDb * pxPerDb);
    for (int i = 0; i < n; ++i) {
        const float v = out[i];
        out[i] = std::isnan(v) ? 0.0f : v > limit ? limit : v < -limit ? -limit : v;
    }
    return 1;
}

void CResp::Sum(int count, const EqBand* bands, bool masked, uint16_t enableMask) {
    std::fill(std::begin(sumCurve), std::end(sumCurve), 0.0f);
    if (bands == nullptr) return;
    const int x0 = FirstColumn();
    const int x1 = EndColumn();
    for (int i = 0; i < count; ++i) {
        const EqBand& band = bands[i];
        const bool passFilter = band.type >= 3;
        const bool enabled = i < 16 && ((enableMask >> i) & 1u);
        if (masked && !passFilter && !enabled) continue;
        if (!BandCurve(scratchCurve, &band)) continue;
        for (int x = x0; x < x1; ++x) {
            sumCurve[x] = Single(static_cast<double>(sumCurve[x]) + scratchCurve[x]);
        }
    }
}

void CResp::SumBandsMasked(int count, const EqBand* bands, uint16_t enableMask) {
    Sum(count, bands, true, enableMask);
}

void CResp::SumBands(int count, const EqBand* bands) { Sum(count, bands, false, 0); }

// ---- Markers -----------------------------------------------------------------

bool CResp::MarkerPosition(const EqBand* bands, int count, int index, int* x, int* y) const {
    int px = 0;
    int py = 0;
    bool ok = false;
    if (bands != nullptr && index >= 0 && index < count) {
        const EqBand& band = bands[index];
        const float lg = Single(std::log10(static_cast<double>(band.frequency)));
        const float v = Single(static_cast<double>(lg) * pxPerDecade + 0.5);
        const double xd = static_cast<double>(v) + xOffset;
        const float g = Single(band.gain / 10.0);
        const float above = Single(static_cast<double>(g) + 24.0);
        const float rise = Single(static_cast<double>(above) * pxPerDb);
        const double yd = Single(static_cast<double>(yBottom) - rise);
        if (std::isfinite(xd) && std::isfinite(yd) && std::fabs(xd) < kCoordLimit &&
            std::fabs(yd) < kCoordLimit) {
            px = static_cast<int>(xd);
            py = static_cast<int>(yd);
            ok = true;
        }
    }
    if (x != nullptr) *x = px;
    if (y != nullptr) *y = py;
    return ok;
}

bool CResp::SelectedMarkerPosition(const EqBand* bands, int count, int* x, int* y) const {
    return MarkerPosition(bands, count, selectedBand, x, y);
}

// ---- Drawing -----------------------------------------------------------------

int CResp::RowOf(float value) const {
    const double r = static_cast<double>(Mid()) - value;
    if (!std::isfinite(r)) return Mid();
    return static_cast<int>(std::clamp(r, -kCoordLimit, kCoordLimit));
}

// Engine-side blit: an image reaching the right or bottom edge loses its last
// column or row, as the unit's graphs have always drawn.
void CResp::DrawImageCentred(const SkinImage& image, int cx, int cy) {
    AlphaBlit(canvas, image, cx - image.width / 2, cy - image.height / 2, image.width,
              image.height);
}

void CResp::DrawSumCurve() {
    const int x0 = FirstColumn();
    const int x1 = EndColumn();
    if (x1 <= x0) return;
    const int64_t yLo = std::max<int64_t>(int64_t{yTop} + 1, 0);
    const int64_t yHi = std::min<int64_t>(int64_t{yBottom} - 1, canvas.height - 1);
    const int xLimit = std::min(x1 - 2, canvas.width);  // columns x - 1 and x are painted
    int prev = RowOf(sumCurve[x0]);
    for (int x = x0 + 4; x < xLimit; ++x) {
        const int cur = RowOf(sumCurve[x]);
        const int64_t lo = std::max<int64_t>(std::min(prev, cur), yLo);
        const int64_t hi = std::min<int64_t>(std::max(prev, cur), yHi);
        for (int64_t y = lo; y <= hi; ++y) {
            uint32_t* row = canvas.pixels + y * canvas.width;
            row[x - 1] = row[x] = kSumCurveColour;
            if (y + 1 < canvas.height)
                row[canvas.width + x - 1] = row[canvas.width + x] = kSumCurveColour;
        }
        prev = cur;
    }
}

void CResp::DrawSelectedBand() {
    const int x0 = FirstColumn();
    const int x1 = EndColumn();
    if (x1 <= x0) return;
    const int mid = Mid();
    const int64_t tintLo = std::max<int64_t>(int64_t{yTop} + 1, 0);
    const int64_t tintHi = std::min<int64_t>(int64_t{yBottom} - 1, canvas.height - 1);
    const int64_t lineLo = std::max<int64_t>(int64_t{yTop} - 1, 0);
    const int64_t lineHi = std::min<int64_t>(int64_t{yBottom} + 1, canvas.height - 1);
    const int xLimit = std::min(x1 - 2, canvas.width + 1);  // column x - 1 is painted
    int prev = RowOf(selectedCurve[x0]);
    for (int x = x0 + 4; x < xLimit; ++x) {
        const int cur = RowOf(selectedCurve[x]);
        uint32_t* column = canvas.pixels + (x - 1);
        const int64_t tLo = std::max<int64_t>(std::min(cur, mid), tintLo);
        const int64_t tHi = std::min<int64_t>(int64_t{std::max(cur, mid)} - 1, tintHi);
        for (int64_t y = tLo; y <= tHi; ++y) {
            uint32_t& p = column[y * canvas.width];
            p = TintPixel(p);
        }
        const int64_t lLo = std::max<int64_t>(std::min(prev, cur), lineLo);
        const int64_t lHi = std::min<int64_t>(std::max(prev, cur), lineHi);
        for (int64_t y = lLo; y <= lHi; ++y) column[y * canvas.width] = kSelectedLineColour;
        prev = cur;
    }
}

void CResp::DrawMarkers(const EqBand* bands, int count) {
    const int markers = std::min(count, kImageCount - 1);
    const int selected = selectedBand >= 0 && selectedBand < markers ? selectedBand : -1;
    auto draw = [&](int i) {
        const SkinImage& image = images[1 + i];
        int x = 0;
        int y = 0;
        if (image.Empty() || !MarkerPosition(bands, count, i, &x, &y)) return;
        DrawImageCentred(image, x, y);
    };
    for (int i = 0; i < markers; ++i) {
        if (i != selected) draw(i);
    }
    if (selected >= 0) draw(selected);  // last, so that it lies on top
}

void CResp::Render(const EqBand* bands, int count) {
    if (canvas.Empty()) return;
    if (bands == nullptr) count = 0;

    CopyImage(canvas, images[0]);

    if (overlayOn && overlayImage >= 0 && overlayImage < kImageCount) {
        const SkinImage& overlay = images[overlayImage];
        if (!overlay.Empty()) {
            AlphaBlit(canvas, overlay,
                      static_cast<int>((int64_t{canvas.width} - overlay.width) / 2),
                      static_cast<int>((int64_t{canvas.height} - overlay.height) / 2),
                      overlay.width, overlay.height);
        }
    }

    if (selectedBand >= 0 && selectedBand < count) {
        std::fill(std::begin(selectedCurve), std::end(selectedCurve), 0.0f);
        BandCurve(selectedCurve, &bands[selectedBand]);
        DrawSelectedBand();
    }

    DrawSumCurve();
    DrawMarkers(bands, count);
}
