// Box characters read from a DOS file are drawn from their arms: exact segments for single and
// double frames, frames that must not join, and the plain rules next to a frame. Columns are 10
// units wide (centre of column c at 10c + 5), rows 16 high (middle of row k at -16k - 8); a
// double line lies 1 before and 2 after the centre line (a gap of a third of the cell).
#include <gtest/gtest.h>

#include <iconv.h>
#include "text_encoding.h"

#include <fstream>
#include <string>
#include <vector>

#include "codepage.h"
#include "page_renderer.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

using Segs = std::vector<Segment>;

std::string toDos(const std::string& utf8) {
    iconv_t cd = iconv_open("CP866", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    char* op = out.data();
    std::size_t il = utf8.size(), ol = out.size();
    const std::size_t r = iconv(cd, &in, &il, &op, &ol);
    iconv_close(cd);
    EXPECT_NE(r, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - ol);
    return out;
}

struct BoxFrames : ::testing::Test {
    TestRecord t;
    RecordingDevice dc;
    std::string path = ::testing::TempDir() + "folvek_box_frames_" + std::to_string(::getpid());
    void TearDown() override { std::remove(path.c_str()); }

    // Loads the lines (UTF-8 here, code page 866 in the file) as a DOS file and draws page 1.
    void draw(const std::vector<std::string>& lines) {
        std::ofstream f(path, std::ios::binary);
        for (auto& l : lines) f << toDos(l) << "\r\n";
        f.close();
        t->freeText();
        t->IsDos = 1;
        t->encodingOverride = EncodingChoice::Cp866;  // short samples: the code page is fixed
        ASSERT_EQ(t->loadText(path), 1);
        t->paginate();
        dc.clear();
        drawPage(*t, dc, 1, true);
    }
    void expectExactly(Segs want) {
        RecordingDevice d;
        d.segments = std::move(want);
        EXPECT_EQ(dc.segmentSet(), d.segmentSet());
    }
};

TEST_F(BoxFrames, ATwoRowBoxIsClosed) {
    draw({"┌─┐", "└─┘"});
    expectExactly({{5, -8, 25, -8},
                   {5, -8, 5, -16},
                   {25, -8, 25, -16},
                   {5, -16, 5, -24},
                   {25, -16, 25, -24},
                   {5, -24, 25, -24}});
    EXPECT_EQ(dc.allText(), "");
}

TEST_F(BoxFrames, DoubleLinesAreTwoLinesWithClosedCorners) {
    draw({"╔═╗", "╚═╝"});
    expectExactly({// outer ring
                   {4, -7, 27, -7},
                   {4, -7, 4, -16},
                   {4, -16, 4, -26},
                   {27, -7, 27, -16},
                   {27, -16, 27, -26},
                   {4, -26, 27, -26},
                   // inner ring
                   {7, -10, 24, -10},
                   {7, -10, 7, -16},
                   {7, -16, 7, -23},
                   {24, -10, 24, -16},
                   {24, -16, 24, -23},
                   {7, -23, 24, -23}});
}

TEST_F(BoxFrames, DoubleTeesKeepTheUnbrokenSideAndSingleLinesStopAtTheDoubleOne) {
    draw({"═╦═"});
    // The upper line runs through; the lower one turns down on both sides of the stem.
    expectExactly({{0, -7, 30, -7},
                   {0, -10, 14, -10},
                   {14, -10, 14, -16},
                   {17, -10, 30, -10},
                   {17, -10, 17, -16}});
    draw({"║", "╟─"});
    // The single line starts at the inner line of the double one and never crosses it.
    expectExactly(
        {{4, 0, 4, -16}, {7, 0, 7, -16}, {4, -16, 4, -32}, {7, -16, 7, -32}, {7, -24, 20, -24}});
}

TEST_F(BoxFrames, ASingleLineCrossingADoubleOneGoesStraightThrough) {
    draw({"╪"});
    // Both double lines run across; the single vertical is one line from top to bottom.
    expectExactly({{0, -7, 10, -7}, {0, -10, 10, -10}, {5, 0, 5, -16}});
    draw({"╫"});
    expectExactly({{4, 0, 4, -16}, {7, 0, 7, -16}, {0, -8, 10, -8}});
}

TEST_F(BoxFrames, TablesOneUnderTheOtherStaySeparate) {
    draw({"└─┘", "┌─┐"});
    expectExactly({{5, 0, 5, -8},
                   {25, 0, 25, -8},
                   {5, -8, 25, -8},
                   {5, -24, 25, -24},
                   {5, -24, 5, -32},
                   {25, -24, 25, -32}});
}

TEST_F(BoxFrames, ATableUnderARuleHasNothingStickingUp) {
    draw({"=====", "┌─┬─┐"});
    expectExactly({{0, -8, 45, -8},
                   {5, -24, 45, -24},
                   {5, -24, 5, -32},
                   {25, -24, 25, -32},
                   {45, -24, 45, -32}});
}

TEST_F(BoxFrames, PlainRulesNextToAFrameSeeWhatTheFrameDraws) {
    // The bottom corners' look-alikes are plus signs; the rules must not reach up into them.
    draw({"└──┘", "+--+"});
    expectExactly({{5, 0, 5, -8}, {35, 0, 35, -8}, {5, -8, 35, -8}, {5, -24, 35, -24}});
    // A bar under a tee meets its stem; a bar under a plain horizontal reaches its middle.
    draw({"┬─", "||"});
    expectExactly({{0, -8, 20, -8}, {5, -8, 5, -16}, {5, -16, 5, -32}, {15, -8, 15, -32}});
}

TEST_F(BoxFrames, TagsAndTextDoNotShiftTheFrame) {
    draw({"<B>│ab│"});
    expectExactly({{5, 0, 5, -16}, {35, 0, 35, -16}});
    EXPECT_EQ(dc.allText(), "ab");
    EXPECT_EQ(dc.texts[0].rect.left, 10);
}

TEST_F(BoxFrames, AFrameCutByTheSheetEdgeRunsToBothEdges) {
    t->isWrap = 1;
    std::string top = "┌", bottom = "└";
    for (int i = 0; i < 148; ++i) top += "─", bottom += "─";
    draw({top + "┐", bottom + "┘"});
    const int n = t->charsPerLine;
    ASSERT_GT(n, 2);
    ASSERT_LT(n, 150);
    // The first sheet: from the corner to the sheet's last cell edge.
    expectExactly({{5, -8, n * 10, -8}, {5, -8, 5, -16}, {5, -16, 5, -24}, {5, -24, n * 10, -24}});
    // The continuation sheet: from its left edge on to the far corners.
    dc.clear();
    drawPage(*t, dc, 2, true);
    const int x = (149 - n) * 10 + 5;
    expectExactly({{0, -8, x, -8}, {x, -8, x, -16}, {x, -16, x, -24}, {0, -24, x, -24}});
}

TEST_F(BoxFrames, TheTextKeepsItsLookAlikes) {
    // What the text holds (and so what is searched, copied and sent) is unchanged.
    const std::string dos = toDos("┌─┬─╗ Итог ║");
    draw({"┌─┬─╗ Итог ║"});
    std::string want = dos;
    oemToAnsi(want.data(), want.size());
    EXPECT_STREQ(t->lines.textAt(0), want.c_str());
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST_F(BoxFrames, PlainRulesRunIntoTheArmOfABoxCharacter) {
    // A minus rule ends at the cell edge of a box character with a left arm and meets it there;
    // with no arm it stops at the centre of its own last cell.
    draw({"---┤"});
    expectExactly({{0, -8, 30, -8}, {30, -8, 35, -8}, {35, 0, 35, -16}});
    draw({"---│"});
    expectExactly({{0, -8, 25, -8}, {35, 0, 35, -16}});
    // An equals rule is drawn as one line; it meets both lines of a double arm at the edge.
    draw({"===╡"});
    expectExactly({{0, -8, 30, -8}, {30, -10, 35, -10}, {30, -7, 35, -7}, {35, 0, 35, -16}});
}

TEST_F(BoxFrames, LinesAloneStayInTheirCells) {
    draw({"──", "", "═"});
    const auto segs = dc.segmentSet();
    for (const Segment& s : segs) {
        EXPECT_GE(std::min(s.x1, s.x2), 0);
        EXPECT_LE(std::max(s.x1, s.x2), 20);
    }
}

}  // namespace
}  // namespace folvek::test
