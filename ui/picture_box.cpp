#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/bevel.h"
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
    : QWidget(parent), scale_(scale), lineWidth_(std::max(1, lineWidth)), backColor_(backColor) {
    setObjectName(name);
    // The box paints every pixel of itself, so nothing behind it is redrawn.
    setAttribute(Qt::WA_OpaquePaintEvent);
    ratio_ = devicePixelRatioF();
}

QSize PictureBox::drawingAreaSize() const {
    return QSize(std::max(0, width() - 2 * kBorderPixels),
                 std::max(0, height() - 2 * kBorderPixels));
}

double PictureBox::toLogicalX(double x) const {
    return x * scale_.unitXTwips / kTwipsPerPixel;
}

double PictureBox::toLogicalY(double y) const {
    return y * scale_.unitYTwips / kTwipsPerPixel;
}

void PictureBox::clear() {
    if (image_.isNull()) {
        rebuildImage(ratio_);
    }
    image_.fill(toQColor(backColor_));
    currentX_ = 0.0f;
    currentY_ = 0.0f;
    touch(image_.rect());
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
    touch(image_.rect());
}

void PictureBox::setBackColor(ColorValue color) {
    backColor_ = color;
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

void PictureBox::setPoint(float x, float y, ColorValue color) {
    currentX_ = x;
    currentY_ = y;
    const double left = toLogicalX(x);
    const double top = toLogicalY(y);
    if (!std::isfinite(left) || !std::isfinite(top)) {
        return;
    }
    // The point covers the logical pixel it falls in; a wider point is
    // centred on that pixel.
    const int before = (lineWidth_ - 1) / 2;
    fillLogicalSquare(std::floor(left) - before, std::floor(top) - before, lineWidth_, color);
}

// Writes the pixels directly: a painter per point would cost several times
// the whole tick's arithmetic.
void PictureBox::fillLogicalSquare(double left, double top, int size, ColorValue color) {
    if (image_.isNull()) {
        rebuildImage(ratio_);
    }
    const double width = image_.width();
    const double height = image_.height();
    // Clamped in floating point first, so huge positions cannot overflow.
    const double x0 = std::clamp(std::round(left * ratio_), 0.0, width);
    const double x1 = std::clamp(std::round((left + size) * ratio_), 0.0, width);
    const double y0 = std::clamp(std::round(top * ratio_), 0.0, height);
    const double y1 = std::clamp(std::round((top + size) * ratio_), 0.0, height);
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const QRgb rgb = toQColor(color).rgb();
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int row = static_cast<int>(y0); row < static_cast<int>(y1); ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + row * stride);
        std::fill(line + static_cast<int>(x0), line + static_cast<int>(x1), rgb);
    }
    touch(QRect(QPoint(static_cast<int>(x0), static_cast<int>(y0)),
                QPoint(static_cast<int>(x1) - 1, static_cast<int>(y1) - 1)));
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
    painter.setPen(QPen(toQColor(color), lineWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    // The line's bounds, widened by the pen and its round caps.
    const double reach = lineWidth_;
    const QRectF bounds = QRectF(from, to).normalized().adjusted(-reach, -reach, reach, reach);
    touch(QRectF(bounds.topLeft() * ratio_, bounds.bottomRight() * ratio_).toAlignedRect());
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
    image_ = makeBackingImage(drawingAreaSize(), ratio_, backColor_);
    // The whole box is repainted after this; what was shown no longer counts.
    shown_ = QImage();
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
            static_cast<float>(at.x() * kTwipsPerPixel / scale_.unitXTwips),
            static_cast<float>(at.y() * kTwipsPerPixel / scale_.unitYTwips));
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

// Notes device pixels drawn on and, once per event, has the changed ones
// repainted after the event's drawing is done: a box cleared and drawn again
// the same way repaints nothing.
void PictureBox::touch(const QRect& devicePixels) {
    touched_ |= devicePixels & image_.rect();
    if (!repaintQueued_) {
        repaintQueued_ = true;
        QMetaObject::invokeMethod(
            this, [this] { repaintChanged(); }, Qt::QueuedConnection);
    }
}

void PictureBox::repaintChanged() {
    repaintQueued_ = false;
    const QRect area = touched_ & image_.rect();
    touched_ = QRect();
    if (area.isEmpty()) {
        return;
    }
    QRect changed = area;
    if (shown_.size() != image_.size()) {
        shown_ = image_.copy();
    } else {
        changed = changedSinceShown(area);
        for (int row = area.top(); row <= area.bottom(); ++row) {
            std::copy_n(reinterpret_cast<const QRgb*>(image_.constScanLine(row)) + area.left(),
                        area.width(), reinterpret_cast<QRgb*>(shown_.scanLine(row)) + area.left());
        }
    }
    if (changed.isEmpty()) {
        return;
    }
    const QRectF logical(QPointF(changed.topLeft()) / ratio_,
                         QPointF(changed.bottomRight() + QPoint(1, 1)) / ratio_);
    update(logical.toAlignedRect().translated(kBorderPixels, kBorderPixels));
}

// The smallest rectangle within `area` holding every pixel that differs
// from what was last shown.
QRect PictureBox::changedSinceShown(const QRect& area) const {
    QRect changed;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const QRgb* now = reinterpret_cast<const QRgb*>(image_.constScanLine(row));
        const QRgb* before = reinterpret_cast<const QRgb*>(shown_.constScanLine(row));
        int left = area.left();
        int right = area.right();
        while (left <= right && now[left] == before[left]) {
            ++left;
        }
        if (left > right) {
            continue;
        }
        while (now[right] == before[right]) {
            --right;
        }
        changed |= QRect(QPoint(left, row), QPoint(right, row));
    }
    return changed;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    if (image_.isNull() || devicePixelRatioF() != ratio_) {
        rebuildImage(devicePixelRatioF());
    }
    QPainter painter(this);
    const QRect area(QPoint(kBorderPixels, kBorderPixels), drawingAreaSize());
    if (!area.contains(event->rect())) {
        drawBevel(painter, rect(), kClientEdge);
    }
    painter.drawImage(QPointF(kBorderPixels, kBorderPixels), image_);
}

}  // namespace scrivola
