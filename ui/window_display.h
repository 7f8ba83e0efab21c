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

    // One tick's pictures: each voice's trace point by point and each voice's
    // meter, every box cleared first. A box that still holds what equal
    // values drew last time is left alone: in silence nothing changes from
    // tick to tick, and redrawing to compare would cost most of an idle tick.
    void show(const DisplayRecord& shown);

private:
    struct Box {
        PictureBox& box;
        // The backing image's key right after our last drawing: any other
        // change to the image (a rebuild for another screen, say) alters it.
        qint64 drawnKey = 0;
        bool drawn = false;
    };
    template <typename Draw>
    void redraw(Box& target, bool sameValues, Draw draw);

    Box wpb1_;
    Box o1VU_;
    Box picture1_;
    Box picture2_;
    DisplayRecord last_;
};

}  // namespace scrivola
