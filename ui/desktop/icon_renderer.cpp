#include "icon_renderer.h"

#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>

namespace scrivola {

namespace {

// The part of a size x size square that the artwork fills when scaled to fit.
QRectF fittedRect(const QSizeF& artwork, int size) {
    QSizeF fitted = artwork;
    fitted.scale(size, size, Qt::KeepAspectRatio);
    return QRectF((size - fitted.width()) / 2.0, (size - fitted.height()) / 2.0, fitted.width(),
                  fitted.height());
}

bool hasVisiblePixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return true;
        }
    }
    return false;
}

}  // namespace

std::optional<QImage> renderIcon(const QByteArray& svg, int size) {
    if (size < 1 || size > kMaxIconSize)
        return std::nullopt;
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return std::nullopt;
    const QSizeF artwork = renderer.viewBoxF().size();
    if (artwork.isEmpty())
        return std::nullopt;

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, fittedRect(artwork, size));
    }
    // A blank image means the artwork failed to draw; better no icon than an
    // invisible one installed into the theme.
    if (!hasVisiblePixel(image))
        return std::nullopt;
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace scrivola
