#include "ui/form_face.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/form_background.h"
#include "ui/form_layout.h"
#include "ui/twips.h"

namespace scrivola {

FormFace::FormFace(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1Face"));
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormFace::paintEvent(QPaintEvent* event) {
    if (picture_.isNull() || picture_.devicePixelRatio() != devicePixelRatioF()) {
        picture_ = renderFormBackground(devicePixelRatioF());
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(QPoint(0, 0), picture_);
}

}  // namespace scrivola
