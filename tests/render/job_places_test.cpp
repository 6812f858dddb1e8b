// Find and selection on a printer job's own pages: the matches of a find are the job's printed
// text and are marked where the text is drawn; a rectangle selected on the form copies the
// characters under it in reading order, line by line. Jobs written by hand (ESC/P, PCL 5) and
// one written by Ghostscript's epson driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "job_interpreter.h"
#include "job_places.h"
#include "job_search.h"
#include "job_sheet.h"
#include "page_cells.h"
#include "page_matches.h"
#include "page_renderer.h"
#include "page_text.h"
#include "printed_job.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

using printer::kUnitsPerInch;
using namespace std::string_literals;
namespace fs = std::filesystem;

struct JobPlaces : ::testing::Test {
    TestRecord t;  // a 10 x 10 inch printable area
    RecordingDevice dc;
    PageLocator locator;

    void show(const std::string& job) {
        printer::JobOptions options;
        options.charTable = printer::CharTable::Pc866;
        t.setLines({"the report's own reading of the job"});
        t->jobLayout = std::make_shared<printer::PrintedJob>(printer::interpretJob(job, options));
        t->paginate();
    }
    std::vector<TextMatch> find(const std::string& cp1251) {
        return searchJob(*t->jobLayout, TextQuery(cp1251)).matches;
    }
    // The cells drawn on sheet `page` whose text holds `word`, in hundredths of an inch.
    struct Drawn {
        double left, right, baseline;
    };
    Drawn drawn(std::int32_t page, const std::string& word) {
        dc.clear();
        drawPage(*t, dc, page, true);
        for (const CellsCall& c : dc.cells) {
            const std::size_t at = c.text.find(word);
            if (at == std::string::npos) continue;
            const double left = (c.x + c.advance * static_cast<double>(at)) * dc.zoom;
            return {left, left + c.advance * static_cast<double>(word.size()) * dc.zoom,
                    c.y * dc.zoom};
        }
        ADD_FAILURE() << "not drawn: " << word;
        return {};
    }
};

// A box marks the word drawn: it covers its cells, no more than a hundredth beyond them.
void expectMarks(const Rect& box, double left, double right, double baseline) {
    EXPECT_LE(box.left, left);
    EXPECT_GT(box.left, left - 1.01);
    EXPECT_GE(box.right, right);
    EXPECT_LT(box.right, right + 1.01);
    EXPECT_GT(box.top, baseline);
    EXPECT_LT(box.bottom, baseline);
}

// ESC/P: a line whose second half is printed first (ESC $ moves back), a double-width title,
// a Cyrillic line in 866, and a second page.
const std::string kEscP =
    "\x1b@"
    "\x1b$\x3c\x00Total"  // 1 inch
    "\x1b$\x00\x00Sum:\r\n"
    "\x1bW\x01TOTAL\x1bW\x00\r\n"
    "\x88\xe2\xae\xa3\xae 17,5\r\n"
    "\f\x1b$\x78\x00total due\r\n"s;

TEST_F(JobPlaces, FindCountsThePrintedTextAndMarksItWhereItIsDrawn) {
    show(kEscP);
    ASSERT_EQ(t->pageCount, 2);
    EXPECT_EQ(pageText(*t, locator, 1), u"Sum:      Total\nTOTAL\nИтого 17,5");
    const std::vector<TextMatch> total = find("TOTAL");
    ASSERT_EQ(total.size(), 3u);  // the report's own line is not searched
    EXPECT_EQ(sheetOfMatch(*t, locator, total[0]), 1);
    EXPECT_EQ(sheetOfMatch(*t, locator, total[1]), 1);
    EXPECT_EQ(sheetOfMatch(*t, locator, total[2]), 2);
    EXPECT_EQ(total[0].column, 10);  // "Sum:" and the gap to 1 inch come first

    const std::vector<Rect> page1 = matchBoxes(*t, locator, 1, total);
    ASSERT_EQ(page1.size(), 2u);
    const Drawn first = drawn(1, "Total"), title = drawn(1, "TOTAL");
    expectMarks(page1[0], first.left, first.right, first.baseline);
    expectMarks(page1[1], title.left, title.right, title.baseline);
    // Double width: the title's box is twice as wide as the plain word's.
    EXPECT_NEAR(page1[1].right - page1[1].left, 2 * (page1[0].right - page1[0].left), 4);
    const std::vector<Rect> page2 = matchBoxes(*t, locator, 2, total);
    ASSERT_EQ(page2.size(), 1u);
    const Drawn due = drawn(2, "total");
    expectMarks(page2[0], due.left, due.right, due.baseline);

    const std::vector<TextMatch> itogo = find("\xe8\xf2\xee\xe3\xee");  // "итого" in 1251
    ASSERT_EQ(itogo.size(), 1u);
    const Drawn line3 = drawn(1, "\xc8\xf2\xee\xe3\xee");
    const std::vector<Rect> box = matchBoxes(*t, locator, 1, itogo);
    ASSERT_EQ(box.size(), 1u);
    expectMarks(box[0], line3.left, line3.right, line3.baseline);

    // A rectangle that starts on the blank inside a run copies what follows it.
    for (const printer::JobTextRun& r : jobDocumentOf(*t)->pages[0].runs)
        if (r.text.find(U"17,5") != std::u32string::npos) {
            const std::int32_t top = r.y - r.cellHeight, bottom = r.y + r.cellHeight / 4;
            EXPECT_EQ(
                cellsText(*t, locator, 1, {top, bottom, r.x + 5 * r.advance, r.x + 20 * r.advance}),
                u"17,5");
        }
}

TEST_F(JobPlaces, AMatchAcrossAGapMarksOnlyTheCharactersPrinted) {
    show("\x1b@Sum:\x1b$\x3c\x00Total\r\n"s);
    const std::vector<TextMatch> m = find(":      T");
    ASSERT_EQ(m.size(), 1u);
    const std::vector<Rect> boxes = matchBoxes(*t, locator, 1, m);
    ASSERT_EQ(boxes.size(), 2u);  // ':' and 'T', not the blank paper between
    EXPECT_LT(boxes[0].right, boxes[1].left);
}

// PCL: two columns placed with *p, the cursor in 300-dpi units.
const char kPcl[] =
    "\x1b"
    "E"
    "\x1b*p300x300YName\x1b*p1200x300YAmount"
    "\x1b*p300x450YApples\x1b*p1200x450Y12.50"
    "\x1b*p300x600YPears\x1b*p1200x600Y3.75"
    "\x1b"
    "E";

CellRange inches(double left, double top, double right, double bottom) {
    const auto u = [](double in) { return static_cast<std::int32_t>(in * kUnitsPerInch); };
    return {u(top), u(bottom), u(left), u(right)};
}

TEST_F(JobPlaces, ARectangleOfTheFormCopiesTheTextUnderItLineByLine) {
    show(kPcl);
    ASSERT_EQ(t->pageCount, 1);
    // Where the printer put the words: the page's origin lies off the form's corner in PCL.
    const printer::JobPage& page = jobDocumentOf(*t)->pages[0];
    const auto at = [&page](const std::u32string& word) {
        for (const printer::JobTextRun& r : page.runs)
            if (r.text == word) return r;
        ADD_FAILURE() << "not printed";
        return printer::JobTextRun{};
    };
    const printer::JobTextRun name = at(U"Name"), amount = at(U"Amount"), apples = at(U"Apples");
    const std::int32_t top = name.y - name.cellHeight, bottom = page.height;
    // The right-hand column.
    EXPECT_EQ(cellsText(*t, locator, 1, {top, bottom, amount.x - 10, page.width}),
              u"Amount\n12.50\n3.75");
    // The first three letters of the left-hand column: a character is in when its middle is.
    const std::int32_t third = name.x + 3 * name.advance - name.advance / 3;
    EXPECT_EQ(cellsText(*t, locator, 1, {top, bottom, name.x, third}), u"Nam\nApp\nPea");
    // The lower two lines of both columns: the columns stay aligned, the gap in blanks.
    const std::vector<std::u16string> rows =
        cellsRows(*t, locator, 1, {apples.y - apples.cellHeight / 2, bottom, 0, page.width});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].find(u"Apples"), 0u);
    EXPECT_EQ(rows[1].find(u"Pears"), 0u);
    EXPECT_EQ(rows[0].find(u"12.50"), rows[1].find(u"3.75"));
    EXPECT_EQ(rows[0].find(u"12.50"), static_cast<std::size_t>((amount.x - name.x) / name.advance));
    // Nothing under the rectangle: nothing copied.
    EXPECT_EQ(cellsText(*t, locator, 1, {0, name.y - name.cellHeight, 0, page.width}), u"");
}

TEST_F(JobPlaces, APointOfTheSheetAndTheSelectionBoxMapOntoTheFormBothWays) {
    show(kPcl);
    const CellRange r = inches(1, 1, 3, 2);
    const Rect box = cellsBox(*t, locator, 1, r);
    const Cell a = cellAt(*t, locator, 1, box.left, box.top);
    const Cell b = cellAt(*t, locator, 1, box.right, box.bottom);
    // A hundredth of the sheet (the box's rounding) in the job's units: the A4 form is shrunk.
    const int hundredth = kUnitsPerInch / 100 * 12 / 10;
    EXPECT_NEAR(a.column, r.firstColumn, hundredth);
    EXPECT_NEAR(a.row, r.firstRow, hundredth);
    EXPECT_NEAR(b.column, r.lastColumn, hundredth);
    EXPECT_NEAR(b.row, r.lastRow, hundredth);
    // A point off the form is held to its edge.
    EXPECT_EQ(cellAt(*t, locator, 1, -500, 500).column, 0);
}

bool haveGs() {
    return std::system("command -v gs >/dev/null 2>&1") == 0;
}

TEST_F(JobPlaces, ADriversPictureHoldsNoTextAndTheLinePrintedOverItIsFound) {
    if (!haveGs()) GTEST_SKIP() << "ghostscript (gs) is not installed";
    const fs::path dir =
        fs::path(::testing::TempDir()) / ("folvek-job-places-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "page.ps") << "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
                                      "/Helvetica-Bold findfont 28 scalefont setfont\n"
                                      "72 700 moveto (Folvek test page) show\n"
                                      "72 600 moveto 540 600 lineto 4 setlinewidth stroke\n"
                                      "showpage\n";
    const std::string out = (dir / "page.epson").string();
    ASSERT_EQ(std::system(("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=epson -sOutputFile=" + out +
                           " " + (dir / "page.ps").string())
                              .c_str()),
              0);
    std::ifstream in(out, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    // A program prints its heading, then the driver's picture (a logo) under it.
    show(
        "\x1b@\x1b$\x3c\x00"
        "Folvek 17,5\r\n"s +
        bytes.str());
    fs::remove_all(dir);
    ASSERT_GE(t->pageCount, 1);
    const printer::JobDocument* job = jobDocumentOf(*t);
    ASSERT_NE(job, nullptr);
    ASSERT_FALSE(job->pages[0].rasters.empty());
    EXPECT_EQ(pageText(*t, locator, 1), u"Folvek 17,5");
    const std::vector<TextMatch> m = find("folvek");
    ASSERT_EQ(m.size(), 1u);  // the picture's title is dots, not text
    const std::vector<Rect> boxes = matchBoxes(*t, locator, 1, m);
    ASSERT_EQ(boxes.size(), 1u);
    const Drawn line = drawn(1, "Folvek");
    expectMarks(boxes[0], line.left, line.right, line.baseline);
    // The whole form selected: only the printed line.
    EXPECT_EQ(cellsText(*t, locator, 1, inches(0, 0, 8.5, 11)), u"Folvek 17,5");
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST_F(JobPlaces, TheGridCellCountsTheLinesOfEveryPageBefore) {
    show(kEscP);
    ASSERT_EQ(t->pageCount, 2);
    std::int64_t row = -1;
    std::int32_t column = -1;
    // Page 1: "Sum:" starts the first line.
    ASSERT_TRUE(jobGridCell(*t, 1, Cell{2000, 100}, row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    // The Cyrillic line is the third.
    ASSERT_TRUE(jobGridCell(*t, 1, Cell{2100 + 2 * kUnitsPerInch / 6 - 100, 100}, row, column));
    EXPECT_EQ(row, 2);
    // Page 2's first line comes after page 1's three; its text starts at "total" (the
    // page's leftmost character), "due" is six columns on.
    ASSERT_TRUE(jobGridCell(*t, 2, Cell{2000, 2 * kUnitsPerInch + 6 * 2160 + 100}, row, column));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(column, 6);
    // No page, no cell.
    EXPECT_FALSE(jobGridCell(*t, 3, Cell{2000, 100}, row, column));
}

// A point between characters belongs to the one whose box is nearest: a box the point is
// level with counts only its distance across, however close the next line's box is above.
TEST_F(JobPlaces, APointTakesTheCharacterWhoseBoxIsNearest) {
    // Two lines 2699 units apart whose cells just touch (a cell reaches 7/9 of its height
    // above the baseline and 2/9 below): "BB" on the first, "A" under its first letter.
    printer::JobDocument job;
    job.pages.emplace_back();
    printer::JobPage& page = job.pages.back();
    page.width = 8 * kUnitsPerInch;
    page.height = 11 * kUnitsPerInch;
    printer::JobTextRun b;
    b.x = 0;
    b.y = 10000;
    b.advance = 2160;
    b.cellHeight = 2699;
    b.text = U"BB";
    printer::JobTextRun a = b;
    a.y = 10000 + 2699;
    a.text = U"A";
    page.runs = {b, a};
    t.setLines({"x"});
    t->jobLayout = std::make_shared<printer::PrintedJob>(job);
    t->paginate();
    std::int64_t row = -1;
    std::int32_t column = -1;
    // 1.22 units below the first line's cells, level with "A" and 1 unit to its right: "A"
    // (a distance of 1) and not the second "B" (1.22).
    ASSERT_TRUE(jobGridCell(*t, 1, Cell{10601, 2161}, row, column));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);
    // Inside the second "B".
    ASSERT_TRUE(jobGridCell(*t, 1, Cell{10000, 2161}, row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 1);
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

TEST_F(JobPlaces, ACharacterIsSelectedWhenItsMiddleIsInsideTheRectangle) {
    show("\x1b@AB\r\n"s);  // 'A' from 0 to 2160, 'B' from 2160 to 4320: middles 1080 and 3240
    const auto text = [&](std::int32_t first, std::int32_t last) {
        return jobCellsText(*t, 1, CellRange{0, 10 * kUnitsPerInch, first, last});
    };
    EXPECT_EQ(text(0, 3240), u"AB");
    EXPECT_EQ(text(0, 3239), u"A");
    EXPECT_EQ(text(1080, 5000), u"AB");
    EXPECT_EQ(text(1081, 5000), u"B");
}

}  // namespace
}  // namespace folvek::test
