#include "eq/resp_kernel.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "eq/resp.h"

namespace resp_kernel {

namespace {

// log10(2) split so that e * kLog10TwoHigh is exact for any float exponent.
constexpr double kLog10TwoHigh = 0x1.34413509f7000p-2;
constexpr double kLog10TwoLow = 1.42050232272661e-13;
constexpr double kInvLn10 = 0.4342944819032518;

constexpr uint32_t kSqrtHalfBits = 0x3F3504F3;  // the float just below sqrt(1/2)
constexpr uint32_t kMinNormalBits = 0x00800000;
constexpr uint32_t kInfinityBits = 0x7F800000;

[[gnu::always_inline]] inline bool IsPositiveNormal(uint32_t bits) {
    return bits - kMinNormalBits < kInfinityBits - kMinNormalBits;
}

// log10 of a positive normal float, in double, within about two units in the
// last place of the double: x = 2^e m with m in [sqrt(1/2), sqrt(2)), and
// ln m = ln((1 + s) / (1 - s)) = f - s (f - R(s^2)) with f = m - 1, s = f / (2 + f),
// R the tail of the atanh series 2 (s^3/3 + s^5/5 + ...) / s, which converges to
// double accuracy within eleven terms for |s| <= 0.1716. Rounded to single it
// equals the library's log10 rounded to single on every positive float (all
// 2^31 bit patterns were compared once).
[[gnu::always_inline]] inline double Log10PositiveNormal(uint32_t bits) {
    const int32_t e = static_cast<int32_t>(bits - kSqrtHalfBits) >> 23;
    const float m = std::bit_cast<float>(bits - (static_cast<uint32_t>(e) << 23));
    const double f = static_cast<double>(m) - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    double r = 2.0 / 23.0;
    r = r * z + 2.0 / 21.0;
    r = r * z + 2.0 / 19.0;
    r = r * z + 2.0 / 17.0;
    r = r * z + 2.0 / 15.0;
    r = r * z + 2.0 / 13.0;
    r = r * z + 2.0 / 11.0;
    r = r * z + 2.0 / 9.0;
    r = r * z + 2.0 / 7.0;
    r = r * z + 2.0 / 5.0;
    r = r * z + 2.0 / 3.0;
    r = r * z;
    const double lnM = f - s * (f - r);
    return e * kLog10TwoHigh + (e * kLog10TwoLow + lnM * kInvLn10);
}

[[gnu::always_inline]] inline float MagnitudeOf(double c1, double s1, double c2, double s2,
                                                const BiquadSection& s) {
    const double br = s.b0 + s.b1 * c1 + s.b2 * c2;
    const double bi = -(s.b1 * s1 + s.b2 * s2);
    const double ar = s.a0 + s.a1 * c1 + s.a2 * c2;
    const double ai = -(s.a1 * s1 + s.a2 * s2);
    const double den = ar * ar + ai * ai;
    const double re = (br * ar + bi * ai) / den;
    const double im = (bi * ar - br * ai) / den;
    return static_cast<float>(std::sqrt(re * re + im * im));
}

}  // namespace

float Magnitude(double c1, double s1, double c2, double s2, const BiquadSection& s) {
    return MagnitudeOf(c1, s1, c2, s2, s);
}

namespace {

[[gnu::always_inline]] inline void Log10SingleBody(const float* in, int n, float* out) {
    uint32_t special = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t bits = std::bit_cast<uint32_t>(in[i]);
        special |= static_cast<uint32_t>(!IsPositiveNormal(bits));
        out[i] = static_cast<float>(Log10PositiveNormal(bits));
    }
    if (special == 0) return;
    for (int i = 0; i < n; ++i) {
        if (!IsPositiveNormal(std::bit_cast<uint32_t>(in[i]))) {
            out[i] = static_cast<float>(std::log10(static_cast<double>(in[i])));
        }
    }
}

[[gnu::always_inline]] inline void SectionValuesBody(const Grid& grid, int n,
                                                     const BiquadSection& s, float pxPerDb,
                                                     float* out) {
    constexpr int kBlock = 256;
    float mag[kBlock];
    float lg[kBlock];
    for (int base = 0; base < n; base += kBlock) {
        const int count = std::min(kBlock, n - base);
        const double* c1 = grid.c1 + base;
        const double* s1 = grid.s1 + base;
        const double* c2 = grid.c2 + base;
        const double* s2 = grid.s2 + base;
        for (int i = 0; i < count; ++i) mag[i] = MagnitudeOf(c1[i], s1[i], c2[i], s2[i], s);
        Log10SingleBody(mag, count, lg);
        float* dst = out + base;
        for (int i = 0; i < count; ++i) {
            const float db = static_cast<float>(20.0 * lg[i]);
            dst[i] = static_cast<float>(static_cast<double>(db) * pxPerDb);
        }
    }
}

using Log10Fn = void (*)(const float*, int, float*);
using SectionValuesFn = void (*)(const Grid&, int, const BiquadSection&, float, float*);

void Log10Baseline(const float* in, int n, float* out) { Log10SingleBody(in, n, out); }
void SectionValuesBaseline(const Grid& grid, int n, const BiquadSection& s, float pxPerDb,
                           float* out) {
    SectionValuesBody(grid, n, s, pxPerDb, out);
}

// On x86-64 the loops are built a second time for AVX2 and picked on first
// use where the processor has it; the results are the same either way. The
// choice is made by a plain check rather than an ifunc, which would run
// before a sanitizer's runtime is up.
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target("avx2")]] void Log10Avx2(const float* in, int n, float* out) {
    Log10SingleBody(in, n, out);
}
[[gnu::target("avx2")]] void SectionValuesAvx2(const Grid& grid, int n, const BiquadSection& s,
                                               float pxPerDb, float* out) {
    SectionValuesBody(grid, n, s, pxPerDb, out);
}
bool HasAvx2() { return __builtin_cpu_supports("avx2"); }
#else
constexpr Log10Fn Log10Avx2 = Log10Baseline;
constexpr SectionValuesFn SectionValuesAvx2 = SectionValuesBaseline;
bool HasAvx2() { return false; }
#endif

}  // namespace

void Log10Single(const float* in, int n, float* out) {
    static const Log10Fn fn = HasAvx2() ? Log10Avx2 : Log10Baseline;
    fn(in, n, out);
}

void SectionValues(const Grid& grid, int n, const BiquadSection& s, float pxPerDb, float* out) {
    static const SectionValuesFn fn = HasAvx2() ? SectionValuesAvx2 : SectionValuesBaseline;
    fn(grid, n, s, pxPerDb, out);
}

}  // namespace resp_kernel
