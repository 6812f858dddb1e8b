// PCL raster graphics and rectangle fills written by hand: each compression mode decodes to the
// row the reference's examples give, pictures start where ESC *r#A says, and fills cover the
// rectangle at the cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_interpreter.h"
#include "job_paint.h"
#include "pcl_raster.h"

using namespace folvek::printer;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;
constexpr JobUnits kDot = kInch / 300;
constexpr JobUnits kLeft = 71 * kDot;

std::string pcl(std::string text) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    return text;
}

std::vector<std::uint8_t> decode(int mode, const std::string& data, std::vector<std::uint8_t> row) {
    EXPECT_TRUE(pclDecodeRow(mode, data, row));
    return row;
}

using Row = std::vector<std::uint8_t>;

}  // namespace

TEST(PclRasterRows, EachCompressionModeDecodesItsRow) {
    const Row zero(6, 0);
    // Mode 0: the bytes themselves; a short row is blank at its end.
    EXPECT_EQ(decode(0, "\xF0\x0F", zero), (Row{0xF0, 0x0F, 0, 0, 0, 0}));
    // Mode 1: count + 1 copies of each byte.
    EXPECT_EQ(decode(1, std::string("\x02\xAA\x00\x55", 4), zero),
              (Row{0xAA, 0xAA, 0xAA, 0x55, 0, 0}));
    // Mode 2 (PackBits): literal run, repeated byte, the no-op -128.
    EXPECT_EQ(decode(2, std::string("\x01\x12\x34\xFE\x77\x80", 6), zero),
              (Row{0x12, 0x34, 0x77, 0x77, 0x77, 0}));
    // Mode 3: replaces bytes of the seed row; offsets count from the last byte replaced.
    const Row seed{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(decode(3, std::string("\x20\xAA\xBB\x01\xCC", 5), seed),
              (Row{0xAA, 0xBB, 3, 0xCC, 5, 6}));
    EXPECT_EQ(decode(3, "", seed), seed);  // no data: the seed row again
    // Mode 3 offset 31 takes extension bytes.
    Row wide(300, 0);
    const Row w = decode(3, std::string("\x1F\xFF\x04\x99", 4), wide);
    EXPECT_EQ(w[31 + 255 + 4], 0x99);
    // Mode 9: literal replacement (offset 1, two bytes) and a run (offset 0, three copies).
    EXPECT_EQ(decode(9, std::string("\x09\xAA\xBB\x81\x77", 5), seed),
              (Row{1, 0xAA, 0xBB, 0x77, 0x77, 0x77}));
    // Runs and literals never write past the row.
    EXPECT_EQ(decode(1, "\xFF\x11", zero), Row(6, 0x11));
    EXPECT_EQ(decode(3, "\xE5\x01\x02\x03\x04\x05\x06\x07\x08", zero), (Row{0, 0, 0, 0, 0, 1}));
    Row unknown(6, 0);
    EXPECT_FALSE(pclDecodeRow(4, "x", unknown));
}

TEST(PclRaster, PicturesStartAtTheLeftEdgeOrTheCursorAtTheirResolution) {
    const std::string job =
        pcl("~E~*p300x600Y~*t150R~*r0A~*b0M~*b1W\xFF~*b1W\x80~*rB"  // at x 0, 2 rows
            "~*p600X~*t300R~*r1A~*b2m3W\x01\x11\xC3~*b3m0W~*b1Y~*b2W\x01\x81~*rC"
            "~*b1W\xFF");  // after ESC *rC the mode is 0 again; no start: at the left edge
    const JobDocument doc = interpretPcl(job, JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(doc.features.graphics);
    const auto canvas = test::paintPage(doc.pages[0], 300);
    const int left = 71, top = 150 + 600;  // PCL y 0 is the half-inch top margin
    // 150 dpi: each dot is two of 300, on the picture's own grid (71 dots of 300 is 35.5 of
    // 150: the picture starts at the 36th).
    const int left150 = 72;
    EXPECT_TRUE(canvas.at(left150, top));
    EXPECT_TRUE(canvas.at(left150 + 15, top + 1));
    EXPECT_FALSE(canvas.at(left150 + 16, top));
    EXPECT_TRUE(canvas.at(left150, top + 3));
    EXPECT_FALSE(canvas.at(left150 + 2, top + 3));
    // The second picture starts at the cursor: x 600, y below the first picture's 2 rows.
    const int x2 = left + 600, y2 = top + 4;
    EXPECT_FALSE(canvas.at(x2 + 1, y2));
    EXPECT_TRUE(canvas.at(x2 + 8, y2));       // 0xC3 in the second byte
    EXPECT_TRUE(canvas.at(x2 + 8, y2 + 1));   // delta row with no data repeats it
    EXPECT_FALSE(canvas.at(x2 + 8, y2 + 2));  // ESC *b1Y: a blank row, seed cleared
    EXPECT_TRUE(canvas.at(x2 + 8, y2 + 3));   // 0x81 replaces byte 1 of a blank seed
    EXPECT_FALSE(canvas.at(x2 + 9, y2 + 3));
}

TEST(PclRaster, StartModesOneAndThreeStartAtTheCursorZeroAndTwoAtTheLeftEdge) {
    const int left = 71, top = 150 + 300;
    for (const auto& [mode, x] : {std::pair{0, left}, std::pair{1, left + 600}, std::pair{2, left},
                                  std::pair{3, left + 600}}) {
        const std::string job =
            pcl("~E~*p600x300Y~*t300R~*r" + std::to_string(mode) + "A~*b1W\x80~*rB");
        const JobDocument doc = interpretPcl(job, JobOptions{});
        ASSERT_EQ(doc.pages.size(), 1u) << mode;
        const auto canvas = test::paintPage(doc.pages[0], 300);
        EXPECT_TRUE(canvas.at(x, top)) << mode;
        EXPECT_EQ(canvas.inkCount(), 1) << mode;
    }
}

// After a picture the cursor is back at its left edge, below its last row; a picture of no
// rows started at the page's top-left corner leaves the cursor there.
TEST(PclRaster, ThePictureLeavesTheCursorAtItsLeftEdgeBelowItsRows) {
    struct Case {
        const char* job;
        JobUnits x, y;  // of the text after the picture, from the logical page's corner
                        // (y 0 of the cursor is the top margin)
    };
    const Case cases[] = {
        {"~E~*p300x600Y~*t300R~*r1A~*b1W\xFF~*b1W\xFF~*rBa\f", 300 * kDot, kInch / 2 + 602 * kDot},
        {"~E~&l0E~*p0x0Y~*r1A~*rBa\f", 0, 0},
    };
    for (const Case& c : cases) {
        const JobDocument doc = interpretPcl(pcl(c.job), JobOptions{});
        ASSERT_EQ(doc.pages.size(), 1u) << c.job;
        ASSERT_FALSE(doc.pages[0].runs.empty()) << c.job;
        EXPECT_EQ(doc.pages[0].runs[0].x, kLeft + c.x) << c.job;
        EXPECT_EQ(doc.pages[0].runs[0].y, c.y) << c.job;
    }
}

TEST(PclRaster, InkRowsOnBothSidesOfALongBlankStretchAreKept) {
    std::string job = pcl("~E~*t300R~*r0A~*b1W\xFF~*b1W\x81");
    for (int i = 0; i < 100; ++i) job += pcl("~*b0W");
    job += pcl("~*b1W\xFF~*rB");
    const JobDocument doc = interpretPcl(job, JobOptions{});
    const auto& pics = doc.pages.at(0).rasters;
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[0].height, 2);
    EXPECT_EQ(pics[1].y, pics[0].y + 102 * kDot);
}

TEST(PclRaster, SourceWidthAndHeightClipTheRows) {
    const JobDocument doc =
        interpretPcl(pcl("~E~*t300R~*r4S~*r2T~*r0A~*b1W\xFF~*b1W\xFF~*b1W\xFF~*rB"), JobOptions{});
    const auto& pics = doc.pages.at(0).rasters;
    ASSERT_EQ(pics.size(), 1u);
    EXPECT_EQ(pics[0].width, 4);
    EXPECT_EQ(pics[0].height, 2);
    EXPECT_EQ(pics[0].x, kLeft);
}

TEST(PclRaster, AdaptiveCompressionCarriesManyRows) {
    // One row in mode 0, two blank rows, two copies of the row before them.
    const std::string data(
        "\x00\x00\x01\xF0"
        "\x04\x00\x02"
        "\x05\x00\x02",
        10);
    const JobDocument doc =
        interpretPcl(pcl("~E~*t300R~*r0A~*b5M~*b10W") + data + pcl("~*rB"), JobOptions{});
    const auto canvas = test::paintPage(doc.pages.at(0), 300);
    const int top = 150 + 150 * 3 / 4 / 3;  // home: half an inch and 3/4 of 50 dots
    int first = -1;
    for (int y = 0; y < canvas.height && first < 0; ++y)
        if (canvas.at(71, y)) first = y;
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first, top, 1);
    EXPECT_FALSE(canvas.at(71, first + 1));
    EXPECT_FALSE(canvas.at(71, first + 2));
    EXPECT_FALSE(canvas.at(71, first + 3));  // the row before the copies was blank

    // Counts are exact: F0, two blanks, 0F and two copies of it, FF, a delta row that puts
    // 0F in its first byte, and no rows for counts of 0. Column 71 is the rows' first dot,
    // 75 their fifth.
    const std::string rows(
        "\x00\x00\x01\xF0"
        "\x04\x00\x02"
        "\x00\x00\x01\x0F"
        "\x05\x00\x02"
        "\x00\x00\x01\xFF"
        "\x03\x00\x02\x00\x0F"
        "\x05\x00\x00"
        "\x04\x00\x00",
        30);
    const JobDocument counted =
        interpretPcl(pcl("~E~*t300R~*r0A~*b5M~*b30W") + rows + pcl("~*rB"), JobOptions{});
    const auto c = test::paintPage(counted.pages.at(0), 300);
    const bool first71[] = {true, false, false, false, false, false, true, false, false};
    const bool fifth75[] = {false, false, false, true, true, true, true, true, false};
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(c.at(71, first + r), first71[r]) << r;
        EXPECT_EQ(c.at(75, first + r), fifth75[r]) << r;
    }
    ASSERT_EQ(counted.pages[0].rasters.size(), 1u);
    EXPECT_EQ(counted.pages[0].rasters[0].height, 8);
    EXPECT_TRUE(counted.warnings.empty());
}

TEST(PclRectangles, SolidFillsAreRulesAndShadesAreDotPatterns) {
    const JobDocument doc =
        interpretPcl(pcl("~E~*p300x0Y~*c300a150b0P~*p0x300Y~*c720h360v10g2P~*p0x600Y~*c300a300b1g3P"
                         "~*p0x900Y~*c100a100b1P"),
                     JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    const JobPage& page = doc.pages[0];
    ASSERT_EQ(page.rules.size(), 1u);
    EXPECT_EQ(page.rules[0].x, kLeft + kInch);
    EXPECT_EQ(page.rules[0].y, kInch / 2);
    EXPECT_EQ(page.rules[0].width, kInch);
    EXPECT_EQ(page.rules[0].height, kInch / 2);
    // A 10% shade of an inch by half an inch: about a tenth of its dots.
    const auto canvas = test::paintPage(page, 300);
    long shade = 0;
    for (int y = 150 + 300; y < 150 + 450; ++y)
        for (int x = 71; x < 71 + 300; ++x) shade += canvas.at(x, y);
    EXPECT_NEAR(shade, 300 * 150 / 10, 300 * 150 / 50);
    // Its size is in decipoints: 720 by 360 is that inch by half an inch, not 720 by 360 dots.
    long beyond = 0;
    for (int y = 150 + 300; y < 150 + 450; ++y)
        for (int x = 71 + 310; x < 71 + 600; ++x) beyond += canvas.at(x, y);
    for (int y = 150 + 460; y < 150 + 590; ++y)
        for (int x = 71; x < 71 + 300; ++x) beyond += canvas.at(x, y);
    EXPECT_EQ(beyond, 0);
    // Horizontal hatching: whole rows of ink with blank rows between them.
    long hatchRows = 0;
    for (int y = 150 + 600; y < 150 + 900; ++y) hatchRows += canvas.at(71 + 150, y);
    EXPECT_GT(hatchRows, 20);
    EXPECT_LT(hatchRows, 80);
    // A white fill draws nothing.
    EXPECT_FALSE(canvas.at(71 + 50, 150 + 950));
    EXPECT_TRUE(doc.features.graphics);
}

TEST(PclRasterRows, ReplacementDeltaAtItsEdges) {
    const Row seed{1, 2, 3, 4, 5, 6, 7, 8};
    // A run whose value byte is missing at the end of the data changes nothing.
    EXPECT_EQ(decode(9, "\x80", seed), seed);
    EXPECT_EQ(decode(9, std::string("\x08\xAA\x80", 3), seed), (Row{1, 0xAA, 3, 4, 5, 6, 7, 8}));
    // Literal offsets of 15 and run offsets of 3 take an extension byte.
    Row wide(300, 0);
    Row w = decode(9, std::string("\x78\x02\x99", 3), wide);  // offset 15 + 2, one byte
    EXPECT_EQ(w[17], 0x99);
    EXPECT_EQ(w[16], 0);
    w = decode(9, std::string("\xE0\x01\x55", 3), wide);  // run offset 3 + 1, two copies
    EXPECT_EQ(w[3], 0);
    EXPECT_EQ(w[4], 0x55);
    EXPECT_EQ(w[5], 0x55);
    EXPECT_EQ(w[6], 0);
    // Literal counts of 7 and run counts of 31 take one too: 7 + 1 + 1 bytes, 31 + 1 + 2.
    w = decode(9, std::string("\x07\x01", 2) + std::string(9, '\x11'), wide);
    EXPECT_EQ(w[8], 0x11);
    EXPECT_EQ(w[9], 0);
    w = decode(9, std::string("\x9F\x01\x22", 3), wide);
    EXPECT_EQ(w[33], 0x22);
    EXPECT_EQ(w[34], 0);
    // Writing stops at the row's end.
    EXPECT_EQ(decode(9, std::string("\x9F\x00\x22", 3), seed), Row(8, 0x22));
}

TEST(PclRaster, ARowAtTheVeryTopOfTheSheetIsKept) {
    // No top margin: the cursor's row 0 is the sheet's top edge.
    const JobDocument doc =
        interpretPcl(pcl("~E~&l0E~*p0x0Y~*t300R~*r1A~*b1W\xFF~*rB"), JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters[0].y, 0);
    EXPECT_TRUE(doc.warnings.empty());
}
