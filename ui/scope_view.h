// A voice's scope: one green point for each of the tick's 361 scope values,
// at (index, value + 125) in the box's units, 125 being the middle of the box.
// Values that cannot be shown (beyond the box, infinite, NaN) show nothing.
#pragma once

#include <array>

#include "synth/tick_io.h"
#include "ui/sunken_box.h"

namespace scrivola {

inline constexpr ColorValue kScopeColor = 0x00FF00;  // green

class ScopeView : public SunkenBox {
    Q_OBJECT

public:
    using Trace = std::array<float, kTableSize>;

    ScopeView(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
              QWidget* parent = nullptr);

    // Shows `trace` instead of the trace shown so far (at first, none) and has
    // the rectangle around the points that moved repainted.
    void show(const Trace& trace);

protected:
    void paintArea(QPainter& painter, const QRect& dirty) override;

private:
    // The logical pixels of the point for `value` at `index`; empty for an
    // infinite or NaN value. The painter leaves out what lies beyond the box.
    QRect pointAt(int index, float value) const;

    // What the scope shows: the trace, and each value's point, computed once
    // when the value arrives.
    Trace trace_;
    std::array<QRect, kTableSize> points_{};
};

}  // namespace scrivola
