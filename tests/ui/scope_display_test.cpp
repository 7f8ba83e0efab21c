// The scope traces and level meters as the window shows them, and the one
// rule of every box: repainting only what changed leaves on the screen what
// painting the whole window afresh would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <limits>

#include "audio/silent_sound_layer.h"
#include "ui/form1.h"

namespace scrivola {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);
const float kNaN = std::numeric_limits<float>::quiet_NaN();

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

// What a box's drawing area shows, painted afresh.
QImage areaOf(SunkenBox& box) {
    const int border = SunkenBox::kBorderPixels;
    return box.grab(QRect(QPoint(border, border), box.drawingAreaSize())).toImage();
}

// Each box of `form` shows on `screen` what it paints afresh.
void expectOnScreenAsPaintedAfresh(Form1& form, const QImage& screen, const char* when) {
    for (SunkenBox* box : form.findChildren<SunkenBox*>()) {
        const int border = SunkenBox::kBorderPixels;
        const QRect placed(box->mapTo(&form, QPoint(border, border)), box->drawingAreaSize());
        EXPECT_TRUE(screen.copy(placed) == areaOf(*box))
            << when << ": " << box->objectName().toStdString();
    }
}

ScopeView::Trace traceOf(float value) {
    ScopeView::Trace trace;
    trace.fill(value);
    return trace;
}

class ScopeDisplayTest : public ::testing::Test {
protected:
    SilentSoundLayer sound;
    Form1 form{sound};
    ScopeView& wpb1 = *form.controls().WPB1;
    MeterView& o1VU = *form.controls().o1VU;
    ScopeView& picture1 = *form.controls().Picture1;
    MeterView& picture2 = *form.controls().Picture2;
};

TEST_F(ScopeDisplayTest, ARecordsTracesAndPeaksLandInTheirBoxes) {
    DisplayRecord shown;
    shown.scopeA.fill(0.0f);
    shown.scopeB.fill(-125.0f);  // along the top edge
    shown.meterA = 80;
    shown.meterB = 10;
    form.display().show(shown);
    struct Case {
        SunkenBox& box;
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
        const QImage image = areaOf(c.box);
        EXPECT_EQ(image.size(), c.area);
        const std::vector<QPoint> drawn = pixelsOf(image, c.colour);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.front().y(), c.row);
    }
    // A trace of one value runs edge to edge: every column has its point.
    EXPECT_EQ(pixelsOf(areaOf(wpb1), kGreen).size(), 125u);

    // The next record replaces the whole picture.
    shown.scopeA.fill(kNaN);
    shown.meterA = 0;
    form.display().show(shown);
    EXPECT_TRUE(pixelsOf(areaOf(wpb1), kGreen).empty());
    EXPECT_EQ(pixelsOf(areaOf(wpb1), qRgb(64, 64, 64)).size(), 125u * 85u);
    EXPECT_TRUE(pixelsOf(areaOf(o1VU), kYellow).empty());
}

TEST_F(ScopeDisplayTest, SamplesMoveDownwardAsTheyRiseAndZeroIsTheMiddle) {
    for (ScopeView* scope : {&wpb1, &picture1}) {
        const int height = scope->drawingAreaSize().height();
        for (const auto& [value, row] :
             {std::pair{-125.0f, 0}, {0.0f, (height - 1) / 2}, {124.0f, height - 1}}) {
            SCOPED_TRACE(value);
            scope->show(traceOf(value));
            const std::vector<QPoint> points = pixelsOf(areaOf(*scope), kGreen);
            ASSERT_FALSE(points.empty());
            for (const QPoint& p : points) {
                EXPECT_EQ(p.y(), row);
            }
        }
    }
}

TEST_F(ScopeDisplayTest, IndicesBeyondTheRightEdgeAndExtremeSamplesAreNotShown) {
    ScopeView::Trace trace = traceOf(kNaN);
    trace[272] = 0.0f;
    wpb1.show(trace);
    EXPECT_EQ(pixelsOf(areaOf(wpb1), kGreen), (std::vector<QPoint>{QPoint(124, 42)}));

    trace = traceOf(0.0f);
    std::fill(trace.begin(), trace.begin() + 273, kNaN);
    const float inf = std::numeric_limits<float>::infinity();
    int index = 100;
    for (float value : {inf, -inf, 126.0f, -126.0f, 3.0e38f, -3.0e38f}) {
        trace[static_cast<std::size_t>(index++)] = value;
    }
    wpb1.show(trace);
    EXPECT_TRUE(pixelsOf(areaOf(wpb1), kGreen).empty());
}

TEST_F(ScopeDisplayTest, MeterBarsTakeTheColourOfTheirBand) {
    struct Case {
        std::int16_t peak;
        QRgb colour;
    };
    const Case cases[] = {{0, kGreen}, {1, kGreen}, {74, kGreen},  {75, kYellow}, {95, kYellow},
                          {96, kRed},  {120, kRed}, {32767, kRed}, {-5, kGreen}};
    for (MeterView* meter : {&o1VU, &picture2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.peak);
            meter->show(c.peak);
            const QImage image = areaOf(*meter);
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
    o1VU.show(75);
    QImage image = areaOf(o1VU);
    const double reach = (barEnd(image, kYellow) + 1) / static_cast<double>(image.width());
    EXPECT_NEAR(reach, 0.88, 0.02) << barEnd(image, kYellow);

    for (std::int16_t peak : {96, 100, 360, 32767}) {
        o1VU.show(peak);
        image = areaOf(o1VU);
        EXPECT_EQ(barEnd(image, kRed), image.width() - 1) << peak;
    }
}

// Counts the paint events a widget receives.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(ScopeDisplayTest, TheScreenShowsWhatAFullRepaintWouldAndSilenceRepaintsNothing) {
    ASSERT_TRUE(form.Form_Load());
    form.Timer1().setEnabled(false);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto onScreen = [this] {
        QTest::qWait(20);
        return form.screen()->grabWindow(form.winId()).toImage();
    };
    DisplayRecord shown;
    for (int i = 0; i < kTableSize; ++i) {
        shown.scopeA[static_cast<std::size_t>(i)] = static_cast<float>(100 * std::sin(i / 30.0));
        shown.scopeB[static_cast<std::size_t>(i)] = static_cast<float>(60 * std::cos(i / 15.0));
    }
    shown.meterA = 80;
    shown.meterB = 120;
    form.display().show(shown);
    onScreen();
    // Part of each trace moves or goes, and both bars shorten and change band.
    std::fill(shown.scopeA.begin() + 100, shown.scopeA.begin() + 180, 20.0f);
    std::fill(shown.scopeB.begin() + 50, shown.scopeB.begin() + 90, kNaN);
    shown.meterA = 30;
    shown.meterB = 90;
    form.display().show(shown);
    // A stroke across the surface, ending where it began.
    form.lblcolor_Click(4);
    form.picdraw_MouseDown(LeftButton, 0, 600.0f, 900.0f);
    for (const auto& [x, y] : {std::pair{3000.0f, 4000.0f}, {300.0f, 6000.0f}, {600.0f, 900.0f}}) {
        form.picdraw_MouseMove(LeftButton, 0, x, y);
    }
    form.picdraw_MouseUp(LeftButton, 0, 600.0f, 900.0f);
    expectOnScreenAsPaintedAfresh(form, onScreen(), "after the stroke");

    PaintCount count;
    for (SunkenBox* box : {static_cast<SunkenBox*>(&wpb1), static_cast<SunkenBox*>(&o1VU)}) {
        box->installEventFilter(&count);
    }
    shown.scopeA[0] = -0.0f;  // shows as 0 did
    form.display().show(shown);
    onScreen();
    EXPECT_EQ(count.paints, 0);
}

// While the tick runs, repaints wait for it: each tick leaves the screen as a
// full repaint would, with no event let run after it. While it sleeps,
// nothing waits.
TEST_F(ScopeDisplayTest, RepaintsWaitForTheTickOnlyWhileItRuns) {
    ASSERT_TRUE(form.Form_Load());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto screen = [this] { return form.screen()->grabWindow(form.winId()).toImage(); };
    form.lblcolor_Click(4);
    form.picdraw_MouseDown(LeftButton, 0, 600.0f, 900.0f);
    form.picdraw_MouseMove(LeftButton, 0, 3000.0f, 4000.0f);
    ASSERT_TRUE(form.Timer1().isTicking());
    form.Timer1_Timer();
    expectOnScreenAsPaintedAfresh(form, screen(), "ticking");

    form.Timer1().sleep();
    form.controls().picdraw->drawLine(300.0f, 6000.0f, 4000.0f, 600.0f, 0x00FFFF);
    QTest::qWait(20);
    expectOnScreenAsPaintedAfresh(form, screen(), "asleep");
}

}  // namespace
}  // namespace scrivola
