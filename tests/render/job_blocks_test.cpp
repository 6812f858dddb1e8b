// Block characters of a printer job (full, half and shaded blocks, as DOS reports print bars
// and shadows with them) drawn as fills and dot patterns over their cells, and the overline a
// Proprinter job asks for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "job_interpreter.h"
#include "page_renderer.h"
#include "printed_job.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

using namespace std::string_literals;

struct JobBlocks : ::testing::Test {
    TestRecord t;
    RecordingDevice dc;
    void draw(const std::string& job) {
        printer::JobOptions options;
        options.charTable = printer::CharTable::Pc866;
        t.setLines({"the report's own reading of the job"});
        t->jobLayout = std::make_shared<printer::PrintedJob>(printer::interpretJob(job, options));
        t->paginate();
        dc.clear();
        drawPage(*t, dc, 1, true);
    }
};

int width(const Rect& r) {
    return std::abs(r.right - r.left);
}
int height(const Rect& r) {
    return std::abs(r.top - r.bottom);
}

TEST_F(JobBlocks, FullAndHalfBlocksFillTheirPartOfTheCell) {
    // 866: DB full, DF upper half, DC lower half, DD left half, DE right half.
    draw("\x1b@\xdb\xdf\xdc\xdd\xde\r\n"s);
    ASSERT_EQ(dc.rects.size(), 5u);
    const Rect full = dc.rects[0], upper = dc.rects[1], lower = dc.rects[2], left = dc.rects[3],
               right = dc.rects[4];
    const int cell = width(full);
    ASSERT_GT(cell, 4);
    EXPECT_NEAR(width(upper), cell, 1);
    EXPECT_NEAR(width(lower), cell, 1);
    EXPECT_NEAR(width(left), cell / 2.0, 1);
    EXPECT_NEAR(width(right), cell / 2.0, 1);
    EXPECT_NEAR(height(upper), height(full) / 2.0, 1);
    EXPECT_NEAR(height(lower), height(full) / 2.0, 1);
    EXPECT_NEAR(height(left), height(full), 1);
    // Each in its own column, the halves on their side.
    EXPECT_NEAR(std::min(upper.left, upper.right) - std::min(full.left, full.right), cell, 1);
    EXPECT_NEAR(std::min(left.left, left.right), std::min(full.left, full.right) + 3 * cell, 1);
    EXPECT_NEAR(std::min(right.left, right.right),
                std::min(full.left, full.right) + 4 * cell + cell / 2.0, 1);
    EXPECT_NEAR(std::max(upper.top, upper.bottom), std::max(full.top, full.bottom), 1);
    EXPECT_NEAR(std::min(lower.top, lower.bottom), std::min(full.top, full.bottom), 1);
    EXPECT_TRUE(dc.cells.empty());  // nothing of it is text
}

TEST_F(JobBlocks, ShadesAreDotPatternsOfTheirDensity) {
    draw(
        "\x1b@\xb0\xb1\xb2"
        "A\r\n"s);
    ASSERT_EQ(dc.bitmaps.size(), 3u);
    // Of 32 dots: light 4, medium 16, dark 28.
    EXPECT_EQ(dc.bitmaps[0].ink, 4);
    EXPECT_EQ(dc.bitmaps[1].ink, 16);
    EXPECT_EQ(dc.bitmaps[2].ink, 28);
    for (const BitmapCall& b : dc.bitmaps) {
        EXPECT_EQ(b.width, 8);
        EXPECT_EQ(b.height, 4);
        EXPECT_EQ(std::abs(b.dw), std::abs(dc.bitmaps[0].dw));
    }
    EXPECT_NEAR(dc.bitmaps[1].dx - dc.bitmaps[0].dx, std::abs(dc.bitmaps[0].dw), 1);
    ASSERT_EQ(dc.cells.size(), 1u);
    EXPECT_EQ(dc.cells[0].text, "   A");
}

TEST_F(JobBlocks, AnOverlineRunsAlongTheTopOfTheText) {
    draw(
        "\x11\x1b_\x01"
        "ABCD\x1b_\x00"
        "\r\n"s);
    ASSERT_EQ(dc.cells.size(), 1u);
    ASSERT_EQ(dc.rects.size(), 1u);
    const Rect& bar = dc.rects[0];
    EXPECT_NEAR(width(bar), 4 * dc.cells[0].advance, 1);
    EXPECT_LE(height(bar), dc.cells[0].advance);
    EXPECT_GT(std::min(bar.top, bar.bottom), dc.cells[0].y);  // above the baseline
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST_F(JobBlocks, ThePreviewDrawsTheSheetsEdgeAndPrintingDoesNot) {
    draw("\x1b@A\r\n"s);
    EXPECT_TRUE(dc.segments.empty());
    dc.clear();
    drawPage(*t, dc, 1, false);
    const int w = t->pageWidth * 10, h = t->pageHeight * 10;
    EXPECT_TRUE(dc.hasSegment({w, 0, w, -h}));
    EXPECT_TRUE(dc.hasSegment({w, -h, 0, -h}));
    EXPECT_EQ(dc.segments.size(), 2u);
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST_F(JobBlocks, APictureOneDotWideIsDrawn) {
    draw("\x1b@\x1bK\x01\x00\x80"s);
    ASSERT_EQ(dc.bitmaps.size(), 1u);
    EXPECT_EQ(dc.bitmaps[0].width, 1);
    EXPECT_EQ(dc.bitmaps[0].ink, 3);  // one 9-pin dot: three rows at 216 dots an inch
}

}  // namespace
}  // namespace folvek::test
