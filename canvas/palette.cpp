#include "canvas/palette.h"

#include "canvas/standard_palette.h"

namespace scrivola {

namespace {

constexpr int kFirstSwatchEntry = 8;

}  // namespace

Palette::Palette(SwatchLabels& swatches, PenSurface& surface)
    : swatches_(swatches), surface_(surface) {}

void Palette::applyStartupColours() {
    for (int index = 0; index < kSwatchCount; ++index) {
        swatches_.setBackColor(index, kStandardPalette[kFirstSwatchEntry + index]);
    }
    surface_.setForeColor(kWhite);
    surface_.setBackColor(kBlack);
}

void Palette::choose(std::int16_t index) {
    if (index < 0 || index >= kSwatchCount) {
        return;
    }
    surface_.setForeColor(swatches_.backColor(index));
}

}  // namespace scrivola
