// A colour swatch of the palette column: a plain square in its background
// colour that reports clicks with its index.
#pragma once

#include <QLabel>

#include "canvas/pen_surface.h"

namespace scrivola {

class SwatchLabel : public QLabel {
    Q_OBJECT

public:
    SwatchLabel(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    ColorValue backColor() const { return backColor_; }
    void setBackColor(ColorValue color);

Q_SIGNALS:
    // A press and release of the left button inside the swatch.
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
    ColorValue backColor_ = 0x000000;
    bool pressed_ = false;
};

}  // namespace scrivola
