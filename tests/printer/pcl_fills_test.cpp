// PCL 5 rectangle fills dot by dot: the printer's shading levels for each requested percentage,
// the six cross-hatch patterns' directions, the fills that draw nothing, and clipping at the
// logical page's edge.
#include <gtest/gtest.h>

#include <string>

#include "job_interpreter.h"
#include "job_paint.h"

using namespace folvek::printer;
using namespace std::string_literals;

namespace {

constexpr JobUnits kDot = kUnitsPerInch / 300;

JobDocument read(std::string text) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    return interpretPcl(text, JobOptions{});
}

// The ink of a job's only page at 300 dpi.
test::BitCanvas inkOf(const std::string& job) {
    const JobDocument doc = read(job);
    if (doc.pages.empty()) return {};  // nothing marked the page
    if (doc.pages.size() != 1) {
        ADD_FAILURE() << job << ": " << doc.pages.size() << " pages";
        return {};
    }
    return test::paintPage(doc.pages[0], 300);
}

// A 64 x 64 dot fill (a whole number of every pattern's periods) an inch from the corner.
std::string fill64(const std::string& pattern, int kind) {
    return "~E~*p300x300Y~*c64a64b" + pattern + "g" + std::to_string(kind) + "P";
}

}  // namespace

TEST(PclFills, ShadesTakeThePrintersLevels) {
    // Each level inks that share of an 8 x 8 cell's dots (rounded down to 64ths): 2% one dot,
    // 10% six, 20% twelve, 30% nineteen, 45% 28, 70% 44, 90% 57; 100% is solid black.
    struct Case {
        int percent;
        long ink;  // of 64 x 64 dots
    };
    const Case cases[] = {
        {0, 0},        {1, 64},       {2, 64},       {3, 6 * 64},   {10, 6 * 64},  {11, 12 * 64},
        {20, 12 * 64}, {21, 19 * 64}, {35, 19 * 64}, {36, 28 * 64}, {55, 28 * 64}, {56, 44 * 64},
        {80, 44 * 64}, {81, 57 * 64}, {99, 57 * 64}, {100, 4096},   {400, 4096},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inkOf(fill64(std::to_string(c.percent), 2)).inkCount(), c.ink) << c.percent;
    // The lightest shade is one dot in each 8 x 8 cell, on the same corner of every cell.
    const auto light = inkOf(fill64("2", 2));
    int firstX = -1, firstY = -1;
    for (int y = 0; y < light.height && firstX < 0; ++y)
        for (int x = 0; x < light.width; ++x)
            if (light.at(x, y)) {
                firstX = x;
                firstY = y;
                break;
            }
    ASSERT_GE(firstX, 0);
    EXPECT_EQ(firstX % 8, 0);  // anchored to the sheet, so that fills side by side meet
    EXPECT_EQ(firstY % 8, 0);
    for (int dy = 0; dy < 64; dy += 8)
        for (int dx = 0; dx < 64; dx += 8)
            EXPECT_TRUE(light.at(firstX + dx, firstY + dy)) << dx << "," << dy;
    // 100% shade is a rule, not a picture.
    const JobDocument solid = read(fill64("100", 2));
    ASSERT_EQ(solid.pages.size(), 1u);
    EXPECT_EQ(solid.pages[0].rules.size(), 1u);
    EXPECT_TRUE(solid.pages[0].rasters.empty());
}

TEST(PclFills, CrossHatchesRunTheirWay) {
    // 1 horizontal, 2 vertical, 3 rising (lower left to upper right), 4 falling, 5 both
    // straight ones, 6 both diagonals.
    const auto canvas = [](int pattern) { return inkOf(fill64(std::to_string(pattern), 3)); };
    const auto box = [](const test::BitCanvas& c, int& x0, int& y0) {
        x0 = y0 = -1;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (c.at(x, y)) {
                    if (x0 < 0 || x < x0) x0 = x;
                    if (y0 < 0) y0 = y;
                }
    };
    for (int pattern = 1; pattern <= 6; ++pattern) {
        const auto c = canvas(pattern);
        int x0 = 0, y0 = 0;
        box(c, x0, y0);
        ASSERT_GE(x0, 0) << pattern;
        // Inside the 64-dot square (borders left out), ink follows the pattern's direction.
        long ink = 0, breaks = 0;
        for (int y = y0 + 1; y < y0 + 63; ++y)
            for (int x = x0 + 1; x < x0 + 63; ++x) {
                const bool here = c.at(x, y);
                ink += here;
                if (!here) continue;
                switch (pattern) {
                    case 1:
                        breaks += !c.at(x + 1, y);
                        break;
                    case 2:
                        breaks += !c.at(x, y + 1);
                        break;
                    case 3:
                        breaks += !c.at(x + 1, y - 1);
                        break;
                    case 4:
                        breaks += !c.at(x + 1, y + 1);
                        break;
                    case 5:
                        breaks += !c.at(x + 1, y) && !c.at(x, y + 1);
                        break;
                    case 6:
                        breaks += !c.at(x + 1, y - 1) && !c.at(x + 1, y + 1);
                        break;
                }
            }
        EXPECT_GT(ink, 62 * 62 / 10) << pattern;
        EXPECT_LE(breaks, 2 * 64) << pattern;  // only where a line leaves the square
        // Lines two dots wide, one every 16 dots: an eighth of the dots for one direction.
        if (pattern <= 4) {
            EXPECT_EQ(c.inkCount(), 64 * 64 / 8) << pattern;
        }
    }
    // A horizontal hatch has no ink in a column alone, a vertical none in a row alone.
    const auto h = canvas(1), v = canvas(2);
    EXPECT_NE(h.px, v.px);
    EXPECT_GT(canvas(5).inkCount(), canvas(1).inkCount() + canvas(2).inkCount() - 64 * 16);
    EXPECT_GT(canvas(6).inkCount(), canvas(3).inkCount());
}

// The pattern is anchored to the sheet: a fill cut into pieces at odd dots, across and down,
// inks exactly the dots of the whole fill.
TEST(PclFills, FillsSideBySideMeetAsOneFill) {
    const std::pair<int, int> patterns[] = {{2, 2},  {2, 10}, {2, 20}, {2, 30}, {2, 45},
                                            {2, 70}, {2, 90}, {3, 1},  {3, 2},  {3, 3},
                                            {3, 4},  {3, 5},  {3, 6}};
    for (const auto& [kind, id] : patterns) {
        const std::string fill = "g" + std::to_string(kind) + "P";
        const std::string pattern = std::to_string(id);
        const auto at = [&](int x, int y, int w, int h) {
            return "~*p" + std::to_string(x) + "x" + std::to_string(y) + "Y~*c" +
                   std::to_string(w) + "a" + std::to_string(h) + "b" + pattern + fill;
        };
        const auto whole = inkOf("~E" + at(301, 305, 87, 45));
        const auto pieces =
            inkOf("~E" + at(301, 305, 37, 45) + at(338, 305, 50, 19) + at(338, 324, 50, 26));
        ASSERT_GT(whole.inkCount(), 0) << kind << " " << id;
        EXPECT_EQ(pieces.inkCount(), whole.inkCount()) << kind << " " << id;
        EXPECT_TRUE(pieces.px == whole.px) << kind << " " << id;
    }
}

TEST(PclFills, FillsThatDrawNothingAndClipping) {
    for (const std::string& job : {
             fill64("0", 3),                      // cross-hatch pattern 0 is none
             fill64("7", 3),                      // nor is 7
             fill64("50", 1),                     // white fill
             fill64("50", 4),                     // the current pattern (not drawn)
             fill64("50", 5),                     // a user pattern
             "~E~*p300x300Y~*c0a64b0P"s,          // no width
             "~E~*p300x300Y~*c64a0b0P"s,          // no height
             "~E~*c64a64b~E~*p300x300Y~*c0P"s,    // a reset leaves no size
             "~E~*c2G~E~*p300x300Y~*c64a64b3P"s,  // nor a pattern
             // Shaded and hatched fills thinner than one 300-dot pattern dot (1/720 inch)
             "~E~*p300x300Y~*c1h64b50g2P"s,
             "~E~*p300x300Y~*c64a1v50g2P"s,
             "~E~*p300x300Y~*c1h64b1g3P"s,
             "~E~*p300x300Y~*c64a1v2g3P"s,
         }) {
        const JobDocument doc = read(job + "x");
        ASSERT_EQ(doc.pages.size(), 1u) << job;
        EXPECT_TRUE(doc.pages[0].rules.empty()) << job;
        EXPECT_TRUE(doc.pages[0].rasters.empty()) << job;
        EXPECT_FALSE(doc.features.graphics) << job;
    }
    // A rule from 2328 dots on is cut at the logical page's right edge: A4's 210 mm less the
    // two 71-dot strips the printer cannot reach, 2338.3 dots.
    const JobDocument doc = read("~E~*p2328x0Y~*c100a5b0P");
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rules.size(), 1u);
    EXPECT_EQ(doc.pages[0].rules[0].width, 178583 - 142 * kDot - 2328 * kDot);
    EXPECT_EQ(doc.pages[0].rules[0].height, 5 * kDot);
    EXPECT_EQ(doc.pages[0].rules[0].x, (71 + 2328) * kDot);
    // A rule placed past the edge draws nothing.
    for (const JobPage& page : read("~E~*p2339x0Y~*c100a5b0Px").pages)
        EXPECT_TRUE(page.rules.empty());
}
