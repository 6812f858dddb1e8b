// The QPainter device context's printer drawing: 1-bit pictures, filled rules, characters on a
// printer's grid, the font's measures at their edges, pens and saved states, checked on pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <functional>

#include "platform/image_probe.h"
#include "qt_device_context.h"

namespace folvek {
namespace {

using test::ink;
using test::whiteImage;

int inkIn(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += ink(img, x, y);
    return n;
}

LogFont courier(int height) {
    LogFont f;
    f.height = height;
    f.setFaceName("Courier New");
    return f;
}

// Draws on a white page at 100 dpi in LoEnglish (one unit a pixel, y upward), straight onto the
// image or through a recorded picture (the path SVG files take), and returns the page.
QImage drawn(int w, int h, bool recorded, const std::function<void(QtDeviceContext&)>& draw) {
    QImage img = whiteImage(w, h);
    QPicture picture;
    {
        QPainter p;
        if (recorded)
            p.begin(&picture);
        else
            p.begin(&img);
        {
            QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
            dc.setLoEnglish();
            draw(dc);
        }
        p.end();
    }
    if (recorded) {
        QPainter onto(&img);
        picture.play(&onto);
    }
    return img;
}

// A 1-bit picture's ink is pure black and its blank dots leave the page as it was, here grey.
TEST(QtDeviceContextBitmaps, InkIsBlackAndBlankDotsLetThePageShow) {
    // 9 dots wide, two rows of two bytes: row 0 is ink, blank, ink ... with its ninth dot blank
    // and the unused bits after it set; row 1 blank except the ninth dot.
    const unsigned char bits[4] = {0xAA, 0x7F, 0x00, 0x80};
    const BitmapView view{9, 2, 2, bits};
    QImage img = whiteImage(200, 100);
    img.fill(Qt::gray);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.drawBitmap(10, -10, 90, -20, view);  // each dot 10 x 10 pixels
    }
    const QRgb grey = QColor(Qt::gray).rgb();
    EXPECT_EQ(img.pixel(15, 15), qRgb(0, 0, 0));  // dot 0 of row 0
    EXPECT_EQ(img.pixel(25, 15), grey);           // dot 1
    EXPECT_EQ(img.pixel(35, 15), qRgb(0, 0, 0));  // dot 2
    EXPECT_EQ(img.pixel(95, 15), grey);           // dot 8 of row 0 is blank
    EXPECT_EQ(img.pixel(15, 25), grey);           // row 1
    EXPECT_EQ(img.pixel(95, 25), qRgb(0, 0, 0));  // its ninth dot
    EXPECT_EQ(img.pixel(105, 15), grey);          // beside the picture
    EXPECT_EQ(img.pixel(15, 35), grey);           // below it
    EXPECT_EQ(img.pixel(5, 5), grey);
}

// Rows shorter than the dots they must hold are refused, not read past; a row of exactly
// enough bytes is drawn.
TEST(QtDeviceContextBitmaps, RowsTooShortForTheirDotsDrawNothing) {
    const unsigned char bits[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    auto inked = [&](int width, int rowBytes, int height) {
        const QImage img = drawn(100, 100, false, [&](QtDeviceContext& dc) {
            dc.drawBitmap(0, 0, 40, -40, BitmapView{width, height, rowBytes, bits});
        });
        return inkIn(img, QRect(0, 0, 100, 100));
    };
    EXPECT_EQ(inked(8, 1, 2), 40 * 40);  // 8 dots fit one byte
    EXPECT_EQ(inked(9, 2, 2), 40 * 40);  // 9 need two
    EXPECT_EQ(inked(8, 1, 1), 40 * 40);  // a single row
    EXPECT_EQ(inked(9, 1, 2), 0);
    EXPECT_EQ(inked(16, 1, 2), 0);
    EXPECT_EQ(inked(0, 1, 2), 0);
    EXPECT_EQ(inked(8, 1, 0), 0);
}

// A picture drawn smaller than its dots, either way, is averaged to grey; an enlarged one stays
// black and white.
TEST(QtDeviceContextBitmaps, ShrunkPicturesTurnGreyEnlargedOnesStaySharp) {
    const unsigned char checker[2] = {0x80, 0x40};  // 2 x 2, ink on the diagonal
    const BitmapView view{2, 2, 1, checker};
    const QImage shrunk =
        drawn(20, 20, false, [&](QtDeviceContext& dc) { dc.drawBitmap(5, -5, 1, -1, view); });
    const int g = qGray(shrunk.pixel(5, 5));
    EXPECT_GT(g, 40);
    EXPECT_LT(g, 215);
    // Shrunk one way only is shrunk too.
    for (const QSize size : {QSize(1, 10), QSize(10, 1)}) {
        const QImage oneWay = drawn(20, 20, false, [&](QtDeviceContext& dc) {
            dc.drawBitmap(5, -5, size.width(), -size.height(), view);
        });
        int grey = 0;
        for (int y = 5; y < 5 + size.height(); ++y)
            for (int x = 5; x < 5 + size.width(); ++x) {
                const int level = qGray(oneWay.pixel(x, y));
                grey += level > 40 && level < 215;
            }
        EXPECT_GT(grey, 0) << size.width() << "x" << size.height();
    }
    const QImage enlarged =
        drawn(20, 20, false, [&](QtDeviceContext& dc) { dc.drawBitmap(0, 0, 10, -10, view); });
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool diagonal = (x < 5) == (y < 5);
            ASSERT_EQ(enlarged.pixel(x, y), diagonal ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                << x << "," << y;
        }
}

// A rule is a filled black box, its corners given in either order.
TEST(QtDeviceContextRules, FillRectFillsTheBoxCornersInEitherOrder) {
    for (const Rect r : {Rect{10, -20, 40, -30}, Rect{40, -30, 10, -20}}) {
        const QImage img = drawn(60, 60, false, [&](QtDeviceContext& dc) { dc.fillRect(r); });
        EXPECT_EQ(inkIn(img, QRect(10, 20, 30, 10)), 30 * 10);
        EXPECT_EQ(inkIn(img, QRect(0, 0, 60, 60)), 30 * 10);
    }
}

// Characters on a printer's grid: each in its own cell of `advance` units from x, stretched so
// the digit fills it; blanks and control characters draw nothing; the decoration spans every
// cell. On the screen's path and on a recorded picture's.
TEST(QtDeviceContextCells, EachCharacterInItsCellBlanksEmptyDecorationAcrossAll) {
    for (bool recorded : {false, true}) {
        const char* path = recorded ? "recorded" : "screen";
        const QImage img = drawn(300, 120, recorded, [](QtDeviceContext& dc) {
            dc.selectFont(courier(-40));  // digit 24 px wide, stretched to 30
            dc.drawCells("00 0\x01", 5, 10, -60, 30.0);
        });
        const int top = 60 - 34, bottom = 62;  // from above the digits to the baseline
        auto cell = [&](int i) { return QRect(10 + i * 30, top, 30, bottom - top); };
        EXPECT_GT(inkIn(img, cell(0)), 40) << path;
        EXPECT_GT(inkIn(img, cell(1)), 40) << path;
        EXPECT_EQ(inkIn(img, cell(2)), 0) << path;
        EXPECT_GT(inkIn(img, cell(3)), 40) << path;
        EXPECT_EQ(inkIn(img, QRect(130, 0, 170, 120)), 0) << path;  // the control character
        EXPECT_EQ(inkIn(img, QRect(0, 0, 10, 120)), 0) << path;
        EXPECT_EQ(inkIn(img, QRect(0, 0, 300, top)), 0) << path;  // nothing above the cell
        // Stretched: the first digit's ink reaches past its natural 24 px into the cell.
        int right = 0;
        for (int x = 10; x < 40; ++x)
            if (inkIn(img, QRect(x, top, 1, bottom - top)) > 0) right = x;
        EXPECT_GT(right, 10 + 24 * 0.8 * 1.1) << path;

        const QImage deco = drawn(300, 120, recorded, [](QtDeviceContext& dc) {
            LogFont f = courier(-40);
            f.underline = 1;
            f.strikeOut = 1;
            dc.selectFont(f);
            dc.drawCells("0  ", 3, 10, -60, 30.0);
        });
        // Across the two blank cells: one bar below the baseline, one above it.
        std::vector<int> bars;
        for (int y = 0, last = -2; y < 120; ++y) {
            if (inkIn(deco, QRect(45, y, 50, 1)) != 50) continue;
            if (last < y - 1) bars.push_back(y);
            last = y;
        }
        ASSERT_EQ(bars.size(), 2u) << path;
        EXPECT_GT(bars[0], 60 - 16) << path;  // the strike-out, some 11 px above the baseline
        EXPECT_LT(bars[0], 60 - 6) << path;
        EXPECT_GE(bars[1], 60) << path;  // the underline, just below it
        EXPECT_LT(bars[1], 60 + 8) << path;
        EXPECT_EQ(inkIn(deco, QRect(101, 0, 199, 120)), 0) << path;  // ends with the last cell
    }
}

TEST(QtDeviceContextCells, NoCharactersOrNoAdvanceDrawNothing) {
    for (auto [len, advance] :
         {std::pair{0, 30.0}, std::pair{-1, 30.0}, std::pair{2, 0.0}, std::pair{2, -30.0}}) {
        const QImage img = drawn(200, 100, false, [&](QtDeviceContext& dc) {
            LogFont f = courier(-40);
            f.underline = 1;
            dc.selectFont(f);
            dc.drawCells("00", len, 10, -60, advance);
        });
        EXPECT_EQ(inkIn(img, QRect(0, 0, 200, 100)), 0) << len << " " << advance;
    }
}

// The cell's parts in device units: internal leading is the cell less the em, never below 0;
// a one-pixel font has none.
TEST(QtDeviceContextFonts, MetricsOfTheCellDownToOnePixel) {
    QtDeviceContext dc(nullptr, 96, 96, QSizeF(200, 287));
    dc.selectFont(courier(-13));
    TextMetrics m = dc.textMetrics();
    EXPECT_EQ(m.height, 15);
    EXPECT_EQ(m.internalLeading, 2);  // 15 - 13
    EXPECT_EQ(m.descent, m.height - m.ascent);
    EXPECT_GT(m.ascent, m.descent);
    EXPECT_EQ(m.aveCharWidth, 8);  // 0.6 em
    EXPECT_EQ(dc.textExtent("0", 1).cy, 15);
    EXPECT_EQ(dc.textExtent("", 0).cx, 0);
    dc.selectFont(courier(-1));
    m = dc.textMetrics();
    EXPECT_EQ(m.height, 1);
    EXPECT_EQ(m.internalLeading, 0);
}

// Saved states: a negative id counts back from the latest save, a positive one names a save;
// 0 and ids past the saves are refused and change nothing.
TEST(QtDeviceContextState, RestoreByCountingBackOrByNumber) {
    QtDeviceContext dc(nullptr, 100, 100, QSizeF(50, 50));
    dc.selectPen(1);
    dc.saveState();
    dc.selectPen(2);
    dc.saveState();
    dc.selectPen(3);
    const int third = dc.saveState();
    dc.selectPen(4);
    EXPECT_EQ(third, 3);
    EXPECT_FALSE(dc.restoreState(0));
    EXPECT_FALSE(dc.restoreState(4));
    EXPECT_FALSE(dc.restoreState(-4));
    EXPECT_EQ(dc.currentPenWidth(), 4);
    EXPECT_TRUE(dc.restoreState(-2));  // the second save
    EXPECT_EQ(dc.currentPenWidth(), 2);
    EXPECT_FALSE(dc.restoreState(2));  // gone with it
    EXPECT_TRUE(dc.restoreState(1));
    EXPECT_EQ(dc.currentPenWidth(), 1);
    EXPECT_FALSE(dc.restoreState(-1));
}

// Zoom keeps both axes at one scale, the smaller of the two asked for; a zero term is ignored.
// A negative pen width is the thinnest pen.
TEST(QtDeviceContextMapping, ZoomIsIsotropicAndIgnoresZeroTerms) {
    QtDeviceContext dc(nullptr, 100, 100, QSizeF(50, 50));
    dc.setLoEnglish();
    dc.scaleViewport(3, 2, 2, 1);
    EXPECT_DOUBLE_EQ(dc.scaleX(), 1.5);
    EXPECT_DOUBLE_EQ(dc.scaleY(), -1.5);
    dc.scaleViewport(-2, 1, 5, 2);  // the sign plays no part
    EXPECT_DOUBLE_EQ(dc.scaleX(), 3.0);
    for (auto [a, b, c, d] : {std::tuple{0, 1, 2, 1}, std::tuple{2, 0, 2, 1},
                              std::tuple{2, 1, 0, 1}, std::tuple{2, 1, 2, 0}})
        dc.scaleViewport(a, b, c, d);
    EXPECT_DOUBLE_EQ(dc.scaleX(), 3.0);
    dc.selectPen(-5);
    EXPECT_EQ(dc.currentPenWidth(), 0);
}

// Lines drawn inside a saved state are gathered and drawn together; a change of pen in between
// keeps each line at its own width.
TEST(QtDeviceContextPens, GatheredLinesKeepTheirOwnPens) {
    const QImage img = drawn(200, 200, false, [](QtDeviceContext& dc) {
        dc.saveState();
        dc.selectPen(10);
        dc.moveTo(20, -50);
        dc.lineTo(180, -50);
        dc.selectPen(0);
        dc.moveTo(20, -150);
        dc.lineTo(180, -150);
        dc.restoreState(-1);
    });
    EXPECT_NEAR(inkIn(img, QRect(100, 0, 1, 100)), 10, 1);
    EXPECT_EQ(inkIn(img, QRect(100, 100, 1, 100)), 1);
}

// Opaque text whitens exactly the cells it covers: as wide as its characters' advances and as
// tall as the font's cell, and no further.
TEST(QtDeviceContextText, AnOpaqueBackgroundCoversExactlyTheCells) {
    QImage img = whiteImage(200, 100);
    img.fill(Qt::gray);
    {
        QPainter p(&img);
        QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
        dc.setLoEnglish();
        dc.selectFont(courier(-20));  // 12 pixels a character, a cell of 22.7 pixels
        dc.drawText("   ", 3, Rect{10, -10, 190, -90}, kDtSingleLine | kDtNoClip);
    }
    const QRgb grey = QColor(Qt::gray).rgb(), white = qRgb(255, 255, 255);
    EXPECT_EQ(img.pixel(10, 10), white);
    EXPECT_EQ(img.pixel(45, 20), white);  // the last of the 36 columns
    EXPECT_EQ(img.pixel(46, 20), grey);
    EXPECT_EQ(img.pixel(9, 20), grey);
    EXPECT_EQ(img.pixel(20, 9), grey);
    EXPECT_EQ(img.pixel(20, 31), white);  // the cell's last whole row
    EXPECT_EQ(img.pixel(20, 34), grey);
}

// A destination given right to left or bottom to top shows the picture mirrored that way.
TEST(QtDeviceContextImages, ADestinationGivenBackwardsMirrorsThePicture) {
    const std::uint32_t px[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};  // top row first
    const ImageView view{2, 2, px};
    struct Case {
        int dx, dy, dw, dh;
        QRgb topLeft, topRight, bottomLeft;
    };
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255),
               white = qRgb(255, 255, 255);
    for (const Case c : {Case{50, -10, -40, -40, green, red, white},     // right to left
                         Case{10, -50, 40, 40, blue, white, red},        // bottom to top
                         Case{50, -50, -40, 40, white, blue, green}}) {  // both
        QImage img = whiteImage(100, 100);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            QtDeviceContext dc(&p, 100, 100, QSizeF(50, 50));
            dc.setLoEnglish();
            dc.stretchImage(c.dx, c.dy, c.dw, c.dh, 0, 0, 2, 2, view);
        }
        EXPECT_EQ(img.pixel(15, 15), c.topLeft) << c.dw << "," << c.dh;
        EXPECT_EQ(img.pixel(45, 15), c.topRight) << c.dw << "," << c.dh;
        EXPECT_EQ(img.pixel(15, 45), c.bottomLeft) << c.dw << "," << c.dh;
        EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 0));  // outside: as it was
        EXPECT_EQ(img.pixel(55, 55), qRgb(0, 0, 0));
        EXPECT_EQ(img.pixel(10, 10), img.pixel(15, 15));  // from the corner exactly
        EXPECT_EQ(img.pixel(49, 49), img.pixel(45, 45));
    }
}

}  // namespace
}  // namespace folvek
