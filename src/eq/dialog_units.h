#pragma once
// Layouts taken over in dialog units: one horizontal unit is 6/4 pixel and
// one vertical unit 13/8 pixel of the program's font (platform/text_fit.h),
// which is fixed in pixels, so a unit is a fixed number of pixels too.
#include <QRect>

constexpr int DluX(int x) { return x * 6 / 4; }
constexpr int DluY(int y) { return y * 13 / 8; }

inline QRect DluRect(int x, int y, int width, int height) {
    return QRect(DluX(x), DluY(y), DluX(width), DluY(height));
}
