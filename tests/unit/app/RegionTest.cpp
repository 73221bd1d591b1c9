// The window's outline: runs of opaque pixels, row by row.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "app/Form1.h"
#include "app/WindowRegion.h"
#include "tests/unit/mathImg/QtTestApp.h"

namespace {
// The region a plain walk over every pixel gives.
QRegion PixelByPixel(const QImage& img, QRgb key) {
    QRegion r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) | 0xFF000000u) != (key | 0xFF000000u)) r += QRect(x, y, 1, 1);
    return r;
}
}  // namespace

TEST(WindowRegion, CornerColourIsCutAwayAlsoInsideThePanel) {
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.fillRect(QRect(5, 3, 30, 12), QColor(55, 63, 55));
    p.fillRect(QRect(10, 6, 2, 2), QColor(255, 0, 255));  // a hole of the corner colour
    p.end();
    QRegion r = zel::BuildWindowRegion(img);
    EXPECT_TRUE((r ^ PixelByPixel(img, qRgb(255, 0, 255))).isEmpty());
    EXPECT_FALSE(r.contains(QPoint(10, 6)));
    EXPECT_TRUE(r.contains(QPoint(12, 6)));
    // Rows made only of the corner colour add nothing.
    EXPECT_FALSE(r.intersects(QRect(0, 0, 40, 3)));
    EXPECT_EQ(r.boundingRect(), QRect(5, 3, 30, 12));
}

TEST(WindowRegion, TheCornerPixelDecidesTheColour) {
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(QColor(10, 10, 10));
    img.setPixel(0, 3, qRgb(1, 2, 3));
    img.setPixel(7, 0, qRgb(1, 2, 3));
    QRegion r = zel::BuildWindowRegion(img);
    EXPECT_TRUE((r ^ (QRegion(0, 0, 8, 4) - QRegion(0, 3, 1, 1) - QRegion(7, 0, 1, 1))).isEmpty());
}

TEST(WindowRegion, TheRealBackgroundKeepsThePanelAndLosesTheField) {
    QImage bg = zel::SkinImage("fundo");
    ASSERT_EQ(bg.size(), QSize(576, 432));
    EXPECT_EQ(bg.format(), QImage::Format_Indexed8);
    QRegion r = zel::BuildWindowRegion(bg);
    EXPECT_TRUE((r ^ PixelByPixel(bg, bg.pixel(0, 431))).isEmpty());
    EXPECT_EQ(QColor(bg.pixel(0, 431)), QColor(255, 0, 255));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(575, 431)));
    EXPECT_TRUE(r.contains(QPoint(288, 216)));
    EXPECT_TRUE(r.contains(QPoint(8, 216)));
}

TEST(WindowRegion, TheShownPictureFillsTwoPixelsAroundTheOutlineAndNothingInside) {
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.fillRect(QRect(10, 5, 10, 10), QColor(100, 100, 100));
    p.end();
    const QImage shown = zel::ShownBackground(img);
    const QRegion region = zel::BuildWindowRegion(img);
    int changed = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const bool inside = region.contains(QPoint(x, y));
            const bool near = QRect(8, 3, 14, 14).contains(x, y);
            if (inside || !near) {
                EXPECT_EQ(shown.pixel(x, y), img.pixel(x, y)) << x << "," << y;
            } else {
                EXPECT_EQ(QColor(shown.pixel(x, y)), QColor(100, 100, 100)) << x << "," << y;
                ++changed;
            }
        }
    EXPECT_EQ(changed, 14 * 14 - 10 * 10);
}
