// The drawing surface: a sunken box whose drawing is kept in a backing image
// at the screen's device-pixel ratio, so it stays crisp on scaled screens and
// survives the window being covered. Each drawing call has the rectangle it
// drew on repainted from the image.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>

#include "ui/sunken_box.h"

namespace scrivola {

class PictureBox : public SunkenBox {
    Q_OBJECT

public:
    // Mouse event in the box's units: button (1 left, 2 right, 4 middle; for
    // moves the set of held buttons), modifier keys (1 shift, 2 ctrl, 4 alt).
    using MouseHandler =
        std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>;

    PictureBox(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
               QWidget* parent = nullptr);

    // Erases to the background colour; the drawing position goes to (0, 0).
    void clear();
    // Replaces what is drawn with `drawing` (an image() saved earlier),
    // scaled to the backing image if its size differs. The drawing position
    // stays.
    void setDrawing(const QImage& drawing);
    // A straight line of the line width with round ends; the drawing position
    // moves to its end. A line with an infinite or NaN end shows nothing.
    void drawLine(float x1, float y1, float x2, float y2, ColorValue color);

    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    void setCurrentPosition(float x, float y);

    ColorValue foreColor() const { return foreColor_; }
    void setForeColor(ColorValue color) { foreColor_ = color; }
    // A new background colour erases the drawing to it.
    void setBackColor(ColorValue color);

    // The backing image; its size is the drawing area times backingRatio().
    const QImage& image() const { return image_; }
    qreal backingRatio() const { return ratio_; }
    // Rebuilds the backing image for another device-pixel ratio, keeping what
    // was drawn. Painting does this by itself when the widget changes screens.
    void setBackingRatio(qreal ratio);

    void setMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up);

protected:
    void paintArea(QPainter& painter, const QRect& dirty) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuildImage(qreal ratio);
    void forward(const MouseHandler& handler, std::int16_t button, const QMouseEvent& event);

    ColorValue foreColor_ = 0x000000;
    float currentX_ = 0.0f;
    float currentY_ = 0.0f;
    qreal ratio_ = 1.0;
    QImage image_;
    MouseHandler onDown_;
    MouseHandler onMove_;
    MouseHandler onUp_;
};

}  // namespace scrivola
