// PCL XL bitmap fonts at their limits: the glyph bytes one page may draw, counted afresh on each
// page, a font header's resolution segment, the size of a header, the number of fonts and the
// glyph memory of all fonts.
#include <gtest/gtest.h>

#include <string>

#include "job_paint.h"
#include "page_builder.h"
#include "pclxl_fonts.h"

using namespace folvek::printer;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;

// A bitmap character (format 0, class 0) of width x height dots, all ink, its top-left corner
// at the reference point.
std::string character(int width, int height) {
    std::string c(10, '\0');
    c[6] = char(width >> 8), c[7] = char(width & 255);
    c[8] = char(height >> 8), c[9] = char(height & 255);
    c.append(std::size_t((width + 7) / 8) * height, '\xFF');
    return c;
}

// A font header of bitmaps (scaling technology 254) with an optional "BR" resolution segment.
std::string bitmapHeader(int dpiX = 0, int dpiY = 0) {
    std::string h(8, '\0');
    h[4] = char(254);
    if (dpiX > 0) {
        h += "BR";
        h += std::string("\0\0\0\x04", 4);
        h += char(dpiX >> 8), h += char(dpiX & 255), h += char(dpiY >> 8), h += char(dpiY & 255);
    }
    return h;
}

}  // namespace

TEST(PxlFontLimits, APageDrawsUpTo64MegabytesOfGlyphsAndTheNextPageAfresh) {
    JobDocument doc;
    JobPageBuilder builder(doc, JobOptions{});
    PxlFonts fonts(builder);
    fonts.beginHeader("F");
    fonts.headerData(bitmapHeader());
    fonts.endHeader();
    fonts.beginChars("F");
    fonts.readChar('M', character(8 * 1024, 1024));  // one megabyte of bitmap
    fonts.readChar('x', character(8, 1));            // one byte
    fonts.setFont("F");
    // 64 megabytes drawn below the sheet, where no dot lands (clipped, with a warning of its
    // own): all within the page's share.
    const auto cut = [&doc] {
        for (const std::string& w : doc.warnings)
            if (w.find("more text than paper holds") != std::string::npos) return true;
        return false;
    };
    for (int i = 0; i < 64; ++i) EXPECT_EQ(fonts.drawChar('M', 0, 100 * kInch), 8 * 1024 * 72);
    EXPECT_FALSE(cut());
    // One byte more is cut, with a warning.
    EXPECT_EQ(fonts.drawChar('x', kInch, kInch), 0);
    EXPECT_TRUE(cut());
    // A new page counts from nothing.
    builder.endPage();
    fonts.newPage();
    EXPECT_EQ(fonts.drawChar('x', kInch, kInch), 8 * 72);
    builder.finish();
    ASSERT_FALSE(doc.pages.empty());
    EXPECT_EQ(doc.pages.back().rasters.size(), 1u);
}

TEST(PxlFontLimits, TheResolutionSegmentSetsTheDotSizeWithinItsRange) {
    // An 8-dot character's width at the font's resolution: 300 dpi when the header gives none
    // or one out of 1..5760.
    struct Case {
        int dpiX, dpiY;
        JobUnits width;
    } cases[] = {{0, 0, 8 * 72},      {600, 600, 8 * 36},  {1, 1, 8 * kInch}, {5760, 5760, 30},
                 {5761, 600, 8 * 72}, {600, 5761, 8 * 72}, {600, 0, 8 * 72},  {1200, 300, 8 * 18}};
    for (const Case& c : cases) {
        JobDocument doc;
        JobPageBuilder builder(doc, JobOptions{});
        PxlFonts fonts(builder);
        fonts.beginHeader("F");
        fonts.headerData(c.dpiX == 0 ? bitmapHeader() : bitmapHeader(c.dpiX, c.dpiY));
        fonts.endHeader();
        fonts.beginChars("F");
        fonts.readChar('x', character(8, 1));
        fonts.setFont("F");
        EXPECT_EQ(fonts.drawChar('x', kInch, kInch), c.width) << c.dpiX << " x " << c.dpiY;
    }
}

namespace {

// A segment of `total` bytes in all that the header reader steps over.
std::string padding(std::size_t total) {
    const std::size_t n = total - 6;
    std::string p = "ZZ";
    for (int shift = 24; shift >= 0; shift -= 8) p += char((n >> shift) & 255);
    return p + std::string(n, '\0');
}

int warningsWith(const JobDocument& doc, const char* text) {
    int n = 0;
    for (const std::string& w : doc.warnings) n += w.find(text) != std::string::npos;
    return n;
}

}  // namespace

TEST(PxlFontLimits, HeadersUpToAMegabyteFontsUpTo256AndGlyphsUpTo32Megabytes) {
    JobDocument doc;
    JobPageBuilder builder(doc, JobOptions{});
    PxlFonts fonts(builder);
    // A header of exactly one megabyte is whole: its resolution segment comes last.
    const std::string head = bitmapHeader();
    const std::string tail = bitmapHeader(600, 600).substr(8);  // "BR", its size, 600 x 600
    fonts.beginHeader("Big");
    fonts.headerData(head);
    fonts.headerData(padding((1 << 20) - head.size() - tail.size()));
    fonts.headerData(tail);
    fonts.endHeader();
    EXPECT_EQ(warningsWith(doc, "font header larger"), 0);
    fonts.beginChars("Big");
    fonts.readChar('x', character(8, 1));
    fonts.setFont("Big");
    EXPECT_EQ(fonts.drawChar('x', kInch, kInch), 8 * 36) << "read at 600 dpi";
    // One byte more and the piece that overflows is left out: no resolution, 300 dpi.
    fonts.beginHeader("Bigger");
    fonts.headerData(head);
    fonts.headerData(padding((1 << 20) - head.size() - tail.size() + 1));
    fonts.headerData(tail);
    fonts.endHeader();
    EXPECT_EQ(warningsWith(doc, "font header larger"), 1);
    fonts.beginChars("Bigger");
    fonts.readChar('x', character(8, 1));
    fonts.setFont("Bigger");
    EXPECT_EQ(fonts.drawChar('x', kInch, kInch), 8 * 72);

    // 256 fonts in all; the 257th is left out, a font defined again at the limit is not.
    for (int i = 2; i < 256; ++i) {
        fonts.beginHeader("F" + std::to_string(i));
        fonts.headerData(head);
        fonts.endHeader();
    }
    EXPECT_EQ(warningsWith(doc, "beyond the limit"), 0);
    fonts.beginHeader("Big");
    fonts.headerData(head);
    fonts.endHeader();
    EXPECT_EQ(warningsWith(doc, "beyond the limit"), 0);
    fonts.beginHeader("F256");
    fonts.headerData(head);
    fonts.endHeader();
    EXPECT_EQ(warningsWith(doc, "beyond the limit"), 1);
    fonts.beginChars("F256");
    fonts.readChar('x', character(8, 1));
    fonts.setFont("F256");
    EXPECT_EQ(fonts.drawChar('x', kInch, kInch), -1) << "no such font";

    // Glyph memory: 32 megabytes in all, a glyph read again replaces its bytes.
    fonts.beginChars("F2");
    const std::string megabyte = character(8 * 1024, 1024);
    fonts.readChar(0, megabyte);
    fonts.readChar(0, megabyte);  // replaced: still one megabyte
    for (int code = 1; code < 31; ++code) fonts.readChar(code, megabyte);
    // With the byte of "Bigger" ("Big", sent again, holds none) and one more megabyte less
    // that byte.
    fonts.readChar(100, character(8 * 1024, 1023));
    fonts.readChar(101, character(8 * 1023, 1));
    EXPECT_EQ(warningsWith(doc, "beyond the memory"), 0);
    fonts.readChar(102, character(8, 1));
    EXPECT_EQ(warningsWith(doc, "beyond the memory"), 1);
    // Full, a glyph replaced by one no larger still fits: the old one's bytes are freed first.
    fonts.readChar(5, megabyte);
    EXPECT_EQ(warningsWith(doc, "beyond the memory"), 1);
    // A font sent again starts empty, and its old glyphs' 31 megabytes are free again.
    fonts.beginHeader("F2");
    fonts.headerData(head);
    fonts.endHeader();
    fonts.beginChars("F2");
    for (int code = 0; code < 30; ++code) fonts.readChar(code, megabyte);
    EXPECT_EQ(warningsWith(doc, "beyond the memory"), 1);
}

// A character is read only in format 0, class 0 (a bitmap), with its whole bitmap; its
// reference point may lie anywhere, left or above as well.
TEST(PxlFontLimits, OnlyWholeBitmapCharactersOfFormatAndClassZeroAreRead) {
    const auto drawn = [](const std::string& c) {
        JobDocument doc;
        JobPageBuilder builder(doc, JobOptions{});
        PxlFonts fonts(builder);
        fonts.beginHeader("F");
        fonts.headerData(bitmapHeader());
        fonts.endHeader();
        fonts.beginChars("F");
        fonts.readChar('x', c);
        fonts.setFont("F");
        return fonts.drawChar('x', kInch, kInch) > 0 && doc.warnings.empty();
    };
    const std::string plain = character(8, 2);
    EXPECT_TRUE(drawn(plain));
    std::string format = plain, kind = plain, left = plain, up = plain;
    format[0] = 1;
    kind[1] = 1;
    left[2] = char(0xFF), left[3] = char(0xFF);  // one dot left of the reference point
    up[4] = 1;                                   // 256 dots above it
    EXPECT_FALSE(drawn(format));
    EXPECT_FALSE(drawn(kind));
    EXPECT_TRUE(drawn(left));
    EXPECT_TRUE(drawn(up));
    EXPECT_FALSE(drawn(plain.substr(0, 9)));                 // no room for its header
    EXPECT_FALSE(drawn(plain.substr(0, plain.size() - 1)));  // a byte of its bitmap short
    EXPECT_TRUE(drawn(plain + "extra"));
}
