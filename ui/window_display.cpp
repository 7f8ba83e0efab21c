#include "ui/window_display.h"

namespace scrivola {

WindowDisplay::WindowDisplay(ScopeView& wpb1, MeterView& o1VU, ScopeView& picture1,
                             MeterView& picture2)
    : wpb1_(wpb1), o1VU_(o1VU), picture1_(picture1), picture2_(picture2) {}

void WindowDisplay::show(const DisplayRecord& shown) {
    wpb1_.show(shown.scopeA);
    picture1_.show(shown.scopeB);
    o1VU_.show(shown.meterA);
    picture2_.show(shown.meterB);
}

}  // namespace scrivola
