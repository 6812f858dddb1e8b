// The PDF device's own state and what it writes for text cells and fills: the device's sizes,
// the saved-state stack, the viewport scale, the cells drawn with horizontal scaling (blanks at
// the ends left out, control bytes as blanks), underline and strike-out bars across every cell,
// and fills that cover nothing. The content streams are read back with qpdf (skipped without).
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <vector>

#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

// The page's content stream, uncompressed, with text drawn transparent.
std::string contentOf(const std::function<void(DeviceContext&)>& draw) {
    return drawnPage(draw, true);
}

// The rectangles of the content: x y w h of each "re".
std::vector<std::vector<double>> rects(const std::string& content) {
    static const std::regex re("(-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) (-?[0-9.]+) re");
    std::vector<std::vector<double>> out;
    for (std::sregex_iterator i(content.begin(), content.end(), re), end; i != end; ++i)
        out.push_back(
            {std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]), std::stod((*i)[4])});
    return out;
}

}  // namespace

TEST(PdfDeviceState, SizesAndTheStackOfSavedStates) {
    ScratchDir dir;
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(dir.path("s.pdf"))) << pdf.error();
    PdfPageGeometry page;
    page.printableWidthMm = 200;
    page.printableHeightMm = 280.4;
    DeviceContext& dc = pdf.beginPage(page);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::HorzSizeMm), 200);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::VertSizeMm), 280);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::HorzRes), 9449);   // 200 mm at 1200 dots an inch
    EXPECT_EQ(dc.deviceCaps(DeviceCap::VertRes), 13247);  // 280.4 mm
    EXPECT_EQ(dc.deviceCaps(DeviceCap::LogPixelsX), 1200);
    EXPECT_EQ(dc.deviceCaps(DeviceCap::LogPixelsY), 1200);

    EXPECT_EQ(dc.saveState(), 1);
    EXPECT_EQ(dc.saveState(), 2);
    EXPECT_FALSE(dc.restoreState(3));
    EXPECT_FALSE(dc.restoreState(0));
    EXPECT_FALSE(dc.restoreState(-3));
    EXPECT_TRUE(dc.restoreState(-1));  // the last one: one is left
    EXPECT_EQ(dc.saveState(), 2);
    EXPECT_TRUE(dc.restoreState(1));  // back to the first: none left
    EXPECT_FALSE(dc.restoreState(-1));
    EXPECT_FALSE(dc.restoreState(1));
    EXPECT_TRUE(pdf.endPage());
    EXPECT_TRUE(pdf.finish()) << pdf.error();
}

TEST(PdfDeviceState, TheViewportScaleAndFillsOfNothing) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    const std::string content = contentOf([](DeviceContext& dc) {
        dc.fillRect({100, -100, 300, -200});
        dc.saveState();
        dc.scaleViewport(1, 2, 3, 4);  // the smaller of the two: a half
        dc.fillRect({100, -100, 300, -200});
        dc.scaleViewport(0, 2, 1, 1);   // a zero scale is refused
        dc.scaleViewport(-1, 2, 1, 2);  // a sign is not a mirror: a half again
        dc.fillRect({100, -100, 300, -200});
        dc.restoreState(-1);
        dc.fillRect({100, -100, 300, -200});
        dc.fillRect({100, -100, 100, -200});  // no width
        dc.fillRect({100, -100, 300, -100});  // no height
        dc.fillRect({300, -200, 100, -100});  // corners the other way round
    });
    const auto r = rects(content);
    ASSERT_EQ(r.size(), 5u) << content;
    EXPECT_EQ(r[0], (std::vector<double>{100, -200, 200, 100}));
    EXPECT_EQ(r[1], (std::vector<double>{50, -100, 100, 50}));
    EXPECT_EQ(r[2], (std::vector<double>{25, -50, 50, 25}));
    EXPECT_EQ(r[3], r[0]);
    EXPECT_EQ(r[4], r[0]);
}

TEST(PdfDeviceState, CellsAreScaledToTheirAdvanceAndDecoratedWhole) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    // Liberation Mono's digit is 1229/2048 of the em: at an em of 40 about 24 units, so cells
    // 48 apart need the glyphs about twice as wide.
    const std::string content = contentOf([](DeviceContext& dc) {
        dc.selectFont(mono(-40));
        dc.drawCells(
            "  A\x01"
            "B  ",
            7, 100, -100, 48);
        dc.drawCells("   ", 3, 100, -300, 48);  // blanks only: no text
        dc.drawCells("C", 1, 100, -400, 0);     // no advance: nothing
        dc.selectFont(mono(-40, true, true));
        dc.drawCells(" D ", 3, 100, -500, 24.0117);
    });
    EXPECT_EQ(count(content, "Tj"), 2) << content;
    EXPECT_NE(content.find("(A B)Tj"), std::string::npos) << content;
    EXPECT_NE(content.find("(D)Tj"), std::string::npos) << content;
    // Horizontal scaling in per cent: the advance over the digit's width.
    static const std::regex tz("([0-9.]+) Tz");
    std::vector<double> scales;
    for (std::sregex_iterator i(content.begin(), content.end(), tz), end; i != end; ++i)
        scales.push_back(std::stod((*i)[1]));
    const double digit = 40 * 1229.0 / 2048;
    ASSERT_EQ(scales.size(), 2u) << content;
    EXPECT_NEAR(scales[0], 100 * 48 / digit, 0.001);
    EXPECT_NEAR(scales[1], 100 * 24.0117 / digit, 0.001);
    // Underline and strike-out cover all three cells, blanks too: 72 units wide, 40/14 thick.
    const auto r = rects(content);
    ASSERT_EQ(r.size(), 2u) << content;
    for (const auto& bar : r) {
        EXPECT_NEAR(bar[0], 100, 0.05);
        EXPECT_NEAR(bar[2], 72, 0.05);
        EXPECT_NEAR(bar[3], 40.0 / 14, 0.05);
    }
    // The underline lies below the baseline (y -500), the strike-out above it.
    EXPECT_LT(r[0][1] + r[0][3], -500);
    EXPECT_GT(r[1][1], -500);
}

}  // namespace folvek
