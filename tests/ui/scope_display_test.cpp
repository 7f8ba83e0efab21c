// The scope traces and level meters as drawn into the window's display
// boxes, read back from their backing images.
#include <gtest/gtest.h>

#include <QApplication>
#include <cmath>
#include <limits>

#include "audio/silent_sound_layer.h"
#include "ui/form1.h"
#include "ui/window_display.h"

namespace scrivola {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

std::vector<QPoint> pixelsOf(const QImage& image, QRgb colour) {
    std::vector<QPoint> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                found.emplace_back(x, y);
            }
        }
    }
    return found;
}

// The rightmost column of row 0 in `colour`, or -1.
int barEnd(const QImage& image, QRgb colour) {
    int end = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, 0) == colour) {
            end = x;
        }
    }
    return end;
}

class ScopeDisplayTest : public ::testing::Test {
protected:
    PictureBox& box(DisplayBox which) {
        const FormControls& c = form.controls();
        switch (which) {
            case DisplayBox::WPB1:
                return *c.WPB1;
            case DisplayBox::o1VU:
                return *c.o1VU;
            case DisplayBox::Picture1:
                return *c.Picture1;
            case DisplayBox::Picture2:
                break;
        }
        return *c.Picture2;
    }

    SilentSoundLayer sound;
    Form1 form{sound};
    ScopeDisplay& display = form.display();
};

TEST_F(ScopeDisplayTest, DisplayBoxesHaveTheirDrawingAreasAndBackgrounds) {
    struct Case {
        DisplayBox box;
        QSize area;
        QRgb background;
    };
    const Case cases[] = {
        {DisplayBox::WPB1, {125, 85}, qRgb(64, 64, 64)},
        {DisplayBox::Picture1, {125, 77}, qRgb(64, 64, 64)},
        {DisplayBox::o1VU, {141, 5}, qRgb(0, 0, 0)},
        {DisplayBox::Picture2, {141, 5}, qRgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(display.clearBox(c.box));
        const QImage& image = box(c.box).image();
        EXPECT_EQ(image.size(), c.area);
        EXPECT_EQ(pixelsOf(image, c.background).size(),
                  static_cast<std::size_t>(c.area.width() * c.area.height()));
    }
}

TEST_F(ScopeDisplayTest, ASampleOfZeroLiesInTheVerticalMiddleOfEitherScope) {
    for (DisplayBox which : {DisplayBox::WPB1, DisplayBox::Picture1}) {
        display.clearBox(which);
        for (std::int16_t index = 0; index <= 360; ++index) {
            ASSERT_TRUE(display.plotScopePoint(index, 0.0f, which));
        }
        const QImage& image = box(which).image();
        const std::vector<QPoint> points = pixelsOf(image, kGreen);
        ASSERT_FALSE(points.empty());
        const double middle = (image.height() - 1) / 2.0;
        for (const QPoint& p : points) {
            EXPECT_LE(std::abs(p.y() - middle), 0.5) << p.x() << "," << p.y();
        }
        // Every column of the box gets its point: the trace runs edge to edge.
        EXPECT_EQ(points.size(), static_cast<std::size_t>(image.width()));
    }
}

TEST_F(ScopeDisplayTest, IndicesBeyondTheRightEdgeAndExtremeSamplesAreNotShown) {
    display.clearBox(DisplayBox::WPB1);
    ASSERT_TRUE(display.plotScopePoint(272, 0.0f, DisplayBox::WPB1));
    EXPECT_EQ(pixelsOf(box(DisplayBox::WPB1).image(), kGreen),
              (std::vector<QPoint>{QPoint(124, 42)}));

    display.clearBox(DisplayBox::WPB1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (std::int16_t index : {273, 300, 360}) {
        EXPECT_TRUE(display.plotScopePoint(index, 0.0f, DisplayBox::WPB1));
    }
    for (float value : {inf, -inf, nan, 126.0f, -126.0f, 3.0e38f, -3.0e38f}) {
        EXPECT_TRUE(display.plotScopePoint(100, value, DisplayBox::WPB1));
    }
    EXPECT_TRUE(pixelsOf(box(DisplayBox::WPB1).image(), kGreen).empty());
}

TEST_F(ScopeDisplayTest, SamplesMoveDownwardAsTheyRise) {
    display.clearBox(DisplayBox::Picture1);
    display.plotScopePoint(50, -125.0f, DisplayBox::Picture1);  // top edge
    display.plotScopePoint(60, 124.0f, DisplayBox::Picture1);   // near the bottom
    const QImage& image = box(DisplayBox::Picture1).image();
    EXPECT_EQ(image.pixel(static_cast<int>(50 * 6.875 / 15), 0), kGreen);
    EXPECT_EQ(image.pixel(static_cast<int>(60 * 6.875 / 15), image.height() - 1), kGreen);
}

TEST_F(ScopeDisplayTest, MeterBarsTakeTheColourOfTheirBand) {
    struct Case {
        std::int16_t peak;
        QRgb colour;
    };
    const Case cases[] = {{0, kGreen}, {1, kGreen}, {74, kGreen},  {75, kYellow}, {95, kYellow},
                          {96, kRed},  {120, kRed}, {32767, kRed}, {-5, kGreen}};
    for (DisplayBox which : {DisplayBox::o1VU, DisplayBox::Picture2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.peak);
            display.clearBox(which);
            ASSERT_TRUE(display.drawMeter(c.peak, which));
            const QImage& image = box(which).image();
            if (c.peak > 1) {
                const int inside =
                    static_cast<int>(std::min(c.peak, std::int16_t{80}) * 24.75 / 15.0 / 2);
                EXPECT_EQ(image.pixel(inside, 0), c.colour);
                EXPECT_EQ(image.pixel(inside, 1), c.colour);
            }
            // Exactly one colour is drawn.
            for (QRgb other : {kGreen, kYellow, kRed}) {
                if (other != c.colour) {
                    EXPECT_TRUE(pixelsOf(image, other).empty());
                }
            }
        }
    }
}

TEST_F(ScopeDisplayTest, MeterBarLengthFollowsThePeak) {
    display.clearBox(DisplayBox::o1VU);
    display.drawMeter(75, DisplayBox::o1VU);
    const QImage& image = box(DisplayBox::o1VU).image();
    const double reach = (barEnd(image, kYellow) + 1) / static_cast<double>(image.width());
    EXPECT_NEAR(reach, 0.88, 0.02) << barEnd(image, kYellow);

    for (std::int16_t peak : {96, 100, 360, 32767}) {
        display.clearBox(DisplayBox::o1VU);
        display.drawMeter(peak, DisplayBox::o1VU);
        EXPECT_EQ(barEnd(image, kRed), image.width() - 1) << peak;
    }
}

TEST_F(ScopeDisplayTest, ClearingEndsThePreviousTicksDrawing) {
    display.plotScopePoint(10, 0.0f, DisplayBox::WPB1);
    display.drawMeter(50, DisplayBox::o1VU);
    display.clearBox(DisplayBox::WPB1);
    display.clearBox(DisplayBox::o1VU);
    EXPECT_TRUE(pixelsOf(box(DisplayBox::WPB1).image(), kGreen).empty());
    EXPECT_TRUE(pixelsOf(box(DisplayBox::o1VU).image(), kGreen).empty());
    EXPECT_EQ(box(DisplayBox::WPB1).currentX(), 0.0f);
    EXPECT_EQ(box(DisplayBox::o1VU).currentY(), 0.0f);
}

TEST_F(ScopeDisplayTest, TheMiddleStaysTheMiddleOnScaledScreens) {
    for (qreal ratio : {1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        box(DisplayBox::WPB1).setBackingRatio(ratio);
        display.clearBox(DisplayBox::WPB1);
        display.plotScopePoint(100, 0.0f, DisplayBox::WPB1);
        const QImage& image = box(DisplayBox::WPB1).image();
        const std::vector<QPoint> points = pixelsOf(image, kGreen);
        ASSERT_FALSE(points.empty());
        double sum = 0;
        for (const QPoint& p : points) {
            sum += p.y() + 0.5;
        }
        EXPECT_NEAR(sum / points.size() / image.height(), 0.5, 1.0 / image.height());
    }
}

}  // namespace
}  // namespace scrivola
