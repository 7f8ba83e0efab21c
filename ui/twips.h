// The window is laid out in twips, 15 to a logical pixel at the standard
// screen density (96 dpi). Every design position is a multiple of 15.
#pragma once

#include <QRect>

namespace scrivola {

constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

// Font sizes are given in points; at 96 dpi a point is 4/3 of a logical pixel.
// Fonts are sized in pixels so that captions keep their designed size
// whatever DPI the desktop reports.
constexpr int pointsToPixels(double points) {
    return static_cast<int>(points * 96.0 / 72.0 + 0.5);
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

}  // namespace scrivola
