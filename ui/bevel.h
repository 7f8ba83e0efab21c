// Two-pixel 3D edges in the classic desktop look: raised for buttons and
// panels, sunken for wells and picture boxes.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace scrivola {

struct BevelColours {
    QColor outerTopLeft;
    QColor outerBottomRight;
    QColor innerTopLeft;
    QColor innerBottomRight;
};

inline const BevelColours kRaisedButton{
    {255, 255, 255}, {0, 0, 0}, {192, 192, 192}, {128, 128, 128}};
inline const BevelColours kPressedButton{
    {0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};
inline const BevelColours kClientEdge{{128, 128, 128}, {255, 255, 255}, {0, 0, 0}, {192, 192, 192}};

// Draws the edge on the outermost two pixel rings of `rect`.
inline void drawBevel(QPainter& painter, const QRect& rect, const BevelColours& colours) {
    auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const int left = rect.left() + inset;
        const int top = rect.top() + inset;
        const int right = rect.right() - inset;
        const int bottom = rect.bottom() - inset;
        painter.setPen(topLeft);
        painter.drawLine(left, top, right, top);
        painter.drawLine(left, top, left, bottom);
        painter.setPen(bottomRight);
        painter.drawLine(left, bottom, right, bottom);
        painter.drawLine(right, top, right, bottom);
    };
    ring(0, colours.outerTopLeft, colours.outerBottomRight);
    ring(1, colours.innerTopLeft, colours.innerBottomRight);
}

}  // namespace scrivola
