#include "canvas/palette.h"

#include "canvas/standard_palette.h"

namespace scrivola {

namespace {

constexpr int kFirstSwatchEntry = 8;

}  // namespace

Palette::Palette(SwatchLabels& lblcolor, PenSurface& picdraw)
    : lblcolor_(lblcolor), picdraw_(picdraw) {}

void Palette::applyStartupColours() {
    for (int index = 0; index < kSwatchCount; ++index) {
        lblcolor_.setBackColor(index, kStandardPalette[kFirstSwatchEntry + index]);
    }
    picdraw_.setForeColor(kWhite);
    picdraw_.setBackColor(kBlack);
}

void Palette::lblcolor_Click(std::int16_t index) {
    if (index < 0 || index >= kSwatchCount) {
        return;
    }
    picdraw_.setForeColor(lblcolor_.backColor(index));
}

}  // namespace scrivola
