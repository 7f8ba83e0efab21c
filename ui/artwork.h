// The program's own pictures, compiled into the binary: the window icon and
// the two waveform pictures of the switch boxes (a sine cycle and a square
// cycle, green on black).
#pragma once

#include <QIcon>
#include <QPixmap>

#include "ui/form_layout.h"

namespace scrivola {

QIcon applicationIcon();

// A 40 x 56 picture for the switch boxes; null for CheckPicture::None.
QPixmap checkPicture(CheckPicture picture, qreal devicePixelRatio = 1.0);

}  // namespace scrivola
