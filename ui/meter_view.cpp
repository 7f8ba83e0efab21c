#include "ui/meter_view.h"

#include <QPainter>

#include "ui/color_value_qt.h"

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

MeterView::MeterView(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
                     QWidget* parent)
    : SunkenBox(name, scale, lineWidth, backColor, parent) {}

double MeterView::barEnd(std::int16_t peak) const {
    return toLogicalX(static_cast<float>(peak));
}

QRect MeterView::barBounds(std::int16_t peak) const {
    const double reach = lineWidth();
    return QRectF(QPointF(0, 0), QPointF(barEnd(peak), 0))
        .normalized()
        .adjusted(-reach, -reach, reach, reach)
        .toAlignedRect();
}

void MeterView::show(std::int16_t peak) {
    if (peak_ == peak) {
        return;
    }
    const QRect before = peak_ ? barBounds(*peak_) : QRect();
    peak_ = peak;
    updateArea(before | barBounds(peak));
}

void MeterView::paintArea(QPainter& painter, const QRect& dirty) {
    painter.fillRect(dirty, toQColor(backColor()));
    if (!peak_) {
        return;
    }
    painter.setPen(QPen(toQColor(meterColor(*peak_)), lineWidth(), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawLine(QPointF(0, 0), QPointF(barEnd(*peak_), 0));
}

}  // namespace scrivola
