#include "ui/flat_button.h"

#include <QPainter>
#include <QTextLayout>

#include "ui/bevel.h"

namespace scrivola {

FlatButton::FlatButton(const QString& name, const QString& caption, QColor face, QWidget* parent)
    : QAbstractButton(parent), face_(face) {
    setObjectName(name);
    setText(caption);
    setFocusPolicy(Qt::TabFocus);
}

void FlatButton::setTextColor(QColor color) {
    textColor_ = color;
    update();
}

void FlatButton::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QRect FlatButton::captionRect() const {
    return rect().adjusted(kEdgePixels, kEdgePixels, -kEdgePixels, -kEdgePixels);
}

QStringList FlatButton::captionLines() const {
    QStringList lines;
    QTextLayout layout(text(), font());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(captionRect().width());
        lines << text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

QSize FlatButton::sizeHint() const {
    return QSize(57, 17);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunken = isDown() || (isCheckable() && isChecked());
    painter.fillRect(rect(), face_);
    if (!picture_.isNull()) {
        QRect target(QPoint(0, 0), picture_.deviceIndependentSize().toSize());
        target.moveCenter(rect().center());
        painter.setClipRect(captionRect());
        painter.drawPixmap(target, picture_);
        painter.setClipping(false);
    }
    drawBevel(painter, rect(), sunken ? kPressedButton : kRaisedButton);
    if (!text().isEmpty()) {
        QRect area = captionRect();
        if (sunken) {
            area.translate(1, 1);
        }
        painter.setPen(textColor_);
        painter.setFont(font());
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
    }
    // The focus mark shows only once the keyboard has moved the focus.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        painter.setPen(QPen(textColor_, 1, Qt::DotLine));
        painter.drawRect(captionRect().adjusted(1, 1, -2, -2));
    }
}

}  // namespace scrivola
