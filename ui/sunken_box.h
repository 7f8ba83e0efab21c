// A control with a sunken two-pixel border around a drawing area that has its
// own coordinate system (a scale in twips per unit), pen line width and
// background colour: the drawing surface, the scopes and the meters.
//
// Each kind keeps what it shows and paints it in paintArea; it asks for a
// repaint of no more than the part of the area that changed.
#pragma once

#include <QWidget>

#include "canvas/pen_surface.h"
#include "ui/twips.h"

class QPainter;

namespace scrivola {

class SunkenBox : public QWidget {
    Q_OBJECT

public:
    // Size of one coordinate unit in twips along x and along y.
    struct Scale {
        double unitXTwips;
        double unitYTwips;
    };
    static constexpr int kBorderPixels = 2;

    Scale scale() const { return scale_; }
    int lineWidth() const { return lineWidth_; }
    ColorValue backColor() const { return backColor_; }
    // The drawing area in logical pixels (the widget less its border).
    QSize drawingAreaSize() const;

protected:
    SunkenBox(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
              QWidget* parent);

    // A position in the box's units in the drawing area's logical pixels.
    double toLogicalX(double x) const { return x * scale_.unitXTwips / kTwipsPerPixel; }
    double toLogicalY(double y) const { return y * scale_.unitYTwips / kTwipsPerPixel; }
    // Has `area` (in the drawing area's logical pixels) repainted.
    void updateArea(const QRect& area);
    void setBackColorValue(ColorValue color) { backColor_ = color; }

    // Paints `dirty`, a part of the drawing area. The painter's origin is the
    // area's top-left corner and it draws nothing outside the area.
    virtual void paintArea(QPainter& painter, const QRect& dirty) = 0;

    void paintEvent(QPaintEvent* event) final;

private:
    Scale scale_;
    int lineWidth_;
    ColorValue backColor_;
};

}  // namespace scrivola
