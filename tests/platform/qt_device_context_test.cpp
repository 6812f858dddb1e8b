// The QPainter device context: mapping, fonts, text, pens, saved states and images, checked on
// the pixels it produces.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <cstring>

#include "platform/image_probe.h"
#include "qt_device_context.h"
#include "qt_font_cache.h"

namespace folvek {
namespace {

using test::ink;
using test::whiteImage;

// Bounding box of the dark pixels.
QRect inkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (ink(img, x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

LogFont courier(int height) {
    LogFont f;
    f.height = height;
    f.setFaceName("Courier New");
    return f;
}

TEST(QtDeviceContextMapping, LoEnglishPutsTheOriginTopLeftWithYUp) {
    QImage img = whiteImage(200, 200);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.moveTo(0, 0);
        dc.lineTo(100, -100);
    }
    EXPECT_TRUE(ink(img, 0, 0));
    EXPECT_TRUE(ink(img, 50, 50));
    EXPECT_TRUE(ink(img, 99, 99));
    EXPECT_FALSE(ink(img, 110, 110));
    EXPECT_EQ(inkBox(img).bottomRight().x(), inkBox(img).bottomRight().y());
    EXPECT_LE(inkBox(img).right(), 101);
}

TEST(QtDeviceContextMapping, ZoomScalesAndThePaintersOriginStays) {
    QImage img = whiteImage(300, 300);
    {
        QPainter p(&img);
        p.translate(20, 10);  // a view scrolled by (-20, -10)
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.scaleViewport(3, 2, 3, 2);
        const QPointF d = dc.toDevice(100, -100);
        EXPECT_DOUBLE_EQ(d.x(), 150);
        EXPECT_DOUBLE_EQ(d.y(), 150);
        dc.moveTo(0, 0);
        dc.lineTo(100, -100);
    }
    const QRect box = inkBox(img);
    EXPECT_NEAR(box.left(), 20, 1);
    EXPECT_NEAR(box.top(), 10, 1);
    EXPECT_NEAR(box.right(), 170, 1);
    EXPECT_NEAR(box.bottom(), 160, 1);
}

TEST(QtDeviceContextState, RestoreBringsBackMappingPenAndFont) {
    QtDeviceContext dc(nullptr, 600, 600, QSizeF(200, 287));
    EXPECT_FALSE(dc.restoreState(-1));
    const int id = dc.saveState();
    dc.setLoEnglish();
    dc.scaleViewport(3, 2, 3, 2);
    dc.selectPen(7);
    EXPECT_DOUBLE_EQ(dc.scaleX(), 9);
    EXPECT_DOUBLE_EQ(dc.scaleY(), -9);
    dc.saveState();
    dc.selectFont(courier(-40));
    const int big = dc.textExtent("1234567890", 10).cx;
    EXPECT_TRUE(dc.restoreState(-1));
    EXPECT_LT(dc.textExtent("1234567890", 10).cx, big);
    EXPECT_EQ(dc.currentPenWidth(), 7);
    EXPECT_TRUE(dc.restoreState(id));
    EXPECT_DOUBLE_EQ(dc.scaleX(), 1);
    EXPECT_EQ(dc.currentPenWidth(), 0);
    EXPECT_FALSE(dc.restoreState(id));
}

TEST(QtDeviceContextState, DeviceCapsReportThePrintableArea) {
    QtDeviceContext dc(nullptr, 600, 300, QSizeF(200, 287));
    EXPECT_EQ(dc.deviceCaps(DeviceCap::HorzSizeMm), 200);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::VertSizeMm), 287);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::HorzRes), 4724);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::VertRes), 3390);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::LogPixelsY), 300);
}

// A device that does not know its resolution is taken for a 96 dpi screen.
TEST(QtDeviceContextState, AnUnknownResolutionIsAScreens) {
    QtDeviceContext dc(nullptr, 0, -1, QSizeF(254, 127));
    EXPECT_EQ(dc.deviceCaps(DeviceCap::LogPixelsX), 96);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::LogPixelsY), 96);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::HorzRes), 960);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::VertRes), 480);
}

TEST(QtDeviceContextFonts, CourierNewMeasuresLikeTheOldPrinterFont) {
    EXPECT_EQ(QFontInfo(FontCache::instance().face(courier(-13)).font).family(),
              QStringLiteral("Liberation Mono"));
    for (double dpi : {96.0, 150.0, 600.0}) {
        QtDeviceContext dc(nullptr, dpi, dpi, QSizeF(200, 287));
        dc.setLoEnglish();
        dc.selectFont(courier(-13));
        EXPECT_EQ(dc.textExtent("1234567890", 10).cx, 78) << dpi;
        const TextMetrics m = dc.textMetrics();
        EXPECT_EQ(m.height, 15) << dpi;  // 13 x 1.133, the Courier New cell
        EXPECT_EQ(m.ascent + m.descent, m.height);
        EXPECT_EQ(m.aveCharWidth, 8);
    }
}

TEST(QtDeviceContextFonts, PositiveHeightIsTheCellAndStylesKeepTheGrid) {
    QtDeviceContext dc(nullptr, 600, 600, QSizeF(200, 287));
    dc.setLoEnglish();
    dc.selectFont(courier(30));
    EXPECT_EQ(dc.textMetrics().height, 30);
    LogFont bold = courier(-13);
    bold.weight = 700;
    bold.italic = 1;
    dc.selectFont(bold);
    EXPECT_EQ(dc.textExtent("1234567890", 10).cx, 78);
}

TEST(QtDeviceContextFonts, UnknownFacesAndFixedsysFallBackToMonospace) {
    for (const char* name : {"fixedsys", "No Such Face 123", ""}) {
        LogFont f;
        f.setFaceName(name);
        const FontFace& face = FontCache::instance().face(f);
        EXPECT_FLOAT_EQ(face.advance['i'], face.advance['W'])
            << name << " -> " << QFontInfo(face.font).family().toStdString();
    }
}

TEST(QtDeviceContextText, TextIsUprightBelowTheTopOfItsRectangle) {
    QImage img = whiteImage(400, 200);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.setTransparentText();
        dc.selectFont(courier(-40));
        const char* text = "TTTT";  // bars at the top of the cell
        dc.drawText(text, 4, Rect{50, -50, 300, -100}, kDtSingleLine | kDtNoClip);
    }
    const QRect box = inkBox(img);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GE(box.top(), 50);
    EXPECT_LE(box.bottom(), 100);
    EXPECT_GE(box.left(), 50);
    EXPECT_NEAR(box.width(), 4 * 24, 12);  // four advances of 0.6 em, less the side bearings
    // The row with the most ink is the bars' row, near the top of the ink.
    int bestRow = 0, bestCount = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int n = 0;
        for (int x = box.left(); x <= box.right(); ++x) n += ink(img, x, y);
        if (n > bestCount) bestCount = n, bestRow = y;
    }
    EXPECT_LT(bestRow - box.top(), box.height() / 4);
}

TEST(QtDeviceContextText, CyrillicTextOnAnOpaqueBackground) {
    QImage img = whiteImage(600, 100);
    img.fill(Qt::gray);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.selectFont(courier(-20));      // 12 units a character
        const char text[] = "\xC6 \xC6";  // "Ж Ж" in Windows-1251
        dc.drawText(text, 3, Rect{0, 0, 500, -30}, kDtSingleLine | kDtNoClip);
    }
    // Opaque text paints its background white as far as the text goes; the blank between the
    // letters stays blank.
    EXPECT_EQ(img.pixel(18, 10), qRgb(255, 255, 255));  // the blank between the letters
    EXPECT_EQ(img.pixel(200, 10), QColor(Qt::gray).rgb());
    bool inkFirst = false, inkBlank = false, inkThird = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 1; x < 11; ++x) inkFirst |= ink(img, x, y);
        for (int x = 14; x < 22; ++x) inkBlank |= ink(img, x, y);
        for (int x = 25; x < 35; ++x) inkThird |= ink(img, x, y);
    }
    EXPECT_TRUE(inkFirst);
    EXPECT_FALSE(inkBlank);
    EXPECT_TRUE(inkThird);
}

// Underline and strike-out span the whole run, its blanks too: one bar under the baseline, one
// through the middle of the small letters, on the screen's path and on a recorded picture's
// (the one SVG files take), which draws character by character.
TEST(QtDeviceContextText, UnderlineAndStrikeOutSpanTheRunBlanksIncluded) {
    for (bool recorded : {false, true}) {
        QImage img = whiteImage(400, 100);
        {
            QPicture picture;
            QPainter p;
            if (recorded)
                p.begin(&picture);
            else
                p.begin(&img);
            {
                QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
                dc.setLoEnglish();
                dc.setTransparentText();
                LogFont f = courier(-40);
                f.underline = 1;
                f.strikeOut = 1;
                dc.selectFont(f);
                dc.drawText("a      b", 8, Rect{10, -10, 390, -90}, kDtSingleLine | kDtNoClip);
            }
            p.end();
            if (recorded) {
                QPainter onto(&img);
                picture.play(&onto);
            }
        }
        // Rows inked all the way across the blanks between the letters (x 60..160).
        std::vector<int> bars;  // the first row of each bar
        for (int y = 0, last = -2; y < 100; ++y) {
            bool across = true;
            for (int x = 60; x < 160 && across; ++x) across = ink(img, x, y);
            if (!across) continue;
            if (last < y - 1) bars.push_back(y);
            last = y;
        }
        ASSERT_EQ(bars.size(), 2u) << (recorded ? "recorded" : "screen");
        const QRect box = inkBox(img);
        EXPECT_LT(box.left(), 20);
        EXPECT_GT(box.right(), 10 + 7 * 24);  // to the end of the last cell
        // The strike-out lies in the upper part of the letters' height, the underline below it.
        // The cell is 40 px from y 10, its baseline some 34 px down: the strike-out about a
        // quarter of the em above the baseline, the underline just below it.
        EXPECT_GT(bars[0], 10 + 14);
        EXPECT_LT(bars[0], 10 + 30);
        EXPECT_GT(bars[1], 10 + 34);
        EXPECT_LT(bars[1], 10 + 44);
    }
}

TEST(QtDeviceContextPens, WidthZeroIsOnePixelAndWiderPensScaleWithZoom) {
    auto thickness = [](int penWidth, int zoomNum) {
        QImage img = whiteImage(300, 300);
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.scaleViewport(zoomNum, 2, zoomNum, 2);
        dc.selectPen(penWidth);
        dc.moveTo(20, -50);
        dc.lineTo(80, -50);
        p.end();
        int n = 0;
        for (int y = 0; y < 300; ++y) n += ink(img, 50, y);
        return n;
    };
    EXPECT_EQ(thickness(0, 2), 1);
    EXPECT_EQ(thickness(0, 4), 1);
    EXPECT_NEAR(thickness(10, 2), 10, 1);
    EXPECT_NEAR(thickness(10, 4), 20, 1);
}

TEST(QtDeviceContextPens, SquareCapsCloseACorner) {
    QImage img = whiteImage(100, 100);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.selectPen(6);
        dc.moveTo(20, -20);
        dc.lineTo(80, -20);
        dc.moveTo(20, -20);
        dc.lineTo(20, -80);
    }
    EXPECT_TRUE(ink(img, 18, 18));  // the outer corner is filled
}

TEST(QtDeviceContextImages, NegativeHeightShowsThePictureUpright) {
    const std::uint32_t px[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};  // top row first
    const ImageView view{2, 2, px};
    QImage img = whiteImage(100, 100);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.stretchImage(10, -10, 40, -40, 0, 0, 2, 2, view);
    }
    EXPECT_EQ(img.pixel(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(45, 15), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(15, 45), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(60, 60), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(QtDeviceContextImages, APictureCoversTextDrawnBeforeIt) {
    const std::uint32_t red[1] = {0xFFFF0000};
    QImage img = whiteImage(200, 100);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.saveState();
        dc.setLoEnglish();
        dc.setTransparentText();
        dc.selectFont(courier(-40));
        dc.drawText("MMMM", 4, Rect{0, 0, 200, -50}, kDtSingleLine | kDtNoClip);
        dc.stretchImage(0, 0, 50, -50, 0, 0, 1, 1, ImageView{1, 1, red});
        dc.restoreState(-1);
        // Back in the caller's state: everything is on the device.
        int inked = 0;
        for (int x = 60; x < 150; ++x)
            for (int y = 0; y < 50; ++y) inked += ink(img, x, y);
        EXPECT_GT(inked, 50);
    }
    for (int x = 0; x < 50; ++x)
        for (int y = 0; y < 50; ++y) ASSERT_EQ(img.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
}

// Opaque text covers the lines drawn before it, also unclipped: the lines still waiting to be
// drawn go to the device first.
TEST(QtDeviceContextImages, OpaqueTextCoversTheLinesDrawnBeforeIt) {
    QImage img = whiteImage(200, 100);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.saveState();  // lines wait to be drawn together
        dc.setLoEnglish();
        dc.selectPen(4);
        dc.moveTo(0, -20);
        dc.lineTo(200, -20);
        dc.setOpaqueText();
        dc.selectFont(courier(-40));
        dc.drawText("    ", 4, Rect{0, 0, 200, -50}, kDtSingleLine | kDtNoClip);
        dc.restoreState(-1);
    }
    int right = 0;
    while (right < 200 && !ink(img, right, 20)) ++right;
    EXPECT_GT(right, 40) << "the blanks' white box lies over the line";
    EXPECT_LT(right, 200) << "the line goes on past the box";
    EXPECT_TRUE(ink(img, 199, 20));
}

}  // namespace
}  // namespace folvek
