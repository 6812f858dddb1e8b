// The pseudo-graphic rules, checked as segments on the recording surface. Rows are 16 units
// high (row k spans y = -16k down to -16k-16, its middle 8 below its top), columns 10 wide
// (column c's centre at x = 10c + 5).
#include <gtest/gtest.h>

#include "line_art.h"
#include "page_renderer.h"
#include "recording_device.h"
#include "row_painter.h"

namespace folvek::test {
namespace {

struct Rules : ::testing::Test {
    TestPager t;
    RecordingDevice dc;
    // Draws the lines as page 1 and returns the surface.
    RecordingDevice& draw(const std::vector<std::string>& lines) {
        t.setLines(lines);
        t->paginate();
        dc.clear();
        drawPage(*t, dc, 1, true);
        return dc;
    }
};

TEST_F(Rules, ConnectingSet) {
    for (int b = 0; b < 256; ++b) {
        const bool want = b == '+' || b == '-' || b == '=' || b == '|' || b == 0xA6;
        EXPECT_EQ(isLineChar(static_cast<std::uint8_t>(b)), want) << b;
    }
    EXPECT_EQ(lineClass('L'), LineClass::Corner);
    EXPECT_EQ(lineClass(0xE3), LineClass::Horizontal);
    EXPECT_EQ(lineClass(0xA6), LineClass::Vertical);
}

TEST_F(Rules, CornersJoinBarsAboveAndBelowAndCarryTheLine) {
    draw({"|    |", "+----+", "|    |"});
    EXPECT_TRUE(dc.hasSegment({5, -16, 5, -32}));
    EXPECT_TRUE(dc.hasSegment({55, -16, 55, -32}));
    EXPECT_TRUE(dc.hasSegment({5, -24, 55, -24}));
    EXPECT_EQ(dc.allText(), "");
}

TEST_F(Rules, HorizontalLinesStartAtTheEdgeOrAtAJoiningBar) {
    draw({"------ab"});
    EXPECT_TRUE(dc.hasSegment({0, -8, 55, -8}));
    EXPECT_EQ(dc.allText(), "ab");
    draw({"------ab", "-"});
    EXPECT_TRUE(dc.hasSegment({0, -8, 55, -8}));  // a minus below does not join
    draw({"------ab", "|"});
    EXPECT_TRUE(dc.hasSegment({5, -8, 55, -8}));
    EXPECT_EQ(dc.texts.back().rect.left, 60);
}

TEST_F(Rules, BarsReachIntoTheLinesTheyMeet) {
    draw({"---", " | "});
    EXPECT_TRUE(dc.hasSegment({15, -8, 15, -32}));  // up to the middle of the row above
    draw({"===", " | "});
    EXPECT_TRUE(dc.hasSegment({15, -16, 15, -32}));
    draw({" | ", "---"});
    EXPECT_TRUE(dc.hasSegment({15, 0, 15, -24}));  // down to the middle of the row below
    draw({"=|="});
    EXPECT_TRUE(dc.hasSegment({15, 0, 15, -8}));  // ends where the double line passes
    draw({"=|=", " | "});
    EXPECT_TRUE(dc.hasSegment({15, 0, 15, -16}));
}

TEST_F(Rules, BytesOutsideAPatternArePrinted) {
    draw({"a-+"});
    EXPECT_EQ(dc.allText(), "a-+");
    EXPECT_TRUE(dc.segments.empty());
    draw({"a - b"});
    EXPECT_EQ(dc.allText(), "a - b");
    draw({"++"});
    EXPECT_EQ(dc.allText(), "++");
    EXPECT_TRUE(dc.segments.empty());
    draw({"Lab", "T=x"});
    EXPECT_EQ(dc.allText(), "LabT=x");
}

TEST_F(Rules, CapitalLIsACornerOnlyInsideOrAtTheStartOfALine) {
    draw({"x L"});
    EXPECT_EQ(dc.allText(), "x L");
    draw({"--L"});
    EXPECT_EQ(dc.allText(), "");
    EXPECT_TRUE(dc.hasSegment({0, -8, 25, -8}));
    draw({"|", "L--"});
    EXPECT_EQ(dc.allText(), "");
    EXPECT_TRUE(dc.hasSegment({5, -16, 5, -24}));  // up from the corner's middle
    EXPECT_TRUE(dc.hasSegment({5, -24, 25, -24}));
    draw({"L-x"});
    EXPECT_EQ(dc.allText(), "L-x");
}

TEST_F(Rules, LinesCrossOrEndAtBars) {
    draw({"--|--"});
    EXPECT_TRUE(dc.hasSegment({0, -8, 45, -8}));
    EXPECT_TRUE(dc.hasSegment({25, 0, 25, -16}));
    draw({"--|+"});
    EXPECT_TRUE(dc.hasSegment({0, -8, 25, -8}));  // ends at the bar's centre
    EXPECT_EQ(dc.allText(), "+");
    draw({"|--|  x"});
    EXPECT_TRUE(dc.hasSegment({5, -8, 35, -8}));
    EXPECT_EQ(dc.allText(), "x");
    draw({"---"});
    EXPECT_TRUE(dc.hasSegment({0, -8, 25, -8}));  // still open at the end: the last centre
}

TEST_F(Rules, ContinuationStripJoinsToTheByteBeforeIt) {
    t.setLines({""});
    t->paginate();
    RowInput row;
    row.text = "-=";
    paintRow(*t, dc, row);
    EXPECT_EQ(dc.allText(), "-=");
    dc.clear();
    row.prefixByte = '|';
    paintRow(*t, dc, row);
    EXPECT_EQ(dc.allText(), "");
    EXPECT_TRUE(dc.hasSegment({0, -8, 15, -8}));
}

TEST_F(Rules, ALetterMetInsideALineIsNotLost) {
    draw({"--L-"});
    EXPECT_EQ(dc.allText(), "L");
}

}  // namespace
}  // namespace folvek::test
