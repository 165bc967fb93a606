#pragma once
#include <QColor>
#include <cstdint>

namespace platform {

// Colours are written in the Windows order 0x00BBGGRR.
inline QColor ColorFromRef(std::uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace platform
