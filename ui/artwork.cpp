#include "ui/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

namespace scrivola {

namespace {

QPixmap renderSvg(const QString& resource, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(
            renderSvg(QStringLiteral(":/scrivola/scrivola-synth.svg"), QSize(side, side), 1.0));
    }
    return icon;
}

QPixmap checkPicture(CheckPicture picture, qreal devicePixelRatio) {
    switch (picture) {
        case CheckPicture::Sine:
            return renderSvg(QStringLiteral(":/scrivola/check-sine.svg"), QSize(40, 56),
                             devicePixelRatio);
        case CheckPicture::Square:
            return renderSvg(QStringLiteral(":/scrivola/check-square.svg"), QSize(40, 56),
                             devicePixelRatio);
        case CheckPicture::None:
            break;
    }
    return QPixmap();
}

}  // namespace scrivola
