#include "ui/window_display.h"

#include <cmath>

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
    : wpb1_{wpb1}, o1VU_{o1VU}, picture1_{picture1}, picture2_{picture2} {}

namespace {

// Equal values draw equal pixels, whatever zero's sign; NaNs draw nothing
// and count as equal to each other.
bool sameTrace(const std::array<float, kTableSize>& a, const std::array<float, kTableSize>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(std::isnan(a[i]) && std::isnan(b[i]))) {
            return false;
        }
    }
    return true;
}

void drawTrace(const std::array<float, kTableSize>& trace, PictureBox& box) {
    for (std::int16_t index = 0; index < kTableSize; ++index) {
        plotScopePoint(index, trace[index], box);
    }
}

}  // namespace

template <typename Draw>
void WindowDisplay::redraw(Box& target, bool sameValues, Draw draw) {
    if (target.drawn && sameValues && target.box.image().cacheKey() == target.drawnKey) {
        return;
    }
    target.box.clear();
    draw(target.box);
    target.drawnKey = target.box.image().cacheKey();
    target.drawn = true;
}

void WindowDisplay::show(const DisplayRecord& shown) {
    redraw(wpb1_, sameTrace(shown.scopeA, last_.scopeA),
           [&](PictureBox& box) { drawTrace(shown.scopeA, box); });
    redraw(picture1_, sameTrace(shown.scopeB, last_.scopeB),
           [&](PictureBox& box) { drawTrace(shown.scopeB, box); });
    redraw(o1VU_, shown.meterA == last_.meterA,
           [&](PictureBox& box) { drawMeter(shown.meterA, box); });
    redraw(picture2_, shown.meterB == last_.meterB,
           [&](PictureBox& box) { drawMeter(shown.meterB, box); });
    last_ = shown;
}

}  // namespace scrivola
