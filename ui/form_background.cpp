#include "ui/form_background.h"

#include <QRadialGradient>

#include "canvas/standard_palette.h"
#include "ui/bevel.h"
#include "ui/design_font.h"
#include "ui/form_layout.h"
#include "ui/twips.h"

namespace scrivola {

namespace {

const BevelColours kPanelEdge{{128, 128, 128}, {24, 24, 24}, {100, 100, 100}, {44, 44, 44}};
const BevelColours kWellEdge{{28, 28, 28}, {128, 128, 128}, {16, 16, 16}, {96, 96, 96}};
const QColor kPanelFace(76, 76, 76);
const QColor kLabelInk(170, 170, 170);

QRect pixelRect(int left, int top, int right, int bottom) {
    return QRect(QPoint(twipsToPixels(left), twipsToPixels(top)),
                 QPoint(twipsToPixels(right), twipsToPixels(bottom)));
}

void raisedPanel(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, kPanelFace);
    drawBevel(painter, rect, kPanelEdge);
}

void buttonFaces(QPainter& painter) {
    for (const ButtonDesign& button : kButtons) {
        const QRect rect = twipsRect(button.left, button.top, button.width, button.height);
        painter.fillRect(rect, toQColor(button.face));
        drawBevel(painter, rect, kRaisedButton);
        painter.setPen(Qt::black);
        painter.setFont(designFont(button.font));
        painter.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromUtf8(button.caption));
    }
}

void swatchWells(QPainter& painter) {
    for (const SwatchDesign& swatch : kSwatches) {
        const QRect inner = twipsRect(kSwatchLeft, swatch.top, kSwatchSize, kSwatchSize);
        const QRect well = inner.adjusted(-3, -3, 3, 3);
        painter.fillRect(well, QColor(20, 20, 20));
        drawBevel(painter, well, kWellEdge);
        painter.fillRect(inner,
                         toQColor(kStandardPalette[static_cast<std::size_t>(swatch.index) + 8]));
    }
}

const PictureDesign& picture(const char* name) {
    for (const PictureDesign& design : kPictures) {
        if (std::string_view(design.name) == name) {
            return design;
        }
    }
    return kPictures.front();
}

void displayWell(QPainter& painter, const PictureDesign& design, bool centreLine) {
    const QRect rect = twipsRect(design.left, design.top, design.width, design.height);
    painter.fillRect(rect, toQColor(design.backColor));
    drawBevel(painter, rect, kClientEdge);
    if (centreLine) {
        painter.setPen(QColor(0, 150, 0));
        const int middle = rect.center().y();
        painter.drawLine(rect.left() + 3, middle, rect.right() - 3, middle);
    }
}

void sliderGroove(QPainter& painter, const SliderDesign& slider) {
    const QRect rect = twipsRect(slider.left, slider.top, slider.width, slider.height);
    const QRect groove(rect.left() + 4, rect.top() + 8, rect.width() - 8, 4);
    painter.fillRect(groove, QColor(24, 24, 24));
    painter.setPen(QColor(110, 110, 110));
    painter.drawLine(groove.bottomLeft() + QPoint(0, 1), groove.bottomRight() + QPoint(0, 1));
}

void smallCaption(QPainter& painter, const QRect& rect, const QString& text) {
    QFont font = designFont({6.75, true});
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    painter.setFont(font);
    painter.setPen(kLabelInk);
    painter.drawText(rect, Qt::AlignCenter, text);
}

void drawingFrame(QPainter& painter) {
    const QRect frame = pixelRect(2640, 240, 8040, 10200);
    painter.fillRect(frame, Qt::black);
    QRadialGradient glow(QPointF(frame.center()), frame.width() * 0.75);
    glow.setColorAt(0.0, QColor(72, 72, 72));
    glow.setColorAt(0.55, QColor(22, 22, 22));
    glow.setColorAt(1.0, QColor(0, 0, 0));
    painter.fillRect(frame.adjusted(1, 1, 0, 0), glow);
}

void frameLines(QPainter& painter) {
    painter.setPen(QPen(toQColor(kLineColor), 1));
    for (const LineDesign& line : kLines) {
        painter.drawLine(twipsToPixels(line.x1), twipsToPixels(line.y1), twipsToPixels(line.x2),
                         twipsToPixels(line.y2));
    }
}

}  // namespace

void paintFormBackground(QPainter& painter) {
    painter.fillRect(
        QRect(0, 0, twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips)),
        toQColor(kFormBackColor));
    raisedPanel(painter, pixelRect(240, 240, 1320, 2520));
    raisedPanel(painter, pixelRect(1560, 240, 2280, 6360));
    raisedPanel(painter, pixelRect(120, 6600, 2280, 8280));
    raisedPanel(painter, pixelRect(120, 8280, 2280, 9840));
    drawingFrame(painter);
    swatchWells(painter);
    displayWell(painter, picture("WPB1"), true);
    displayWell(painter, picture("Picture1"), true);
    displayWell(painter, picture("o1VU"), false);
    displayWell(painter, picture("Picture2"), false);
    for (const SliderDesign& slider : kSliders) {
        sliderGroove(painter, slider);
    }
    buttonFaces(painter);
    smallCaption(painter, twipsRect(240, 4560, 1095, 225), QStringLiteral("DECAY"));
    smallCaption(painter, twipsRect(120, 10230, 2175, 225), QStringLiteral("LEVEL"));
    frameLines(painter);
}

QPixmap renderFormBackground(qreal devicePixelRatio) {
    const QSize size(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    paintFormBackground(painter);
    return pixmap;
}

}  // namespace scrivola
