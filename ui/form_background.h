// The window's background picture, drawn by the program at the window's
// designed size: raised panels behind the command buttons, the swatch column
// and the two display panels; button faces with their captions; a framed
// well for each swatch in its colour; green centre lines in the scope
// panels; slider grooves; the red exit button; the black drawing frame with
// a soft glow; and the sixteen frame lines on top.
#pragma once

#include <QPainter>
#include <QPixmap>

namespace scrivola {

// Paints the whole client area in logical pixels.
void paintFormBackground(QPainter& painter);

// The picture rendered for a screen of the given device-pixel ratio.
QPixmap renderFormBackground(qreal devicePixelRatio);

}  // namespace scrivola
