#include "ui/window_display.h"

namespace scrivola {

ColorValue meterColor(std::int16_t value) {
    if (value < 75) {
        return 0x00FF00;  // green
    }
    if (value <= 95) {
        return 0x00FFFF;  // yellow
    }
    return 0x0000FF;  // red
}

void plotScopePoint(std::int16_t index, float value, PictureBox& box) {
    // Summed in double, handed on in single precision as the point's y.
    const double y = static_cast<double>(value) + 125.0;
    box.setPoint(static_cast<float>(index), static_cast<float>(y), kScopeColor);
}

void drawMeter(std::int16_t value, PictureBox& box) {
    box.drawLine(0.0f, 0.0f, static_cast<float>(value), 0.0f, meterColor(value));
}

WindowDisplay::WindowDisplay(PictureBox& wpb1, PictureBox& o1VU, PictureBox& picture1,
                             PictureBox& picture2)
    : wpb1_(wpb1), o1VU_(o1VU), picture1_(picture1), picture2_(picture2) {}

void WindowDisplay::show(const DisplayRecord& shown) {
    wpb1_.clear();
    o1VU_.clear();
    picture1_.clear();
    picture2_.clear();
    for (std::int16_t index = 0; index < kTableSize; ++index) {
        plotScopePoint(index, shown.scopeA[index], wpb1_);
        plotScopePoint(index, shown.scopeB[index], picture1_);
    }
    drawMeter(shown.meterA, o1VU_);
    drawMeter(shown.meterB, picture2_);
}

}  // namespace scrivola
