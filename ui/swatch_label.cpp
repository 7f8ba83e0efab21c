#include "ui/swatch_label.h"

#include <QMouseEvent>

#include "ui/color_value_qt.h"

namespace scrivola {

SwatchLabel::SwatchLabel(int index, QWidget* parent) : QLabel(parent), index_(index) {
    setObjectName(QStringLiteral("lblcolor(%1)").arg(index));
    setAutoFillBackground(true);
    setBackColor(backColor_);
}

void SwatchLabel::setBackColor(ColorValue color) {
    backColor_ = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(color));
    setPalette(colours);
}

void SwatchLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void SwatchLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        Q_EMIT clicked(index_);
    }
}

}  // namespace scrivola
