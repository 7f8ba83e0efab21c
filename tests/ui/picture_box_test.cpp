// The drawing surface: clearing, lines in its own scale, what may not be
// drawn, the backing image at other pixel ratios, and its mouse events in box
// units.
#include "ui/picture_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <limits>
#include <vector>

namespace scrivola {
namespace {

constexpr ColorValue kWhite = 0xFFFFFF;

int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// A box measured in twips, 100 x 80 logical pixels of drawing area.
struct TwipsBox : ::testing::Test {
    TwipsBox() {
        box.setGeometry(0, 0, 104, 84);
        box.clear();
    }
    PictureBox box{"box", {1.0, 1.0}, 1, 0x000000};
};

TEST_F(TwipsBox, ClearFillsTheBackgroundAndMovesThePositionHome) {
    box.drawLine(150.0f, 150.0f, 300.0f, 450.0f, kWhite);
    box.clear();
    EXPECT_EQ(box.currentX(), 0.0f);
    EXPECT_EQ(box.currentY(), 0.0f);
    EXPECT_EQ(box.image().size(), QSize(100, 80));
    EXPECT_EQ(countPixels(box.image(), qRgb(0, 0, 0)), 100 * 80);
}

TEST_F(TwipsBox, LinesLandOnTheirPixels) {
    box.drawLine(0.0f, 15.0f * 40, 15.0f * 60, 15.0f * 40, 0x0000FF);
    EXPECT_EQ(box.image().pixel(0, 40), qRgb(255, 0, 0));
    EXPECT_EQ(box.image().pixel(30, 40), qRgb(255, 0, 0));
    EXPECT_EQ(box.image().pixel(59, 40), qRgb(255, 0, 0));
    EXPECT_NE(box.image().pixel(62, 40), qRgb(255, 0, 0));
    EXPECT_EQ(box.currentX(), 900.0f);
    EXPECT_EQ(box.currentY(), 600.0f);
}

TEST_F(TwipsBox, PositionsThatCannotBeShownDrawNothingAndDoNotFail) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float bad : {nan, inf, -inf}) {
        box.drawLine(bad, 10.0f, 30.0f, 30.0f, kWhite);
        box.drawLine(10.0f, 10.0f, 30.0f, bad, kWhite);
    }
    EXPECT_EQ(countPixels(box.image(), qRgb(255, 255, 255)), 0);
}

TEST_F(TwipsBox, ANewBackgroundColourErasesTheDrawing) {
    box.drawLine(30.0f, 30.0f, 90.0f, 30.0f, kWhite);
    box.setBackColor(0xFF0000);
    EXPECT_EQ(countPixels(box.image(), qRgb(0, 0, 255)), 100 * 80);
}

TEST_F(TwipsBox, DrawingIsKeptAndSharpAtOtherPixelRatios) {
    const auto lineAcrossRow20 = [this] {
        box.drawLine(0.0f, 15 * 20.5f, 1500.0f, 15 * 20.5f, kWhite);
    };
    for (qreal ratio : {1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        box.setBackingRatio(1.0);
        box.clear();
        lineAcrossRow20();
        box.setBackingRatio(ratio);
        EXPECT_EQ(box.image().size(), QSize(qRound(100 * ratio), qRound(80 * ratio)));
        // The centre of logical pixel (10, 20) keeps the line.
        const QPoint centre(static_cast<int>(10.5 * ratio), static_cast<int>(20.5 * ratio));
        EXPECT_EQ(box.image().pixel(centre), qRgb(255, 255, 255));
    }
    // At 2x a new one-pixel line is two device pixels thick.
    box.clear();
    lineAcrossRow20();
    EXPECT_EQ(countPixels(box.image(), qRgb(255, 255, 255)), 2 * 200);
}

struct MouseCall {
    int kind;
    std::int16_t button;
    std::int16_t shift;
    float x;
    float y;
};

TEST_F(TwipsBox, MouseEventsArriveInBoxUnitsWithButtonAndModifiers) {
    std::vector<MouseCall> calls;
    auto record = [&calls](int kind) {
        return [&calls, kind](std::int16_t button, std::int16_t shift, float x, float y) {
            calls.push_back({kind, button, shift, x, y});
        };
    };
    box.setMouseHandlers(record(0), record(1), record(2));
    const QPointF at(12.5, 22.0);  // widget coordinates, border included
    const QPointF global = box.mapToGlobal(at);

    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(&box, &press);
    QMouseEvent move(QEvent::MouseMove, at + QPointF(-20, -30), global, Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(&box, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&box, &release);

    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, 0);
    EXPECT_EQ(calls[0].button, 1);
    EXPECT_EQ(calls[0].shift, 1);
    EXPECT_FLOAT_EQ(calls[0].x, (12.5f - 2.0f) * 15.0f);
    EXPECT_FLOAT_EQ(calls[0].y, 20.0f * 15.0f);
    EXPECT_EQ(calls[1].kind, 1);
    EXPECT_EQ(calls[1].button, 3);
    EXPECT_EQ(calls[1].shift, 6);
    EXPECT_FLOAT_EQ(calls[1].x, -9.5f * 15.0f);  // outside the box: not clamped
    EXPECT_FLOAT_EQ(calls[1].y, -10.0f * 15.0f);
    EXPECT_EQ(calls[2].kind, 2);
    EXPECT_EQ(calls[2].button, 4);
    EXPECT_EQ(calls[2].shift, 0);
}

}  // namespace
}  // namespace scrivola
