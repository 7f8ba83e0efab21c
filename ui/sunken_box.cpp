#include "ui/sunken_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/bevel.h"

namespace scrivola {

SunkenBox::SunkenBox(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
                     QWidget* parent)
    : QWidget(parent), scale_(scale), lineWidth_(std::max(1, lineWidth)), backColor_(backColor) {
    setObjectName(name);
    // The box paints every pixel of itself, so nothing behind it is redrawn.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize SunkenBox::drawingAreaSize() const {
    return QSize(std::max(0, width() - 2 * kBorderPixels),
                 std::max(0, height() - 2 * kBorderPixels));
}

void SunkenBox::updateArea(const QRect& area) {
    const QRect inside = area & QRect(QPoint(0, 0), drawingAreaSize());
    if (!inside.isEmpty()) {
        update(inside.translated(kBorderPixels, kBorderPixels));
    }
}

void SunkenBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area(QPoint(kBorderPixels, kBorderPixels), drawingAreaSize());
    if (!area.contains(event->rect())) {
        drawBevel(painter, rect(), kClientEdge);
    }
    const QRect dirty = event->rect() & area;
    if (dirty.isEmpty()) {
        return;
    }
    painter.setClipRect(dirty);
    painter.translate(area.topLeft());
    paintArea(painter, dirty.translated(-area.topLeft()));
}

}  // namespace scrivola
