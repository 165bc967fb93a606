#include "eq/skin_surface.h"

#include <QImage>
#include <QPainter>

void BlitSurface(QPainter& painter, const SkinCanvas& surface) {
    if (surface.Empty()) return;
    const std::size_t n = static_cast<std::size_t>(surface.width) * surface.height;
    for (std::size_t i = 0; i < n; ++i) surface.pixels[i] |= 0xFF000000u;
    // Format_RGB32 has the surface's layout (0xffRRGGBB words), so Qt reads
    // the pixels in place.
    const QImage image(reinterpret_cast<const uchar*>(surface.pixels), surface.width,
                       surface.height, surface.width * 4, QImage::Format_RGB32);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}
