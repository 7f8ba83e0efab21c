#include "icon_renderer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>

namespace scrivola {
namespace {

QByteArray appIconSvg() {
    QFile file(SCRIVOLA_ICON_SVG_PATH);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << SCRIVOLA_ICON_SVG_PATH;
    return file.readAll();
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

class AppIconSizes : public testing::TestWithParam<int> {};

// Every theme size: exact dimensions, an alpha channel, a transparent corner
// outside the rounded tile and an opaque centre.
TEST_P(AppIconSizes, RendersTheArtworkOnATransparentSquare) {
    const int size = GetParam();
    const auto image = renderIcon(appIconSvg(), size);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->size(), QSize(size, size));
    EXPECT_TRUE(image->hasAlphaChannel());
    EXPECT_EQ(alphaAt(*image, 0, 0), 0);
    EXPECT_EQ(alphaAt(*image, size - 1, size - 1), 0);
    EXPECT_EQ(alphaAt(*image, size / 2, size / 2), 255);
}

INSTANTIATE_TEST_SUITE_P(ThemeSizes, AppIconSizes, testing::Values(16, 32, 48, 128, 256));

TEST(IconRenderer, FitsWideArtworkIntoTheSquareCentredVertically) {
    const QByteArray wide = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 200 100">)"
                            R"(<rect width="200" height="100" fill="#ff0000"/></svg>)";
    const auto image = renderIcon(wide, 32);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(alphaAt(*image, 16, 2), 0);    // band above the artwork
    EXPECT_EQ(alphaAt(*image, 16, 29), 0);   // band below it
    EXPECT_EQ(alphaAt(*image, 0, 16), 255);  // full width in the middle
    EXPECT_EQ(alphaAt(*image, 31, 16), 255);
    EXPECT_EQ(image->pixel(16, 16), qRgb(255, 0, 0));
}

TEST(IconRenderer, RefusesWhatWouldInstallABrokenIcon) {
    const QByteArray valid = appIconSvg();
    const QByteArray blank = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 64 64"/>)";
    const struct {
        const char* what;
        QByteArray svg;
        int size;
    } cases[] = {
        {"empty input", QByteArray(), 32},
        {"not SVG", QByteArray("\x89PNG not an svg"), 32},
        {"artwork that draws nothing", blank, 32},
        {"zero size", valid, 0},
        {"negative size", valid, -16},
        {"oversized", valid, kMaxIconSize + 1},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(renderIcon(c.svg, c.size).has_value()) << c.what;
    }
    EXPECT_TRUE(renderIcon(valid, kMaxIconSize).has_value());
}

}  // namespace
}  // namespace scrivola

// Offscreen unless the environment chooses another platform, so the test
// also runs (and lists its cases) without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
