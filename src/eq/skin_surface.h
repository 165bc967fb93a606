#pragma once
// The last step of every skinned control's paint: the surface it composed in
// memory goes to the widget in one copy.
#include "eq/skin_image.h"

class QPainter;

// Draws the surface at the widget's top-left, unblended. The surface's alpha
// bytes are set opaque first: the screen takes colour only, as a 32-bit DIB
// copied with SRCCOPY does.
void BlitSurface(QPainter& painter, const SkinCanvas& surface);
