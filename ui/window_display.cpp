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

WindowDisplay::WindowDisplay(PictureBox& wpb1, PictureBox& o1VU, PictureBox& picture1,
                             PictureBox& picture2)
    : wpb1_(wpb1), o1VU_(o1VU), picture1_(picture1), picture2_(picture2) {}

PictureBox& WindowDisplay::boxOf(DisplayBox box) {
    switch (box) {
        case DisplayBox::WPB1:
            return wpb1_;
        case DisplayBox::o1VU:
            return o1VU_;
        case DisplayBox::Picture1:
            return picture1_;
        case DisplayBox::Picture2:
            break;
    }
    return picture2_;
}

bool WindowDisplay::clearBox(DisplayBox box) {
    boxOf(box).clear();
    return true;
}

bool WindowDisplay::plotScopePoint(std::int16_t index, float value, DisplayBox box) {
    // Summed in double, handed on in single precision as the point's y.
    const double y = static_cast<double>(value) + 125.0;
    boxOf(box).setPoint(static_cast<float>(index), static_cast<float>(y), kScopeColor);
    return true;
}

bool WindowDisplay::drawMeter(std::int16_t value, DisplayBox box) {
    boxOf(box).drawLine(0.0f, 0.0f, static_cast<float>(value), 0.0f, meterColor(value));
    return true;
}

}  // namespace scrivola
