#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/color_value_qt.h"
#include "ui/twips.h"

namespace scrivola {

namespace {

std::int16_t buttonCode(Qt::MouseButtons buttons) {
    std::int16_t code = 0;
    if (buttons & Qt::LeftButton) {
        code |= LeftButton;
    }
    if (buttons & Qt::RightButton) {
        code |= RightButton;
    }
    if (buttons & Qt::MiddleButton) {
        code |= MiddleButton;
    }
    return code;
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers) {
    std::int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

QImage makeBackingImage(QSize logicalSize, qreal ratio, ColorValue fill) {
    QImage image(std::max(1, qRound(logicalSize.width() * ratio)),
                 std::max(1, qRound(logicalSize.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(toQColor(fill));
    return image;
}

}  // namespace

PictureBox::PictureBox(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
                       QWidget* parent)
    : SunkenBox(name, scale, lineWidth, backColor, parent) {
    ratio_ = devicePixelRatioF();
}

void PictureBox::clear() {
    if (image_.isNull()) {
        rebuildImage(ratio_);
    }
    image_.fill(toQColor(backColor()));
    currentX_ = 0.0f;
    currentY_ = 0.0f;
    update();
}

void PictureBox::setDrawing(const QImage& drawing) {
    if (image_.isNull()) {
        rebuildImage(ratio_);
    }
    if (drawing.size() == image_.size()) {
        image_ = drawing.convertToFormat(image_.format());
        image_.setDevicePixelRatio(ratio_);
    } else {
        QPainter painter(&image_);
        painter.drawImage(image_.rect(), drawing);
    }
    update();
}

void PictureBox::setBackColor(ColorValue color) {
    setBackColorValue(color);
    const float x = currentX_;
    const float y = currentY_;
    clear();
    currentX_ = x;
    currentY_ = y;
}

void PictureBox::setCurrentPosition(float x, float y) {
    currentX_ = x;
    currentY_ = y;
}

void PictureBox::drawLine(float x1, float y1, float x2, float y2, ColorValue color) {
    currentX_ = x2;
    currentY_ = y2;
    const QPointF from(toLogicalX(x1), toLogicalY(y1));
    const QPointF to(toLogicalX(x2), toLogicalY(y2));
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) ||
        !std::isfinite(to.y())) {
        return;
    }
    if (image_.isNull()) {
        rebuildImage(ratio_);
    }
    QPainter painter(&image_);
    painter.setPen(QPen(toQColor(color), lineWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    // The line's bounds, widened by the pen and its round caps.
    const double reach = lineWidth();
    updateArea(
        QRectF(from, to).normalized().adjusted(-reach, -reach, reach, reach).toAlignedRect());
}

void PictureBox::setBackingRatio(qreal ratio) {
    if (ratio > 0.0) {
        rebuildImage(ratio);
        update();
    }
}

// A new backing image for the current size and `ratio`, holding what was drawn.
void PictureBox::rebuildImage(qreal ratio) {
    QImage old = image_;
    ratio_ = ratio;
    image_ = makeBackingImage(drawingAreaSize(), ratio_, backColor());
    if (!old.isNull()) {
        QPainter painter(&image_);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(old.deviceIndependentSize())), old);
    }
}

void PictureBox::resizeEvent(QResizeEvent*) {
    rebuildImage(ratio_);
}

void PictureBox::setMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up) {
    onDown_ = std::move(down);
    onMove_ = std::move(move);
    onUp_ = std::move(up);
    // Moves count with or without a button held.
    setMouseTracking(static_cast<bool>(onMove_));
}

void PictureBox::forward(const MouseHandler& handler, std::int16_t button,
                         const QMouseEvent& event) {
    if (!handler) {
        return;
    }
    const QPointF at = event.position() - QPointF(kBorderPixels, kBorderPixels);
    handler(button, shiftCode(event.modifiers()),
            static_cast<float>(at.x() * kTwipsPerPixel / scale().unitXTwips),
            static_cast<float>(at.y() * kTwipsPerPixel / scale().unitYTwips));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    forward(onDown_, buttonCode(event->button()), *event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    forward(onMove_, buttonCode(event->buttons()), *event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    forward(onUp_, buttonCode(event->button()), *event);
}

void PictureBox::paintArea(QPainter& painter, const QRect&) {
    if (image_.isNull() || devicePixelRatioF() != ratio_) {
        rebuildImage(devicePixelRatioF());
    }
    painter.drawImage(QPointF(0, 0), image_);
}

}  // namespace scrivola
