// PCL XL pages and fonts written by hand as the protocol reference lays them out: media sizes
// by number, name and custom size, session units and the resolution paths are drawn at, jobs
// of several streams, and downloaded bitmap fonts with the characters they refuse.
#include <gtest/gtest.h>

#include <cstring>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "job_interpreter.h"
#include "pxl_bytes.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

TEST(PclXlDrawing, BitmapFontResolutionsUpTo5760) {
    // A font header whose BR segment gives the resolution; one 8 x 2 character 'A'.
    const auto drawnAt = [](int dpi) {
        Bytes b = pageStart();
        const auto name = [&b](int attr) {
            b.byte(0xc8).byte(0xc0).byte(1).raw("F").byte(0xf8).byte(attr);
        };
        name(0xa8);
        b.ub(0, 0xa9).op(0x4f);
        std::string header = "\0\0\0\0\xfe\0\0\x01"s + "BR\0\0\0\x04"s;
        for (int k = 0; k < 2; ++k) header += std::string{char(dpi >> 8), char(dpi & 0xff)};
        b.byte(0xc1).u16(int(header.size())).byte(0xf8).byte(0xa7).op(0x50);
        b.byte(0xfb).byte(int(header.size())).raw(header).op(0x51);
        name(0xa8);
        b.op(0x52);
        const std::string glyph = "\0\0\0\0\0\x02\0\x08\0\x02\xff\x81"s;
        b.ub('A', 0xa2).byte(0xc1).u16(int(glyph.size())).byte(0xf8).byte(0xa3).op(0x53);
        b.byte(0xfb).byte(int(glyph.size())).raw(glyph).op(0x54);
        b.byte(0xc1).u16(1).byte(0xf8).byte(0xa6);
        name(0xa8);
        b.op(0x6f).xy(300, 600, 0x4c).op(0x6b);
        b.byte(0xc8).byte(0xc0).byte(1).raw("A").byte(0xf8).byte(0xab).op(0xa8);
        const JobDocument doc = finish(b);
        if (doc.pages.empty() || doc.pages[0].rasters.empty()) return 0;
        return int(doc.pages[0].rasters[0].dpiX);
    };
    EXPECT_EQ(drawnAt(600), 600);
    EXPECT_EQ(drawnAt(5760), 5760);
    EXPECT_EQ(drawnAt(5761), 300);  // past any printer: taken as 300
    EXPECT_EQ(drawnAt(1), 1);
    EXPECT_EQ(drawnAt(0), 300);
}

namespace {

// A page begun with these media attributes (after the orientation), a rule drawn on it.
JobDocument mediaJob(const Bytes& media, int orientation = 0) {
    Bytes b;
    b.raw(kHeader).byte(0xd1).u16(300).u16(300).byte(0xf8).byte(0x89).ub(0, 0x86).op(0x41);
    b.ub(0, 0x88).ub(1, 0x82).op(0x48);
    b.ub(orientation, 0x28).raw(media.s).op(0x43);
    b.ub(1, 0x03).op(0x6a).ub(0, 0x09).op(0x63).box(0, 0, 30, 30, 0x42).op(0xa0);
    return finish(b);
}

constexpr JobUnits mm(double v) {
    return static_cast<JobUnits>(v * kUnitsPerInch / 25.4 + 0.5);
}

}  // namespace

TEST(PclXlDrawing, EveryMediaSizeByNumberAndByName) {
    struct Case {
        int id;
        const char* name;
        JobUnits w, h;
    };
    const JobUnits in = kUnitsPerInch;
    const Case cases[] = {
        {0, "LETTER", in * 17 / 2, 11 * in},
        {1, "LEGAL", in * 17 / 2, 14 * in},
        {2, "A4", mm(210), mm(297)},
        {3, "EXEC", in * 29 / 4, in * 21 / 2},
        {4, "LEDGER", 11 * in, 17 * in},
        {5, "A3", mm(297), mm(420)},
        {6, "COM10", in * 33 / 8, in * 19 / 2},
        {7, "MONARCH", in * 31 / 8, in * 15 / 2},
        {8, "C5", mm(162), mm(229)},
        {9, "DL", mm(110), mm(220)},
        {10, "JB4", mm(257), mm(364)},
        {11, "JB5", mm(182), mm(257)},
        {12, "B5", mm(176), mm(250)},
        {14, "JPOSTCARD", mm(100), mm(148)},
        {15, "JDOUBLEPOSTCARD", mm(200), mm(148)},
        {16, "A5", mm(148), mm(210)},
        {17, "A6", mm(105), mm(148)},
        {18, "JB6", mm(128), mm(182)},
    };
    for (const Case& c : cases) {
        JobDocument doc = mediaJob(Bytes().ub(c.id, 0x25));
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        EXPECT_EQ(doc.pages[0].width, c.w) << c.name;
        EXPECT_EQ(doc.pages[0].height, c.h) << c.name;
        EXPECT_TRUE(doc.warnings.empty()) << c.name;
        // The same paper by its name, in any case; landscape turns it.
        std::string name = c.name;
        name[1] = char(std::tolower(name[1]));
        Bytes byName;
        byName.byte(0xc8).byte(0xc0).byte(int(name.size())).raw(name).byte(0xf8).byte(0x25);
        doc = mediaJob(byName, 1);
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        EXPECT_EQ(doc.pages[0].width, c.h) << c.name;
        EXPECT_EQ(doc.pages[0].height, c.w) << c.name;
    }
    // Unknown paper is A4, with a warning.
    JobDocument doc = mediaJob(Bytes().ub(13, 0x25));
    EXPECT_EQ(doc.pages.at(0).width, mm(210));
    EXPECT_EQ(doc.warnings.size(), 1u);
}

TEST(PclXlDrawing, CustomMediaInEachUnitAndItsLimits) {
    // Units: 0 inches, 1 millimetres, 2 tenths of a millimetre.
    struct Case {
        int units, w, h;
        JobUnits width, height;
    };
    const JobUnits in = kUnitsPerInch;
    const Case cases[] = {
        {0, 8, 12, 8 * in, 12 * in},
        {1, 100, 150, JobUnits(100 / 25.4 * in), JobUnits(150 / 25.4 * in)},
        {2, 2540, 1270, 10 * in, 5 * in},
        {0, 100, 100, 100 * in, 100 * in},  // the largest allowed
    };
    for (const Case& c : cases) {
        Bytes media;
        media.byte(0xd1).u16(c.w).u16(c.h).byte(0xf8).byte(0x2f).ub(c.units, 0x30);
        const JobDocument doc = mediaJob(media);
        ASSERT_EQ(doc.pages.size(), 1u) << c.units;
        EXPECT_NEAR(doc.pages[0].width, c.width, 1) << c.units;
        EXPECT_NEAR(doc.pages[0].height, c.height, 1) << c.units;
        EXPECT_TRUE(doc.warnings.empty());
    }
    // Too small or too large: A4 and a warning.
    for (const auto& [w, h] : {std::pair{101, 10}, std::pair{10, 101}, std::pair{0, 5}}) {
        Bytes media;
        media.byte(0xd1).u16(w).u16(h).byte(0xf8).byte(0x2f).ub(0, 0x30);
        const JobDocument doc = mediaJob(media);
        EXPECT_EQ(doc.pages.at(0).width, mm(210)) << w << "x" << h;
        EXPECT_EQ(doc.warnings.size(), 1u);
    }
    // A quarter inch is the least: 6.35 mm passes, 6.3 does not.
    Bytes quarter;
    quarter.byte(0xd1).u16(64).u16(64).byte(0xf8).byte(0x2f).ub(2, 0x30);  // 6.4 mm
    EXPECT_NEAR(mediaJob(quarter).pages.at(0).width, mm(6.4), 1);
    Bytes less;
    less.byte(0xd1).u16(63).u16(63).byte(0xf8).byte(0x2f).ub(2, 0x30);  // 6.3 mm
    EXPECT_EQ(mediaJob(less).pages.at(0).width, mm(210));
    // A quarter inch exactly, as two real numbers in inches.
    Bytes exact;
    exact.byte(0xd5);
    for (const float v : {0.25f, 0.25f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        exact.u16(int(bits & 0xffff)).u16(int(bits >> 16));
    }
    exact.byte(0xf8).byte(0x2f).ub(0, 0x30);
    EXPECT_EQ(mediaJob(exact).pages.at(0).width, in / 4);
    // A size given as a box, not as a pair, is no custom size.
    Bytes box;
    box.byte(0xe1).u16(8).u16(12).u16(0).u16(0).byte(0xf8).byte(0x2f).ub(0, 0x30);
    const JobDocument boxed = mediaJob(box);
    EXPECT_EQ(boxed.pages.at(0).width, mm(210));
    EXPECT_EQ(boxed.warnings.size(), 1u);
}

namespace {

// A session in `measure` (0 inch, 1 mm, 2 tenth of a mm) at ux x uy units each, an A4 page, a
// black brush and a filled square path of `side` units at the origin, then a 10-unit tall
// rectangle as wide.
JobDocument sessionJob(int measure, int ux, int uy, int side, const std::string& header = kHeader) {
    Bytes b;
    b.raw(header).byte(0xd1).u16(ux).u16(uy).byte(0xf8).byte(0x89).ub(measure, 0x86).op(0x41);
    b.ub(0, 0x88).ub(1, 0x82).op(0x48);
    b.ub(0, 0x28).ub(2, 0x25).op(0x43);
    b.ub(1, 0x03).op(0x6a).ub(0, 0x05).op(0x79).ub(0, 0x09).op(0x63);
    b.op(0x85).box(0, 0, side, side, 0x42).op(0xa1).op(0x86);
    b.box(0, 2 * side, side, 2 * side + 10, 0x42).op(0xa0);
    return finish(b);
}

}  // namespace

TEST(PclXlDrawing, SessionUnitsAndThePathResolution) {
    struct Case {
        const char* name;
        int measure, ux, uy, side;
        JobUnits width;  // of the rectangle
        int dpi;         // of the filled path
    };
    const JobUnits in = kUnitsPerInch;
    const Case cases[] = {
        {"300 an inch", 0, 300, 300, 300, in, 300},
        {"600 an inch", 0, 600, 600, 600, in, 600},
        {"1200 an inch", 0, 1200, 1200, 1200, in, 1200},
        {"72 an inch", 0, 72, 72, 72, in, 72},
        {"71 an inch: paths at 300", 0, 71, 71, 71, in, 300},
        {"1300 an inch: paths at 300", 0, 1300, 1300, 1300, in, 300},
        {"unequal: paths at 300", 0, 600, 300, 600, in, 300},
        {"10 a millimetre", 1, 10, 10, 254, in, 254},
        {"1 a tenth of a millimetre", 2, 1, 1, 254, in, 254},
    };
    for (const Case& c : cases) {
        const JobDocument doc = sessionJob(c.measure, c.ux, c.uy, c.side);
        ASSERT_EQ(doc.pages.size(), 1u) << c.name;
        ASSERT_EQ(doc.pages[0].rules.size(), 1u) << c.name;
        EXPECT_NEAR(doc.pages[0].rules[0].width, c.width, 1) << c.name;
        ASSERT_EQ(doc.pages[0].rasters.size(), 1u) << c.name;
        EXPECT_EQ(doc.pages[0].rasters[0].dpiX, c.dpi) << c.name;
    }
}

TEST(PclXlDrawing, StreamsAfterAnExitAndOtherBindings) {
    // A second job after the universal exit and its job-language lines is read too.
    Bytes first = pageStart();
    first.box(0, 0, 300, 30, 0x42).op(0xa0).op(0x44);
    Bytes second = pageStart();
    second.box(0, 0, 600, 30, 0x42).op(0xa0).op(0x44);
    const JobDocument both = interpretJob(first.s + second.s);
    ASSERT_EQ(both.pages.size(), 2u);
    EXPECT_EQ(both.pages[1].rules.at(0).width, 2 * kUnitsPerInch);
    // A stream in the big-endian binding is not read, with a warning.
    const JobDocument big =
        sessionJob(0, 300, 300, 300, "\x1b%-12345X@PJL ENTER LANGUAGE = PCLXL\n( HP-PCL XL;2;0\n");
    EXPECT_TRUE(big.pages.empty());
    EXPECT_EQ(big.warnings.size(), 1u);
}

namespace {

// A font "F" from `header`, its character 'A' from `glyph`, then `text` printed at (300, 600).
JobDocument fontJob(const std::string& header, const std::string& glyph, const std::string& text) {
    Bytes b = pageStart();
    const auto name = [&b](int attr) {
        b.byte(0xc8).byte(0xc0).byte(1).raw("F").byte(0xf8).byte(attr);
    };
    name(0xa8);
    b.ub(0, 0xa9).op(0x4f);
    b.byte(0xc1).u16(int(header.size())).byte(0xf8).byte(0xa7).op(0x50);
    b.byte(0xfb).byte(int(header.size())).raw(header).op(0x51);
    name(0xa8);
    b.op(0x52);
    b.ub('A', 0xa2).byte(0xc1).u16(int(glyph.size())).byte(0xf8).byte(0xa3).op(0x53);
    b.byte(0xfb).byte(int(glyph.size())).raw(glyph).op(0x54);
    b.byte(0xc1).u16(1).byte(0xf8).byte(0xa6);
    name(0xa8);
    b.op(0x6f).xy(300, 600, 0x4c).op(0x6b);
    b.byte(0xc8).byte(0xc0).byte(int(text.size())).raw(text).byte(0xf8).byte(0xab).op(0xa8);
    return finish(b);
}

const std::string kBitmapHeader = "\0\0\0\0\xfe\0\0\x01"s;
const std::string kGlyph = "\0\0\0\0\0\x02\0\x08\0\x02\xff\x81"s;  // 8 x 2, two dots up

}  // namespace

TEST(PclXlDrawing, BitmapFontsAndTheCharactersTheyRefuse) {
    // Resolutions across and down may differ.
    JobDocument doc = fontJob(kBitmapHeader + "BR\0\0\0\x04\x01\x2c\x02\x58"s, kGlyph, "A");
    ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiX, 300);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiY, 600);
    EXPECT_TRUE(doc.warnings.empty());
    // A BR segment shorter than 4 bytes, or one that runs past the header, is not read.
    doc = fontJob(kBitmapHeader + "BR\0\0\0\x02\x02\x58"s, kGlyph, "A");
    EXPECT_EQ(doc.pages.at(0).rasters.at(0).dpiX, 300);
    doc = fontJob(kBitmapHeader + "BR\0\0\0\x05\x02\x58\x02\x58"s, kGlyph, "A");
    EXPECT_EQ(doc.pages.at(0).rasters.at(0).dpiX, 300);
    // A segment of another name before it is stepped over by its size.
    doc =
        fontJob(kBitmapHeader + "XX\0\0\0\x01\x00"s + "BR\0\0\0\x04\x02\x58\x02\x58"s, kGlyph, "A");
    EXPECT_EQ(doc.pages.at(0).rasters.at(0).dpiX, 600);

    struct Case {
        const char* name;
        std::string header, glyph, text;
        const char* warning;
    };
    const Case cases[] = {
        {"outline font", "\0\0\0\0\x0f\0\0\x01"s, kGlyph, "A", "other than bitmaps"},
        {"compressed character", kBitmapHeader, "\x01\0" + kGlyph.substr(2), "A", "not read"},
        {"short character", kBitmapHeader, kGlyph.substr(0, 11), "A", "shorter than its size"},
        {"character not held", kBitmapHeader, kGlyph, "B", "does not hold"},
    };
    for (const Case& c : cases) {
        doc = fontJob(c.header, c.glyph, c.text);
        ASSERT_FALSE(doc.warnings.empty()) << c.name;
        EXPECT_NE(doc.warnings[0].find(c.warning), std::string::npos) << doc.warnings[0];
        EXPECT_TRUE(doc.pages.empty() || doc.pages[0].rasters.empty()) << c.name;
    }
}
