// A printer job's own page on a sheet: the form fitted whole with its proportions, pictures
// clipped to the form, text on the printer's grid in the settings' face, box characters as
// lines that join from row to row, and the sheet count taken from the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "job_sheet.h"
#include "page_renderer.h"
#include "printed_job.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

using printer::JobDocument;
using printer::JobPage;
using printer::kUnitsPerInch;

constexpr int kInch = kUnitsPerInch;

struct JobSheets : ::testing::Test {
    TestRecord t;  // a 10 x 10 inch printable area
    RecordingDevice dc;

    JobPage& page(int widthIn10 = 80, int heightIn10 = 110) {
        job.pages.emplace_back();
        job.pages.back().width = widthIn10 * kInch / 10;
        job.pages.back().height = heightIn10 * kInch / 10;
        return job.pages.back();
    }
    void show() {
        t->jobLayout = std::make_shared<printer::PrintedJob>(job);
        t->paginate();
    }
    RecordingDevice& draw(int n) {
        dc.clear();
        drawPage(*t, dc, n, true);
        return dc;
    }
    // A job unit drawn, in hundredths of an inch.
    double hundredths(double logical) const { return logical * dc.zoom; }

    JobDocument job;
};

printer::JobTextRun textRun(int x, int y, const std::u32string& text, int advance = kInch / 10,
                            int cell = kInch / 6) {
    printer::JobTextRun r;
    r.x = x;
    r.y = y;
    r.advance = advance;
    r.cellHeight = cell;
    r.text = text;
    return r;
}

TEST_F(JobSheets, SheetsAreTheJobsPagesAndNoLineIsWalked) {
    t.setLines(std::vector<std::string>(500, "text the loader kept"));
    page();
    page();
    page();
    show();
    EXPECT_EQ(t->pageCount, 3);
    draw(2);
    EXPECT_TRUE(dc.texts.empty());  // the report's lines are not drawn
    EXPECT_EQ(dc.depth, 0);
}

TEST_F(JobSheets, ALargeFormIsShrunkWholeWithItsProportionsAndASmallOneIsNot) {
    JobPage& p = page(80, 110);  // 8 x 11 inches into 10 x 10
    p.rules.push_back({0, 0, p.width, p.height});
    show();
    draw(1);
    ASSERT_EQ(dc.rects.size(), 1u);
    const Rect r = dc.rects[0];
    const double w = hundredths(r.right - r.left), h = hundredths(r.top - r.bottom);
    EXPECT_NEAR(h, 1000, 1);             // the height fills the room
    EXPECT_NEAR(w / h, 8.0 / 11, 1e-3);  // proportions kept
    EXPECT_LE(hundredths(r.right), 1000.5);

    // The room is what the margins leave, the bottom one included.
    t->TopMargin = 50;
    t->BottomMargin = 100;
    show();
    draw(1);
    ASSERT_EQ(dc.rects.size(), 1u);
    EXPECT_NEAR(hundredths(dc.rects[0].top - dc.rects[0].bottom), 850, 1);
    EXPECT_NEAR(hundredths(dc.rects[0].top), -50, 0.5);

    job.pages.clear();
    JobPage& small = page(50, 30);
    small.rules.push_back({0, 0, small.width, small.height});
    t->LeftMargin = 100;
    t->TopMargin = 50;
    show();
    draw(1);
    ASSERT_EQ(dc.rects.size(), 1u);
    EXPECT_NEAR(hundredths(dc.rects[0].right - dc.rects[0].left), 500, 0.5);  // its own size
    EXPECT_NEAR(hundredths(dc.rects[0].left), 100, 0.5);                      // at the margins
    EXPECT_NEAR(hundredths(dc.rects[0].top), -50, 0.5);
}

TEST_F(JobSheets, AFormWithNoWidthOrHeightFitsByItsOtherSide) {
    // pageWidth and pageHeight are in tenths of an inch, margins in hundredths: a sheet
    // 10 inches wide and 100 high.
    t->pageWidth = 100;
    t->pageHeight = 1000;
    t->LeftMargin = t->TopMargin = t->BottomMargin = 0;
    const long double actual = 100.0L / kInch;  // the scale of a form drawn at its own size
    JobPage tall;
    tall.width = 0;
    tall.height = 20 * kInch;  // 2000 hundredths into 10,000: its own size
    EXPECT_NEAR(double(jobFit(*t, tall).scale / actual), 1.0, 1e-9);
    t->LeftMargin = 2000;  // no room across, but a form of no width needs none
    EXPECT_NEAR(double(jobFit(*t, tall).scale / actual), 1.0, 1e-9);
    JobPage wide;
    wide.width = 2 * kInch;  // 200 hundredths into 1000 - 500
    wide.height = 0;
    t->LeftMargin = 500;
    t->TopMargin = 6000;
    t->BottomMargin = 6000;  // no room down either
    EXPECT_NEAR(double(jobFit(*t, wide).scale / actual), 1.0, 1e-9);
    wide.width = 10 * kInch;  // 1000 into 500: half its size
    EXPECT_NEAR(double(jobFit(*t, wide).scale / actual), 0.5, 1e-9);
    // A form with both sides and no room is drawn as a stamp, a hundredth of its size.
    wide.height = kInch;
    EXPECT_NEAR(double(jobFit(*t, wide).scale / actual), 0.01, 1e-9);
    EXPECT_EQ(jobFit(*t, wide).left, 500);
    EXPECT_EQ(jobFit(*t, wide).top, 6000);
}

TEST_F(JobSheets, PicturesAreOneBitImagesClippedToTheForm) {
    JobPage& p = page(80, 110);
    printer::JobRaster r;
    r.width = 16;
    r.height = 100;
    r.dpiX = r.dpiY = 60;
    r.rowBytes = 2;
    r.bits.assign(200, 0xFF);
    r.y = p.height - 10 * (kInch / 60);  // only ten rows fit on the form
    r.x = kInch;
    p.rasters.push_back(r);
    show();
    draw(1);
    ASSERT_EQ(dc.bitmaps.size(), 1u);
    EXPECT_EQ(dc.bitmaps[0].height, 10);
    EXPECT_EQ(dc.bitmaps[0].width, 16);
    EXPECT_EQ(dc.bitmaps[0].ink, 160);
    EXPECT_EQ(dc.bitmaps[0].dw, 16 * kInch / 60);
    EXPECT_EQ(dc.bitmaps[0].dh, -10 * kInch / 60);  // y upward: drawn downward
    EXPECT_TRUE(dc.images.empty());                 // never as a colour picture
}

TEST_F(JobSheets, TextIsStretchedToTheRunsPitchInTheSettingsFaceAndStyle) {
    JobPage& p = page();
    printer::JobTextRun r = textRun(kInch, kInch, U"Итого 17,5", kInch / 17, kInch / 6);
    r.style = printer::kJobBold | printer::kJobUnderline;
    p.runs.push_back(r);
    t->logFont.setFaceName("Liberation Mono");
    show();
    draw(1);
    ASSERT_EQ(dc.cells.size(), 1u);
    EXPECT_EQ(dc.cells[0].text, "\xC8\xF2\xEE\xE3\xEE 17,5");  // Windows-1251
    EXPECT_DOUBLE_EQ(dc.cells[0].advance, kInch / 17);
    EXPECT_EQ(dc.cells[0].font.height, -kInch / 6 * 5 / 4);  // a cell is 4/5 of the em
    EXPECT_EQ(dc.cells[0].font.weight, 700);
    EXPECT_EQ(dc.cells[0].font.underline, 1);
    EXPECT_STREQ(dc.cells[0].font.faceName, "Liberation Mono");
}

TEST_F(JobSheets, BoxCharactersAreJoinedLinesAndNotText) {
    JobPage& p = page();
    const int pitch = kInch / 6;
    p.runs.push_back(textRun(kInch, kInch, U"┌──┐"));
    p.runs.push_back(textRun(kInch, kInch + pitch, U"│ab│"));
    p.runs.push_back(textRun(kInch, kInch + 2 * pitch, U"└──┘"));
    show();
    draw(1);
    ASSERT_EQ(dc.cells.size(), 1u);  // only the middle row has letters
    EXPECT_EQ(dc.cells[0].text, " ab ");
    // The left edge: one vertical line from the top corner's middle down to the bottom
    // corner's, made of segments that meet.
    bool gap = false;
    std::vector<Segment> verticals;
    for (const Segment& s : dc.segmentSet())
        if (s.x1 == s.x2 && s.x1 < (kInch + kInch / 10)) verticals.push_back(s);
    ASSERT_FALSE(verticals.empty());
    std::sort(verticals.begin(), verticals.end(),
              [](const Segment& a, const Segment& b) { return a.y1 > b.y1; });
    const int highest = std::max(verticals.front().y1, verticals.front().y2);
    int reached = std::min(verticals.front().y1, verticals.front().y2);
    for (const Segment& s : verticals) {
        if (std::max(s.y1, s.y2) < reached) gap = true;
        reached = std::min(reached, std::min(s.y1, s.y2));
    }
    EXPECT_FALSE(gap);
    EXPECT_EQ(highest - reached, 2 * pitch);  // from the top row's middle to the bottom row's
}

TEST_F(JobSheets, TheFormsFacesAreTheOnlyFontsAPdfNeeds) {
    JobPage& p = page();
    p.runs.push_back(textRun(0, kInch, U"plain"));
    printer::JobTextRun bold = textRun(0, 2 * kInch, U"bold");
    bold.style = printer::kJobDoubleStrike;
    p.runs.push_back(bold);
    const std::vector<LogFont> faces = jobFaces(job, t->logFont);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].weight, 400);
    EXPECT_EQ(faces[1].weight, 700);
    EXPECT_TRUE(jobFaces(JobDocument{}, t->logFont).empty());
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST(JobRunFont, StyleBitsAndSizeOfARunsFont) {
    LogFont base;
    base.setFaceName("Courier New");
    base.strikeOut = 1;
    base.width = 7;
    printer::JobTextRun run;
    run.cellHeight = 2700;
    struct Case {
        std::uint16_t style;
        int weight, italic, underline;
    };
    const Case cases[] = {
        {0, 400, 0, 0},
        {printer::kJobBold, 700, 0, 0},
        {printer::kJobDoubleStrike, 700, 0, 0},
        {printer::kJobItalic, 400, 1, 0},
        {printer::kJobUnderline, 400, 0, 1},
        {printer::kJobOverline | printer::kJobProportional, 400, 0, 0},
    };
    for (const Case& c : cases) {
        run.style = c.style;
        const LogFont f = jobRunFont(base, run, 0.01);
        EXPECT_EQ(f.weight, c.weight) << c.style;
        EXPECT_EQ(f.italic, c.italic) << c.style;
        EXPECT_EQ(f.underline, c.underline) << c.style;
        EXPECT_EQ(f.strikeOut, 0);
        EXPECT_EQ(f.width, 0);
        EXPECT_EQ(f.height, -27);  // the em: the cell times the em per cell, as a character height
        EXPECT_STREQ(f.faceName, "Courier New");
    }
    run.cellHeight = 10;
    EXPECT_EQ(jobRunFont(base, run, 0.01).height, -1);  // never below one unit
    run.cellHeight = 250;
    EXPECT_EQ(jobRunFont(base, run, 0.01).height, -3);  // 2.5 rounds up
}

}  // namespace
}  // namespace folvek::test
