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

using Segs = std::vector<Segment>;

// The same set as `want`, in the order segmentSet() gives.
Segs normalised(Segs want) {
    RecordingDevice d;
    d.segments = std::move(want);
    return d.segmentSet();
}

struct Rules : ::testing::Test {
    TestRecord t;
    RecordingDevice dc;
    // Exactly these segments were drawn, no more.
    void expectExactly(const Segs& want) { EXPECT_EQ(dc.segmentSet(), normalised(want)); }
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
    expectExactly({{5, 0, 5, -16},
                   {55, 0, 55, -16},
                   {5, -16, 5, -32},
                   {55, -16, 55, -32},
                   {5, -24, 55, -24},
                   {5, -32, 5, -48},
                   {55, -32, 55, -48}});
    EXPECT_EQ(dc.allText(), "");
}

TEST_F(Rules, HorizontalLinesStartAtTheEdgeOrAtAJoiningBar) {
    draw({"------ab"});
    expectExactly({{0, -8, 55, -8}});
    EXPECT_EQ(dc.allText(), "ab");
    draw({"------ab", "-"});
    expectExactly({{0, -8, 55, -8}});  // a minus below does not join
    EXPECT_EQ(dc.allText(), "ab-");
    draw({"------ab", "|"});
    expectExactly({{5, -8, 55, -8}, {5, -8, 5, -32}});
    EXPECT_EQ(dc.texts.front().rect.left, 60);
}

TEST_F(Rules, BarsReachIntoTheLinesTheyMeet) {
    draw({"---", " | "});
    expectExactly({{0, -8, 25, -8}, {15, -8, 15, -32}});  // up to the middle of the row above
    draw({"===", " | "});
    expectExactly({{0, -8, 25, -8}, {15, -16, 15, -32}});
    draw({" | ", "---"});
    expectExactly({{15, 0, 15, -24}, {0, -24, 25, -24}});  // down to the middle of the row below
    draw({"=|="});
    expectExactly({{15, 0, 15, -8}});  // ends where the double line passes
    EXPECT_EQ(dc.allText(), "==");
    draw({"=|=", " | "});
    expectExactly({{15, 0, 15, -16}, {15, -16, 15, -32}});
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
    expectExactly({{0, -8, 25, -8}});
    draw({"|", "L--"});
    EXPECT_EQ(dc.allText(), "");
    expectExactly({{5, 0, 5, -16}, {5, -16, 5, -24}, {5, -24, 25, -24}});  // up from the middle
    draw({"L-x"});
    EXPECT_EQ(dc.allText(), "L-x");
}

TEST_F(Rules, LinesCrossOrEndAtBars) {
    draw({"--|--"});
    expectExactly({{0, -8, 45, -8}, {25, 0, 25, -16}});
    draw({"--|+"});
    expectExactly({{0, -8, 25, -8}, {25, 0, 25, -16}});  // ends at the bar's centre
    EXPECT_EQ(dc.allText(), "+");
    draw({"|--|  x"});
    expectExactly({{5, 0, 5, -16}, {35, 0, 35, -16}, {5, -8, 35, -8}});
    EXPECT_EQ(dc.allText(), "x");
    draw({"---"});
    expectExactly({{0, -8, 25, -8}});  // still open at the end: the last centre
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
    expectExactly({{0, -8, 15, -8}});
}

TEST_F(Rules, ALetterMetInsideALineIsNotLostAndStaysInItsColumn) {
    draw({"--L-"});
    EXPECT_EQ(dc.allText(), "L");
    ASSERT_EQ(dc.texts.size(), 1u);
    EXPECT_EQ(dc.texts[0].rect.left, 20);
    expectExactly({{0, -8, 35, -8}});
    draw({"--L-x"});  // the gap the line runs through stays between L and x
    EXPECT_EQ(dc.allText(), "L x");
    EXPECT_EQ(dc.texts[0].rect.left, 20);
}

TEST_F(Rules, ABarAfterAMinusEndsTheLineAtItsCentreUnlessAnEqualsComesBefore) {
    draw({"|=--|+"});
    expectExactly({{5, 0, 5, -16}, {45, 0, 45, -16}, {5, -8, 45, -8}});
    draw({"|==-|+"});
    // Where an equals sign comes before the last minus, the line stops a cell short.
    expectExactly({{5, 0, 5, -16}, {45, 0, 45, -16}, {5, -8, 35, -8}});
}

TEST_F(Rules, BarsMeetTheLinesAboveAndBelowAtAnOddPitch) {
    t.printer.lineHeight = 15;  // half a row is 7.5: the reach must not be truncated
    draw({"------", "|    |", "------"});
    // Row 0 has its middle at -7, row 1 spans -15..-30, row 2 has its middle at -37.
    expectExactly({{5, -7, 55, -7}, {5, -7, 5, -37}, {55, -7, 55, -37}, {0, -37, 55, -37}});
    draw({"=|="});
    expectExactly({{15, 0, 15, -7}});  // ends on its own row's middle, where the line runs
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

// Style tags in the rows above and below take no columns: the rules join as they do without.
TEST_F(Rules, TagsInTheNeighbouringRowsTakeNoColumns) {
    const std::vector<std::vector<std::string>> pairs[] = {
        {{"  |  ", "--+--", "  |  "}, {"<B>  |</B>  ", "--+--", "<I>  <U>|  "}},
        {{"-----", "  |  "}, {"<B>-----</B>", "  |  "}},
        {{"  |  ", "=====", "  |  "}, {"<U>  |</U>", "=====", "  <B>|"}},
    };
    for (const auto& pair : pairs) {
        draw(pair[0]);
        const auto plain = dc.segmentSet();
        ASSERT_FALSE(plain.empty());
        draw(pair[1]);
        EXPECT_EQ(dc.segmentSet(), plain) << pair[1][0];
    }
}

}  // namespace
}  // namespace folvek::test
