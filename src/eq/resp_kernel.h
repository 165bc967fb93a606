#pragma once
#include <cstdint>

struct BiquadSection;

// The per-column loops of the response engine, written so that the compiler
// can run several columns at once. Every operation is the same IEEE operation
// in the same order as the one-column code, so the results do not depend on
// how many columns a step takes.
namespace resp_kernel {

// The angle terms of each column: cos w, sin w, cos 2w, sin 2w.
struct Grid {
    const double* c1;
    const double* s1;
    const double* c2;
    const double* s2;
};

// |H(e^jw)| of one section: the complex quotient B / A in double, its modulus
// rounded to single.
float Magnitude(double c1, double s1, double c2, double s2, const BiquadSection& s);

// out[i] := the section's curve value in column i, (20 log10 |H|) * pxPerDb
// with the logarithm and each product rounded to single, for i in [0, n).
void SectionValues(const Grid& grid, int n, const BiquadSection& s, float pxPerDb, float* out);

// out[i] := float(log10(double(in[i]))) for i in [0, n). Zero, subnormal,
// negative, infinite and NaN inputs take the library's log10.
void Log10Single(const float* in, int n, float* out);

}  // namespace resp_kernel
