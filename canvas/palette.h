// The palette: eight swatches `lblcolor(0)`..`lblcolor(7)` beside the drawing
// surface. Clicking one makes its colour the pen colour, and the pen colour
// decides what a stroke does.
//
// The swatches' colours live in the swatch labels themselves: the window
// implements SwatchLabels over its eight labels' background colours, and a
// click copies the colour the clicked label has at that moment. There is no
// separate colour table here.
#pragma once

#include <cstdint>

#include "canvas/pen_surface.h"

namespace scrivola {

inline constexpr int kSwatchCount = 8;

// The window's eight swatch labels, by index 0..7.
class SwatchLabels {
public:
    virtual ~SwatchLabels() = default;
    virtual void setBackColor(int index, ColorValue color) = 0;
    virtual ColorValue backColor(int index) const = 0;
};

class Palette {
public:
    Palette(SwatchLabels& swatches, PenSurface& surface);

    // Start-up: swatch i gets entry i + 8 of the standard palette, swatch 0
    // first; then the surface gets a white pen (entry 15) and a black
    // background (entry 0).
    void applyStartupColours();

    // A click on swatch `index`: the pen colour becomes the swatch's
    // background colour and nothing else changes. An index outside 0..7 is
    // ignored.
    void choose(std::int16_t index);

private:
    SwatchLabels& swatches_;
    PenSurface& surface_;
};

}  // namespace scrivola
