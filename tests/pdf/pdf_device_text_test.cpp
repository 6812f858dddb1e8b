// What the PDF device writes into a page's content for text runs, lines and pictures, read
// back exactly: the white box behind opaque text, blanks at a run's end left out, the bytes a
// string must escape, text positions relative within one text object, underline and strike-out
// under a whole run, the font size of each kind of height, pens and their line caps, and where
// a picture is placed. Liberation Mono (tools/setup installs it): every advance is 1229/2048 of
// the em, the ascent 1705/2048, the cell 2320/2048. The content is read back with qpdf.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <vector>

#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

constexpr double kAdvance = 1229.0 / 2048, kAscent = 1705.0 / 2048, kCell = 2320.0 / 2048;

// The page's own content stream: from its coordinate change to its end.
std::string pageContent(const std::function<void(DeviceContext&)>& draw) {
    const std::string all = drawnPage(draw);
    const auto from = all.find(" cm\n");
    const auto to = all.find("endstream", from);
    return from == std::string::npos ? all : all.substr(from + 4, to - from - 4);
}

// Every match of `pattern` in `text`, as the numbers of its groups.
std::vector<std::vector<double>> numbers(const std::string& text, const char* pattern) {
    const std::regex re(pattern);
    std::vector<std::vector<double>> out;
    for (std::sregex_iterator i(text.begin(), text.end(), re), end; i != end; ++i) {
        std::vector<double> row;
        for (std::size_t g = 1; g < i->size(); ++g) row.push_back(std::stod((*i)[g]));
        out.push_back(row);
    }
    return out;
}

void expectNear(const std::vector<double>& got, const std::vector<double>& want,
                const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 0.051) << what;
}

}  // namespace

TEST(PdfDeviceText, OpaqueAndTransparentRunsTheirPlacesAndEscapes) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    const double em = 40, advance = kAdvance * em, cell = kCell * em, ascent = kAscent * em;
    const std::string content = pageContent([](DeviceContext& dc) {
        dc.selectFont(mono(-40));
        // Opaque: a white box of the whole run, blanks included, then the text without them.
        const char run[] = "a(b)\\\r  ";
        dc.drawText(run, 8, {100, -100, 900, -200}, 0);
        dc.drawText("   ", 3, {100, -150, 900, -250}, 0);  // blanks only: the box, no text
        dc.drawText("", 0, {100, -160, 900, -260}, 0);     // nothing at all
        dc.setTransparentText();
        dc.drawText("xy", 2, {100, -200, 900, -300}, 0);
        dc.drawText("zw", 2, {150, -250, 900, -350}, 0);
    });
    // The white boxes: from the top of the run down one cell, as wide as its advances.
    const auto boxes =
        numbers(content, "1 g (-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) re f 0 g");
    ASSERT_EQ(boxes.size(), 2u) << content;
    expectNear(boxes[0], {100, -100 - cell, 8 * advance, cell}, "the first run's box");
    expectNear(boxes[1], {100, -150 - cell, 3 * advance, cell}, "the blank run's box");
    EXPECT_EQ(count(content, " re"), 2) << content;
    // Parentheses, backslash and carriage return escaped; the trailing blanks left out.
    EXPECT_NE(content.find("Td(a\\(b\\)\\\\\\r)Tj"), std::string::npos) << content;
    EXPECT_EQ(count(content, "Tj"), 3) << content;
    // Positions: the baseline one ascent below the top; within one text object each move is
    // relative to the last, a new object starts again from the origin.
    const auto moves = numbers(content, "(-?[0-9.]+) (-?[0-9.]+) Td");
    ASSERT_EQ(moves.size(), 3u) << content;
    expectNear(moves[0], {100, -100 - ascent}, "the opaque run");
    expectNear(moves[1], {100, -200 - ascent}, "the first transparent run, in a new object");
    expectNear(moves[2], {50, -50}, "the next one, relative");
    EXPECT_EQ(count(content, "BT"), 2) << content;
    EXPECT_EQ(count(content, "ET"), 2) << content;
    // One font selection while it stays; no horizontal scaling and no render mode for plain
    // text in a face that has its own styles.
    EXPECT_EQ(count(content, " 40 Tf"), 1) << content;
    EXPECT_EQ(count(content, "Tz"), 0) << content;
    EXPECT_EQ(count(content, "Tr"), 0) << content;
}

TEST(PdfDeviceText, UnderlineAndStrikeOutSpanTheWholeRunAndSizesFollowTheHeight) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    const std::string content = pageContent([](DeviceContext& dc) {
        dc.setTransparentText();
        dc.selectFont(mono(-40, true, true));
        dc.drawText("ab  ", 4, {100, -300, 900, -400}, 0);
        dc.selectFont(mono(-40, true, false));
        dc.drawText("   ", 3, {100, -500, 900, -600}, 0);  // blanks are underlined too
        dc.selectFont(mono(0));                            // the default size: 13 units to the em
        dc.drawText("c", 1, {100, -700, 900, -800}, 0);
        dc.selectFont(mono(40));  // a positive height is the cell
        dc.drawText("d", 1, {100, -800, 900, -900}, 0);
        // One character narrower than a unit is underlined too; a run of none is not.
        dc.selectFont(mono(-1, true));
        dc.drawText("e", 1, {100, -950, 900, -960}, 0);
        dc.drawText("", 0, {100, -970, 900, -980}, 0);
    });
    const double em = 40, thick = em / 14, baseline = -300 - kAscent * em;
    const auto bars = numbers(content, "(-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) re");
    ASSERT_EQ(bars.size(), 4u) << content;
    // A tenth of the em below the baseline; strike-out at 28 % of the em above it.
    expectNear(bars[0], {100, baseline - 0.1 * em - thick, 4 * kAdvance * em, thick}, "underline");
    expectNear(bars[1], {100, baseline + 0.28 * em - thick, 4 * kAdvance * em, thick}, "strike");
    expectNear(bars[2], {100, -500 - kAscent * em - 0.1 * em - thick, 3 * kAdvance * em, thick},
               "the blanks' underline");
    expectNear(bars[3], {100, -950 - kAscent - 0.1 - 1 / 14.0, kAdvance, 1 / 14.0}, "tiny");
    EXPECT_EQ(count(content, "Tj"), 4) << content << ": the blank run prints no text";
    const auto sizes = numbers(content, " ([0-9.]+) Tf");
    ASSERT_EQ(sizes.size(), 4u) << content;
    EXPECT_NEAR(sizes[0][0], 40, 0.001);
    EXPECT_NEAR(sizes[1][0], 13, 0.001);
    EXPECT_NEAR(sizes[2][0], 40 / kCell, 0.001);
}

TEST(PdfDeviceText, PensStrokeTheirOwnPathsAndPicturesLandInTheirBoxes) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    const std::vector<std::uint8_t> bits{0xFF, 0xFF};
    const std::string content = pageContent([&](DeviceContext& dc) {
        dc.selectPen(0);
        dc.moveTo(100, -100);
        dc.lineTo(300, -100);
        dc.moveTo(100, -120);
        dc.lineTo(300, -120);
        dc.selectPen(3);
        dc.moveTo(100, -300);
        dc.lineTo(100, -400);
        dc.selectPen(-2);  // no negative pen: the thinnest
        dc.moveTo(500, -100);
        dc.lineTo(600, -100);
        // A picture covers what came before it: the lines so far are stroked first.
        dc.drawBitmap(100, -100, 250, -100, BitmapView{16, 1, 2, bits.data()});
        dc.drawBitmap(400, -100, 250, 100, BitmapView{16, 1, 2, bits.data()});  // flipped
        dc.drawBitmap(400, -300, 0, -100, BitmapView{16, 1, 2, bits.data()});   // no width
        dc.drawBitmap(400, -300, 250, 0, BitmapView{16, 1, 2, bits.data()});    // no height
        dc.selectPen(3);
        dc.moveTo(700, -100);
        dc.lineTo(700, -200);
    });
    // Width 0 is the hairline with butt caps, wider pens get square caps; each change of pen
    // strokes the path so far, and a pen already in force is not set again.
    const std::string expected =
        "0 w 0 J\n100 -100 m 300 -100 l\n100 -120 m 300 -120 l\nS\n"
        "3 w 2 J\n100 -300 m 100 -400 l\nS\n"
        "0 w 0 J\n500 -100 m 600 -100 l\nS\n"
        "q 250 0 0 100 100 -200 cm/Im";
    EXPECT_NE(content.find(expected), std::string::npos) << content;
    const auto placed =
        numbers(content, "q (-?[0-9.]+) 0 0 (-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) cm");
    ASSERT_EQ(placed.size(), 2u) << content;
    expectNear(placed[1], {250, -100, 400, 0}, "a picture drawn upwards is mirrored");
    EXPECT_NE(content.find("Do Q\n3 w 2 J\n700 -100 m 700 -200 l\nS\n"), std::string::npos)
        << content;
}

}  // namespace folvek
