// The tick's display on the window: the scope traces and level meters of
// both voices, drawn into the four display boxes.
#pragma once

#include "synth/tick_io.h"
#include "ui/picture_box.h"

namespace scrivola {

inline constexpr ColorValue kScopeColor = 0x00FF00;  // green

// A meter's colour by band: green below 75, yellow 75..95, red from 96 on.
ColorValue meterColor(std::int16_t value);

class WindowDisplay final : public ScopeDisplay {
public:
    WindowDisplay(PictureBox& wpb1, PictureBox& o1VU, PictureBox& picture1, PictureBox& picture2);

    bool clearBox(DisplayBox box) override;
    // A green point at (index, value + 125), 125 being the middle of the box.
    bool plotScopePoint(std::int16_t index, float value, DisplayBox box) override;
    // A line along the top edge from 0 to `value` in its band's colour.
    bool drawMeter(std::int16_t value, DisplayBox box) override;

private:
    PictureBox& boxOf(DisplayBox box);

    PictureBox& wpb1_;
    PictureBox& o1VU_;
    PictureBox& picture1_;
    PictureBox& picture2_;
};

}  // namespace scrivola
