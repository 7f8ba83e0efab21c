// Colour values laid out 0x00BBGGRR (red in the low byte) as QColor.
#pragma once

#include <QColor>

#include "canvas/pen_surface.h"

namespace scrivola {

inline QColor toQColor(ColorValue value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

inline constexpr ColorValue rgbValue(int red, int green, int blue) {
    return static_cast<ColorValue>(red) | (static_cast<ColorValue>(green) << 8) |
           (static_cast<ColorValue>(blue) << 16);
}

}  // namespace scrivola
