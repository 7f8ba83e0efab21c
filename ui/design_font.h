// The window's fonts: Tahoma where the machine has it, otherwise the
// desktop's sans-serif face, sized in pixels as designed at 96 dpi.
#pragma once

#include <QFont>
#include <QString>

#include "ui/form_layout.h"

namespace scrivola {

// The family used for every caption: "Tahoma" if installed or loadable from
// a Tahoma-compatible face shipped with the system, else "Sans Serif".
QString captionFamily();

QFont designFont(FontDesign design);

}  // namespace scrivola
