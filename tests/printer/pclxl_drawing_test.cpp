// PCL XL drawing operators written by hand as the protocol reference lays them out: path
// segments given as attributes (absolute and relative lines and curves, rectangles, relative
// cursor moves, a moved page origin), the fill rules, which gray levels and colours print on a
// black-and-white page, pens and the graphics state stack, image pixels in each depth and
// colour space, and the operators we only warn of.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "job_interpreter.h"
#include "job_paint.h"
#include "pxl_bytes.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {

constexpr JobUnits kDot = kUnitsPerInch / 300;

}  // namespace

TEST(PclXlDrawing, PathSegmentsFromAttributesFillTheirSquare) {
    struct Case {
        const char* name;
        Bytes path;  // after NewPath; the square 300..600 on both axes, closed
        int tolerance;
    };
    const auto start = [](int x, int y) { return Bytes().op(0x85).xy(x, y, 0x4c).op(0x6b); };
    const Case cases[] = {
        {"lines",
         start(300, 300)
             .xy(600, 300, 0x45)
             .op(0x9b)
             .xy(600, 600, 0x45)
             .op(0x9b)
             .xy(300, 600, 0x45)
             .op(0x9b)
             .op(0x84),
         0},
        {"relative lines",
         start(300, 300)
             .xy(300, 0, 0x45)
             .op(0x9d)
             .xy(0, 300, 0x45)
             .op(0x9d)
             .xy(-300, 0, 0x45)
             .op(0x9d)
             .op(0x84),
         0},
        {"rectangle path", Bytes().op(0x85).box(300, 300, 600, 600, 0x42).op(0xa1), 0},
        {"relative cursor",
         start(100, 100)
             .xy(200, 200, 0x4c)
             .op(0x6c)
             .xy(300, 0, 0x45)
             .op(0x9d)
             .xy(0, 300, 0x45)
             .op(0x9d)
             .xy(-300, 0, 0x45)
             .op(0x9d)
             .op(0x84),
         0},
        {"page origin",
         Bytes().xy(200, 100, 0x2a).op(0x75).op(0x85).box(100, 200, 400, 500, 0x42).op(0xa1), 0},
        // A curve back from (600, 300) to (300, 300) through control points (450, 700): its
        // lowest point is 300 + 3/4 of 400 below the chord.
        {"curve",
         start(300, 300)
             .xy(600, 300, 0x45)
             .op(0x9b)
             .xy(450, 700, 0x51)
             .xy(450, 700, 0x52)
             .xy(300, 300, 0x45)
             .op(0x93)
             .op(0x84),
         1},
        {"relative curve",
         start(300, 300)
             .xy(300, 0, 0x45)
             .op(0x9d)
             .xy(-150, 400, 0x51)
             .xy(-150, 400, 0x52)
             .xy(-300, 0, 0x45)
             .op(0x95)
             .op(0x84),
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = pageStart();
        b.raw(c.path.s).op(0x86);
        const JobDocument doc = finish(b);
        ASSERT_EQ(doc.pages.size(), 1u);
        ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
        const JobRaster& r = doc.pages[0].rasters[0];
        EXPECT_EQ(r.x, kUnitsPerInch);
        EXPECT_EQ(r.y, kUnitsPerInch);
        EXPECT_EQ(r.width, 300);
        EXPECT_NEAR(r.height, 300, c.tolerance);
        EXPECT_TRUE(inkAt(doc, 450, 400));
        EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
    }
}

TEST(PclXlDrawing, FillRulesDecideAboutAHole) {
    // Two squares drawn the same way round, one inside the other: the non-zero rule fills the
    // inner one, even-odd leaves it empty.
    for (const int evenOdd : {0, 1}) {
        Bytes b = pageStart();
        b.ub(evenOdd, 0x46).op(0x6e).op(0x85);
        b.box(300, 300, 600, 600, 0x42).op(0xa1).box(400, 400, 500, 500, 0x42).op(0xa1).op(0x86);
        const JobDocument doc = finish(b);
        EXPECT_TRUE(inkAt(doc, 350, 350)) << evenOdd;
        EXPECT_EQ(inkAt(doc, 450, 450), evenOdd == 0) << evenOdd;
    }
}

TEST(PclXlDrawing, AHoleDrawnTheOtherWayRoundStaysEmptyUnderBothRules) {
    // The outer square one way, the inner one the other way: the windings cancel inside.
    for (const int evenOdd : {0, 1}) {
        Bytes b = pageStart();
        b.ub(evenOdd, 0x46).op(0x6e).op(0x85);
        b.xy(300, 300, 0x4c).op(0x6b);
        b.xy(600, 300, 0x45).op(0x9b).xy(600, 600, 0x45).op(0x9b).xy(300, 600, 0x45).op(0x9b);
        b.op(0x84);
        b.xy(400, 400, 0x4c).op(0x6b);
        b.xy(400, 500, 0x45).op(0x9b).xy(500, 500, 0x45).op(0x9b).xy(500, 400, 0x45).op(0x9b);
        b.op(0x84).op(0x86);
        const JobDocument doc = finish(b);
        EXPECT_TRUE(inkAt(doc, 350, 350)) << evenOdd;
        EXPECT_TRUE(inkAt(doc, 550, 450)) << evenOdd;
        EXPECT_FALSE(inkAt(doc, 450, 450)) << evenOdd;
        EXPECT_FALSE(inkAt(doc, 650, 450)) << evenOdd << ": nothing right of the square";
    }
}

TEST(PclXlDrawing, GraysAndColoursThatPrintBlack) {
    // A colour prints when its luminance (0.30 R + 0.59 G + 0.11 B) is below half of 255.
    struct Case {
        const char* name;
        Bytes brush;
        bool ink;
    };
    const Case cases[] = {
        {"gray 127", Bytes().ub(127, 0x09), true},
        {"gray 128", Bytes().ub(128, 0x09), false},
        {"real gray 0.49", Bytes().realGray(0.49f), true},
        {"real gray 0.51", Bytes().realGray(0.51f), false},
        {"red", Bytes().rgb(255, 0, 0), true},
        {"green", Bytes().rgb(0, 255, 0), false},
        {"blue", Bytes().rgb(0, 0, 255), true},
        {"light red", Bytes().rgb(200, 100, 100), false},  // 130
        {"dark red", Bytes().rgb(180, 100, 100), true},    // 124
        {"null brush", Bytes().ub(0, 0x04), false},
        // Reals are shares of full white: 0.5 is 127.5 of 255, 0.502 is 128.01.
        {"real gray 0.5", Bytes().realGray(0.5f), true},
        {"real gray 0.502", Bytes().realGray(0.502f), false},
        {"real colour 0.5", Bytes().realRgb(0.5f, 0.5f, 0.5f), true},
        {"real colour 0.502", Bytes().realRgb(0.502f, 0.502f, 0.502f), false},
        // Each component with its own weight.
        {"green 216", Bytes().rgb(0, 216, 0), true},          // 127.4
        {"green 217", Bytes().rgb(0, 217, 0), false},         // 128.0
        {"green and blue", Bytes().rgb(0, 190, 255), false},  // 112.1 + 28.1
        {"red and green 87", Bytes().rgb(255, 87, 0), true},  // 76.5 + 51.3
        {"red and green 88", Bytes().rgb(255, 88, 0), false},
        // Exactly half, as the gray level 128 is: no ink.
        {"gray as colour 128", Bytes().rgb(128, 128, 128), false},
        {"gray as colour 127", Bytes().rgb(127, 127, 127), true},
        {"green and blue at half", Bytes().rgb(0, 208, 48), false},  // 122.72 + 5.28
    };
    for (const Case& c : cases) {
        Bytes b = pageStart();
        b.raw(c.brush.s).op(0x63).box(300, 300, 600, 330, 0x42).op(0xa0);
        const JobDocument doc = finish(b);
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        EXPECT_EQ(doc.pages[0].rules.size(), c.ink ? 1u : 0u) << c.name;
    }
}

TEST(PclXlDrawing, PensOutlineAndTheStateStackRestores) {
    // A black pen 10 units wide outlines the rectangle centred on its edges; no brush.
    Bytes b = pageStart();
    b.ub(0, 0x04).op(0x63).ub(0, 0x09).op(0x79).ub(10, 0x4b).op(0x7a);
    b.box(300, 300, 600, 600, 0x42).op(0xa0);
    JobDocument doc = finish(b);
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& rules = doc.pages[0].rules;
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[0].x, 295 * kDot);
    EXPECT_EQ(rules[0].y, 295 * kDot);
    EXPECT_EQ(rules[0].width, 310 * kDot);
    EXPECT_EQ(rules[0].height, 10 * kDot);
    EXPECT_EQ(rules[1].y, 595 * kDot);
    EXPECT_EQ(rules[2].width, 10 * kDot);
    EXPECT_EQ(rules[2].height, 310 * kDot);
    EXPECT_EQ(rules[3].x, 595 * kDot);
    // A pen one unit wide still outlines.
    b = pageStart();
    b.ub(0, 0x04).op(0x63).ub(0, 0x09).op(0x79).ub(1, 0x4b).op(0x7a);
    b.box(300, 300, 600, 600, 0x42).op(0xa0);
    doc = finish(b);
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rules.size(), 4u);
    EXPECT_EQ(doc.pages[0].rules[0].height, kDot);

    // PushGS keeps the black brush through a white one; PopGS brings it back.
    b = pageStart();
    b.op(0x61).ub(255, 0x09).op(0x63).box(0, 0, 100, 100, 0x42).op(0xa0);
    b.op(0x60).box(300, 300, 600, 330, 0x42).op(0xa0);
    doc = finish(b);
    ASSERT_EQ(doc.pages.at(0).rules.size(), 1u);
    EXPECT_EQ(doc.pages[0].rules[0].x, kUnitsPerInch);
    // A pop with nothing pushed changes nothing.
    b = pageStart();
    b.op(0x60).box(300, 300, 600, 330, 0x42).op(0xa0);
    EXPECT_EQ(finish(b).pages.at(0).rules.size(), 1u);
}

// A drawing more than 50 inches across or down, or starting farther than that from the page's
// corner, is left out with a warning; one of 50 inches is drawn.
TEST(PclXlDrawing, DrawingsLargerThanAnySheetAreLeftOut) {
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        bool drawn;
    };
    const Case cases[] = {
        {"50 inches across", 300, 300, 15300, 600, true},
        {"wider", 300, 300, 15400, 600, false},
        {"taller", 300, 300, 600, 15400, false},
        {"far right", 15400, 300, 15500, 600, false},
        {"far down", 300, 15400, 600, 15500, false},
    };
    for (const Case& c : cases) {
        Bytes b = pageStart();
        b.op(0x85).box(c.x0, c.y0, c.x1, c.y1, 0x42).op(0xa1).op(0x86);
        const JobDocument doc = finish(b);
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        bool warned = false;
        for (const std::string& w : doc.warnings)
            warned = warned || w.find("larger than any sheet") != std::string::npos;
        EXPECT_EQ(warned, !c.drawn) << c.name;
        if (!c.drawn) {
            EXPECT_TRUE(doc.pages[0].rasters.empty()) << c.name;
        }
    }
}

TEST(PclXlDrawing, WhatIsNotDrawnIsWarnedOfOnce) {
    for (const int op : {0x91, 0x96, 0x97, 0x98, 0x99, 0x9e, 0x9f, 0xa2, 0xa3, 0xb6}) {
        Bytes b = pageStart();
        b.op(op).op(op);
        const JobDocument doc = finish(b);
        ASSERT_EQ(doc.warnings.size(), 1u) << op;
        EXPECT_NE(doc.warnings[0].find("arcs"), std::string::npos) << op;
    }
    Bytes b = pageStart();
    b.ub(90, 0x29).op(0x76);
    EXPECT_EQ(finish(b).warnings.size(), 1u);
    b = pageStart();
    b.ub(0, 0x29).op(0x76);
    EXPECT_TRUE(finish(b).warnings.empty());
}

namespace {

// A one-row image at (300, 300), one dot a pixel at 300 dpi: the colour space (1 gray, 2 RGB,
// 6 sRGB) with an 8-bit palette when `palette` is not empty, the mapping (0 direct, 1 indexed),
// the depth (0 1-bit, 1 4-bit, 2 8-bit, 3 unknown), its pixels uncompressed (rows of 4 bytes).
JobDocument imageJob(int space, const std::string& palette, int mapping, int depth, int width,
                     const std::string& row) {
    Bytes b = pageStart();
    b.ub(space, 0x03);
    if (!palette.empty()) {
        b.ub(2, 0x02).byte(0xc8).byte(0xc0).byte(int(palette.size())).raw(palette);
        b.byte(0xf8).byte(0x06);
    }
    b.op(0x6a).xy(300, 300, 0x4c).op(0x6b);
    b.ub(mapping, 0x64).ub(depth, 0x62);
    b.byte(0xc1).u16(width).byte(0xf8).byte(0x6c).byte(0xc1).u16(1).byte(0xf8).byte(0x6b);
    b.byte(0xd1).u16(width).u16(1).byte(0xf8).byte(0x67).op(0xb0);
    b.byte(0xc1).u16(0).byte(0xf8).byte(0x6d).byte(0xc1).u16(1).byte(0xf8).byte(0x63);
    b.ub(0, 0x65).op(0xb1).byte(0xfb).byte(int(row.size())).raw(row).op(0xb2);
    return finish(b);
}

}  // namespace

TEST(PclXlDrawing, ImagePixelsInEachDepthAndColourSpace) {
    struct Case {
        const char* name;
        JobDocument doc;
        std::vector<int> inked;  // of the first eight pixels
    };
    const Case cases[] = {
        {"gray, 8 bits", imageJob(1, "", 0, 2, 4, "\x00\x7f\x80\xff"s), {0, 1}},
        {"RGB, 8 bits",
         imageJob(2, "", 0, 2, 4, "\xff\x00\x00\x00\xff\x00\x00\x00\xff\xb4\x64\x64"s),
         {0, 2, 3}},  // red and blue are dark, green light; (180,100,100) dark, (200,..) not
        {"sRGB, 8 bits",
         imageJob(6, "", 0, 2, 4, "\xff\x00\x00\x00\xff\x00\x00\x00\xff\xb4\x64\x64"s),
         {0, 2, 3}},  // the same pixels as RGB
        // Black, white, red and green: the components packed in 4 bits and in 1.
        {"RGB, 4 bits", imageJob(2, "", 0, 1, 4, "\x00\x0f\xff\xf0\x00\xf0\0\0"s), {0, 2}},
        {"RGB, 1 bit", imageJob(2, "", 0, 0, 4, "\x1e\x20\0\0"s), {0, 2}},
        {"RGB light red", imageJob(2, "", 0, 2, 1, "\xc8\x64\x64\x00"s), {}},
        {"RGB grays 127 and 128", imageJob(2, "", 0, 2, 2, "\x7f\x7f\x7f\x80\x80\x80\0\0"s), {0}},
        {"indexed, 4 bits",
         imageJob(1, "\x00\xff\x40\xc0"s, 1, 1, 8, "\x01\x23\x10\x32"s),
         {0, 2, 5, 7}},
        {"indexed, 8 bits", imageJob(1, "\xff\x00"s, 1, 2, 4, "\x00\x01\x01\x00"s), {1, 2}},
        {"indexed, 1 bit", imageJob(1, "\xff\x00"s, 1, 0, 8, "\xa5\x00\x00\x00"s), {0, 2, 5, 7}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.doc.pages.size(), 1u) << c.name;
        EXPECT_TRUE(c.doc.warnings.empty()) << c.name << ": " << c.doc.warnings.front();
        for (int x = 0; x < 8; ++x) {
            const bool want = std::find(c.inked.begin(), c.inked.end(), x) != c.inked.end();
            EXPECT_EQ(inkAt(c.doc, 300 + x, 300), want) << c.name << " pixel " << x;
        }
    }
    // Images that cannot be printed say so.
    JobDocument doc = imageJob(1, "", 0, 3, 4, "\x00\x00\x00\x00"s);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_NE(doc.warnings[0].find("color depth"), std::string::npos);
    doc = imageJob(1, "", 0, 2, 0, "\x00\x00\x00\x00"s);
    ASSERT_FALSE(doc.warnings.empty());
    EXPECT_NE(doc.warnings[0].find("without a size"), std::string::npos);
}

namespace {

// A black image of sw x sh pixels (1-bit gray) drawn sw x sh session units (1/300 inch) large.
JobDocument scaledImage(int sw, int sh, int dw, int dh) {
    Bytes b = pageStart();
    b.op(0x6a).xy(300, 300, 0x4c).op(0x6b);
    b.ub(0, 0x64).ub(0, 0x62);
    b.byte(0xc2)
        .u16(sw & 0xffff)
        .u16(sw >> 16)
        .byte(0xf8)
        .byte(0x6c)
        .byte(0xc1)
        .u16(sh)
        .byte(0xf8)
        .byte(0x6b);
    b.byte(0xd1).u16(dw).u16(dh).byte(0xf8).byte(0x67).op(0xb0);
    b.byte(0xc1).u16(0).byte(0xf8).byte(0x6d).byte(0xc1).u16(sh).byte(0xf8).byte(0x63);
    const int size = ((sw + 7) / 8 + 3) / 4 * 4 * sh;
    b.ub(0, 0x65).op(0xb1).byte(0xfa).u16(size).u16(0).raw(std::string(size, '\0')).op(0xb2);
    return finish(b);
}

}  // namespace

// An image is printed from half a pixel an inch up to 5760 pixels an inch, across and down;
// beyond either end it is left out with a warning. Whole densities are kept as they are.
TEST(PclXlDrawing, ImagesFromHalfAPixelTo5760PixelsAnInch) {
    struct Case {
        const char* name;
        int sw, sh, dw, dh;
        int dpiX, dpiY;       // 0: not printed
        const char* warning;  // then said
    };
    const char* scaled = "scaled beyond";
    const Case cases[] = {
        // A density that is no whole number is drawn in the device's 300 dots an inch.
        {"half a pixel an inch across", 1, 1, 600, 1, 300, 300, ""},
        {"a little less across", 1, 1, 601, 1, 0, 0, scaled},
        {"half a pixel an inch down", 1, 1, 1, 600, 300, 300, ""},
        {"a little less down", 1, 1, 1, 601, 0, 0, scaled},
        {"5760 across", 96, 1, 5, 1, 5760, 300, ""},
        {"5820 across", 97, 1, 5, 1, 0, 0, scaled},
        {"5760 down", 1, 96, 1, 5, 300, 5760, ""},
        {"5820 down", 1, 97, 1, 5, 0, 0, scaled},
        {"no size on the page", 1, 1, 0, 0, 0, 0, scaled},
        {"100,000 pixels across", 100000, 1, 5209, 1, 300, 300, ""},
        {"100,001 pixels across", 100001, 1, 5209, 1, 0, 0, "larger than any page"},
    };
    for (const Case& c : cases) {
        const JobDocument doc = scaledImage(c.sw, c.sh, c.dw, c.dh);
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        const auto& rasters = doc.pages[0].rasters;
        if (c.dpiX == 0) {
            EXPECT_TRUE(rasters.empty()) << c.name;
            ASSERT_EQ(doc.warnings.size(), 1u) << c.name;
            EXPECT_NE(doc.warnings[0].find(c.warning), std::string::npos) << c.name;
            continue;
        }
        for (const std::string& w : doc.warnings)  // only the widest is clipped by the paper
            EXPECT_EQ(w.find("not printed"), std::string::npos) << c.name << ": " << w;
        ASSERT_FALSE(rasters.empty()) << c.name;
        EXPECT_EQ(rasters[0].dpiX, c.dpiX) << c.name;
        EXPECT_EQ(rasters[0].dpiY, c.dpiY) << c.name;
    }
}

// A scaled black image inks every dot of the place it is drawn in and none beside it, also
// where its width in dots is one past a whole byte.
TEST(PclXlDrawing, AScaledImageInksEveryDotOfItsPlace) {
    const int cases[][4] = {{5, 3, 17, 7}, {2, 2, 9, 9}, {5, 3, 33, 7}, {3, 5, 11, 8}};
    for (const auto& [sw, sh, dw, dh] : cases) {
        const JobDocument doc = scaledImage(sw, sh, dw, dh);
        ASSERT_EQ(doc.pages.size(), 1u) << dw;
        ASSERT_FALSE(doc.pages[0].rasters.empty()) << dw;
        EXPECT_EQ(doc.pages[0].rasters[0].dpiX, 300) << dw;  // scaled, not kept
        const test::BitCanvas ink = test::paintPage(doc.pages[0], 300);
        EXPECT_EQ(ink.inkCount(), dw * dh) << dw;
        int x0 = ink.width, y0 = ink.height, x1 = -1, y1 = -1;
        for (int y = 0; y < ink.height; ++y)
            for (int x = 0; x < ink.width; ++x)
                if (ink.at(x, y)) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y);
                    x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
        EXPECT_EQ(x1 - x0 + 1, dw);
        EXPECT_EQ(y1 - y0 + 1, dh);
    }
}

TEST(PclXlDrawing, TheStateStackHoldsSixtyFourStates) {
    // Each state pushed has its own brush, black and white in turn; the first pop gives back
    // the 64th.
    for (const int pushes : {63, 64, 65}) {
        Bytes b = pageStart();
        for (int k = 1; k <= pushes; ++k) b.ub(k % 2 ? 255 : 0, 0x09).op(0x63).op(0x61);
        b.ub(255, 0x09).op(0x63).op(0x60);
        b.box(300, 300, 600, 330, 0x42).op(0xa0);
        const JobDocument doc = finish(b);
        // Pushed 64th (even: black) when 64 or more were pushed; the 63rd (white) when 63.
        const bool black = pushes >= 64;
        EXPECT_EQ(doc.pages.empty() ? 0u : doc.pages[0].rules.size(), black ? 1u : 0u) << pushes;
    }
}
