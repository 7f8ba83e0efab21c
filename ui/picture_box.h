// A picture box: a sunken two-pixel border around a drawing area with its own
// coordinate system, pen line width and colours. What is drawn goes into a
// backing image at the screen's device-pixel ratio, so it stays crisp on
// scaled screens and survives the window being covered. Once the current
// event has been handled, the widget repaints only the rectangle whose pixels
// changed, and nothing when a drawing came out as it was.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "canvas/pen_surface.h"

namespace scrivola {

class PictureBox : public QWidget {
    Q_OBJECT

public:
    // Size of one coordinate unit in twips along x and along y.
    struct Scale {
        double unitXTwips;
        double unitYTwips;
    };
    static constexpr int kBorderPixels = 2;

    // Mouse event in the box's units: button (1 left, 2 right, 4 middle; for
    // moves the set of held buttons), modifier keys (1 shift, 2 ctrl, 4 alt).
    using MouseHandler =
        std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>;

    PictureBox(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
               QWidget* parent = nullptr);

    Scale scale() const { return scale_; }
    int lineWidth() const { return lineWidth_; }
    // The drawing area in logical pixels (the widget less its border).
    QSize drawingAreaSize() const;

    // Erases to the background colour; the drawing position goes to (0, 0).
    void clear();
    // Replaces what is drawn with `drawing` (an image() saved earlier),
    // scaled to the backing image if its size differs. The drawing position
    // stays.
    void setDrawing(const QImage& drawing);
    // One point of the line width's size; the drawing position moves there.
    // Points outside the area, or at an infinite or NaN position, show nothing.
    void setPoint(float x, float y, ColorValue color);
    // A straight line of the line width; the drawing position moves to its end.
    void drawLine(float x1, float y1, float x2, float y2, ColorValue color);

    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    void setCurrentPosition(float x, float y);

    ColorValue foreColor() const { return foreColor_; }
    void setForeColor(ColorValue color) { foreColor_ = color; }
    ColorValue backColor() const { return backColor_; }
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
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double toLogicalX(double x) const;
    double toLogicalY(double y) const;
    void fillLogicalSquare(double left, double top, int size, ColorValue color);
    void rebuildImage(qreal ratio);
    void touch(const QRect& devicePixels);
    void repaintChanged();
    QRect changedSinceShown(const QRect& area) const;
    void forward(const MouseHandler& handler, std::int16_t button, const QMouseEvent& event);

    Scale scale_;
    int lineWidth_;
    ColorValue foreColor_ = 0x000000;
    ColorValue backColor_;
    float currentX_ = 0.0f;
    float currentY_ = 0.0f;
    qreal ratio_ = 1.0;
    QImage image_;
    // The pixels as last handed to the screen, and the device pixels drawn
    // on since then.
    QImage shown_;
    QRect touched_;
    bool repaintQueued_ = false;
    MouseHandler onDown_;
    MouseHandler onMove_;
    MouseHandler onUp_;
};

}  // namespace scrivola
