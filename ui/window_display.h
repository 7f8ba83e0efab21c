// The tick's displays on the window: after each tick, each voice's scope and
// level meter take their part of what the tick recorded.
#pragma once

#include "synth/tick_io.h"
#include "ui/meter_view.h"
#include "ui/scope_view.h"

namespace scrivola {

class WindowDisplay {
public:
    WindowDisplay(ScopeView& wpb1, MeterView& o1VU, ScopeView& picture1, MeterView& picture2);

    void show(const DisplayRecord& shown);

private:
    ScopeView& wpb1_;
    MeterView& o1VU_;
    ScopeView& picture1_;
    MeterView& picture2_;
};

}  // namespace scrivola
