// A voice's level meter: a bar along the top edge from 0 to the tick's peak
// in the box's units, coloured by band.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/sunken_box.h"

namespace scrivola {

// A meter's colour by band: green below 75, yellow 75..95, red from 96 on.
ColorValue meterColor(std::int16_t value);

class MeterView : public SunkenBox {
    Q_OBJECT

public:
    MeterView(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
              QWidget* parent = nullptr);

    // Shows a bar for `peak` instead of the bar shown so far (at first, none)
    // and has the rectangle the two cover repainted.
    void show(std::int16_t peak);

protected:
    void paintArea(QPainter& painter, const QRect& dirty) override;

private:
    // The end of the bar for `peak` in logical pixels.
    double barEnd(std::int16_t peak) const;
    // The logical pixels the bar for `peak` may cover, round ends included.
    QRect barBounds(std::int16_t peak) const;

    std::optional<std::int16_t> peak_;
};

}  // namespace scrivola
