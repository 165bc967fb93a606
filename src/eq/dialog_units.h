#pragma once
// The windows' layouts are given in dialog units of the platform's dialog
// font; one horizontal unit is 6/4 pixel and one vertical unit 13/8 pixel.
#include <QRect>

constexpr int DluX(int x) { return x * 6 / 4; }
constexpr int DluY(int y) { return y * 13 / 8; }

inline QRect DluRect(int x, int y, int width, int height) {
    return QRect(DluX(x), DluY(y), DluX(width), DluY(height));
}
