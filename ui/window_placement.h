// Where the main window goes on its screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <algorithm>

namespace scrivola {

// The top-left corner that centres a frame of size `frame` in `available`,
// moved right and down as far as needed to keep that corner inside it: a
// window larger than the screen keeps its title and menu bar reachable.
inline QPoint centredTopLeft(QSize frame, const QRect& available) {
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(available.center());
    return {std::max(placed.left(), available.left()), std::max(placed.top(), available.top())};
}

}  // namespace scrivola
