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
    SilentSoundLayer sound;
    Form1 form{sound};
    PictureBox& wpb1 = *form.controls().WPB1;
    PictureBox& o1VU = *form.controls().o1VU;
    PictureBox& picture1 = *form.controls().Picture1;
    PictureBox& picture2 = *form.controls().Picture2;
};

TEST_F(ScopeDisplayTest, ATickDrawsBothTracesAndMetersIntoTheirBoxes) {
    DisplayRecord shown;
    shown.scopeA.fill(0.0f);
    shown.scopeB.fill(-125.0f);  // along the top edge
    shown.meterA = 80;
    shown.meterB = 10;
    form.display().show(shown);
    struct Case {
        PictureBox& box;
        QSize area;
        QRgb colour;
        int row;  // the row the drawing lies on
    };
    const Case cases[] = {
        {wpb1, {125, 85}, kGreen, 42},
        {picture1, {125, 77}, kGreen, 0},
        {o1VU, {141, 5}, kYellow, 0},
        {picture2, {141, 5}, kGreen, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.objectName().toStdString());
        const QImage& image = c.box.image();
        EXPECT_EQ(image.size(), c.area);
        const std::vector<QPoint> drawn = pixelsOf(image, c.colour);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.front().y(), c.row);
    }
    // A trace of one value runs edge to edge: every column has its point.
    EXPECT_EQ(pixelsOf(wpb1.image(), kGreen).size(), 125u);

    // The next tick's record replaces the whole picture.
    shown.scopeA.fill(std::numeric_limits<float>::quiet_NaN());
    shown.meterA = 0;
    form.display().show(shown);
    EXPECT_TRUE(pixelsOf(wpb1.image(), kGreen).empty());
    EXPECT_EQ(pixelsOf(wpb1.image(), qRgb(64, 64, 64)).size(), 125u * 85u);
    EXPECT_TRUE(pixelsOf(o1VU.image(), kYellow).empty());
}

TEST_F(ScopeDisplayTest, AnUnchangedRecordDrawsNothingUnlessABoxLostItsPicture) {
    DisplayRecord shown;
    shown.scopeA.fill(std::numeric_limits<float>::quiet_NaN());
    shown.scopeA[3] = 0.0f;  // one point
    shown.scopeB.fill(-0.0f);
    shown.meterA = 40;
    form.display().show(shown);
    PictureBox* boxes[] = {&wpb1, &picture1, &o1VU, &picture2};
    std::vector<qint64> keys;
    for (PictureBox* box : boxes) {
        keys.push_back(box->image().cacheKey());
    }
    shown.scopeB.fill(0.0f);  // the same pixels as -0
    form.display().show(shown);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(boxes[i]->image().cacheKey(), keys[i]) << i;
    }

    // A box whose picture was changed behind the display's back (rebuilt
    // for another screen, say) is drawn afresh.
    wpb1.clear();
    form.display().show(shown);
    EXPECT_EQ(pixelsOf(wpb1.image(), kGreen).size(), 1u);
}

TEST_F(ScopeDisplayTest, ASampleOfZeroLiesInTheVerticalMiddleOfEitherScope) {
    for (PictureBox* box : {&wpb1, &picture1}) {
        box->clear();
        for (std::int16_t index = 0; index <= 360; ++index) {
            plotScopePoint(index, 0.0f, *box);
        }
        const QImage& image = box->image();
        const std::vector<QPoint> points = pixelsOf(image, kGreen);
        ASSERT_FALSE(points.empty());
        const double middle = (image.height() - 1) / 2.0;
        for (const QPoint& p : points) {
            EXPECT_LE(std::abs(p.y() - middle), 0.5) << p.x() << "," << p.y();
        }
    }
}

TEST_F(ScopeDisplayTest, IndicesBeyondTheRightEdgeAndExtremeSamplesAreNotShown) {
    wpb1.clear();
    plotScopePoint(272, 0.0f, wpb1);
    EXPECT_EQ(pixelsOf(wpb1.image(), kGreen), (std::vector<QPoint>{QPoint(124, 42)}));

    wpb1.clear();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (std::int16_t index : {273, 300, 360}) {
        plotScopePoint(index, 0.0f, wpb1);
    }
    for (float value : {inf, -inf, nan, 126.0f, -126.0f, 3.0e38f, -3.0e38f}) {
        plotScopePoint(100, value, wpb1);
    }
    EXPECT_TRUE(pixelsOf(wpb1.image(), kGreen).empty());
}

TEST_F(ScopeDisplayTest, SamplesMoveDownwardAsTheyRise) {
    picture1.clear();
    plotScopePoint(50, -125.0f, picture1);  // top edge
    plotScopePoint(60, 124.0f, picture1);   // near the bottom
    const QImage& image = picture1.image();
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
    for (PictureBox* box : {&o1VU, &picture2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.peak);
            box->clear();
            drawMeter(c.peak, *box);
            const QImage& image = box->image();
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
    o1VU.clear();
    drawMeter(75, o1VU);
    const QImage& image = o1VU.image();
    const double reach = (barEnd(image, kYellow) + 1) / static_cast<double>(image.width());
    EXPECT_NEAR(reach, 0.88, 0.02) << barEnd(image, kYellow);

    for (std::int16_t peak : {96, 100, 360, 32767}) {
        o1VU.clear();
        drawMeter(peak, o1VU);
        EXPECT_EQ(barEnd(image, kRed), image.width() - 1) << peak;
    }
}

TEST_F(ScopeDisplayTest, TheMiddleStaysTheMiddleOnScaledScreens) {
    for (qreal ratio : {1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        wpb1.setBackingRatio(ratio);
        wpb1.clear();
        plotScopePoint(100, 0.0f, wpb1);
        const QImage& image = wpb1.image();
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
