// PCL XL bitmap fonts at their limits: the glyph bytes one page may draw, counted afresh on each
// page, and a font header's resolution segment.
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
