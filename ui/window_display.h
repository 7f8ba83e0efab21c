// The tick's displays on the window: after each tick, the scope traces and
// level meters of both voices drawn from what the tick recorded.
#pragma once

#include "synth/tick_io.h"
#include "ui/picture_box.h"

namespace scrivola {

inline constexpr ColorValue kScopeColor = 0x00FF00;  // green

// A meter's colour by band: green below 75, yellow 75..95, red from 96 on.
ColorValue meterColor(std::int16_t value);

// A green point at (index, value + 125), 125 being the middle of the box.
void plotScopePoint(std::int16_t index, float value, PictureBox& box);
// A line along the top edge from 0 to `value` in its band's colour.
void drawMeter(std::int16_t value, PictureBox& box);

class WindowDisplay {
public:
    WindowDisplay(PictureBox& wpb1, PictureBox& o1VU, PictureBox& picture1, PictureBox& picture2);

    // One tick's pictures: the four boxes cleared, each voice's trace point by
    // point, then each voice's meter. A box whose pixels come out as they
    // were is not repainted.
    void show(const DisplayRecord& shown);

private:
    PictureBox& wpb1_;
    PictureBox& o1VU_;
    PictureBox& picture1_;
    PictureBox& picture2_;
};

}  // namespace scrivola
