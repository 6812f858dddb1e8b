// The text of a sheet as the clipboard gets it (whole sheets, rectangles of cells, the grid of
// rows the table finder reads) and the cell grid under the pointer. Sheets are 10 rows of 16
// units; columns 10 units wide.
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "box_cells.h"
#include "page_cells.h"
#include "page_renderer.h"
#include "page_text.h"
#include "recording_device.h"
#include "text_encoding.h"

namespace folvek::test {
namespace {

struct PageText : ::testing::Test {
    TestRecord t;
    PageLocator locator;
    void SetUp() override { t.printer.heightMm = 46; }  // 10 rows of 16 units
    void layout(const std::vector<std::string>& lines) {
        t.setLines(lines);
        t->paginate();
    }
    std::u16string page(int n) { return pageText(*t, locator, n); }
    std::u16string cells(int page, CellRange r) { return cellsText(*t, locator, page, r); }
    std::vector<std::u16string> rows(int page, CellRange r) {
        return cellsRows(*t, locator, page, r);
    }
};

std::string toDos(const std::string& utf8) {
    iconv_t cd = iconv_open("CP866", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    char* op = out.data();
    std::size_t il = utf8.size(), ol = out.size();
    iconv(cd, &in, &il, &op, &ol);
    iconv_close(cd);
    out.resize(out.size() - ol);
    return out;
}

TEST_F(PageText, ASheetsRowsWithoutTagsControlsAndTrailingBlanks) {
    layout({"Hello   ", "<B>Bold</B> text",
            "a\x01"
            "b",
            "\xC8\xF2\xEE\xE3\xEE", "", "  "});
    EXPECT_EQ(page(1), u"Hello\nBold text\nab\nИтого");
    // Blank rows between keep their place.
    layout({"a", "", "", "b"});
    EXPECT_EQ(page(1), u"a\n\n\nb");
    // Only the sheet asked for; nothing for sheets that are not there.
    std::vector<std::string> lines(12, "x");
    lines[0] = "first";
    lines[11] = "last";
    layout(lines);
    ASSERT_EQ(t->pageCount, 2);
    EXPECT_EQ(page(2), u"x\nlast");
    EXPECT_EQ(page(1).substr(0, 7), u"first\nx");
    EXPECT_EQ(page(0), u"");
    EXPECT_EQ(page(3), u"");
    // A form feed ends a sheet early.
    layout({"one", "\fone more", "two"});
    ASSERT_EQ(t->pageCount, 2);
    EXPECT_EQ(page(1), u"one");
}

TEST_F(PageText, RectanglesOfCells) {
    layout({"abcdef",
            "a\x01"
            "cdef  x",
            "", "zz", ""});
    // Columns 1-3 of rows 0-2: a control byte reads as a blank, the blank row at the end goes.
    EXPECT_EQ(cells(1, {0, 2, 1, 3}), u"bcd\n cd");
    EXPECT_EQ(cells(1, {0, 0, 4, 10}), u"ef");         // past the line's end
    EXPECT_EQ(cells(1, {1, 1, 5, 7}), u"f");           // trailing blanks trimmed
    EXPECT_EQ(cells(1, {0, 3, -5, 0}), u"a\na\n\nz");  // the first column is at least 0
    EXPECT_EQ(cells(1, {3, 3, 0, 5}), u"zz");
    EXPECT_EQ(cells(1, {2, 2, 0, 5}), u"");
    // The grid keeps every row and its blanks.
    EXPECT_EQ(rows(1, {0, 3, 0, 2}), (std::vector<std::u16string>{u"abc", u"a c", u"", u"zz"}));
    EXPECT_EQ(rows(1, {1, 1, 4, 7}), (std::vector<std::u16string>{u"ef  "}));
    EXPECT_EQ(rows(1, {1, 2, 0, -1}), (std::vector<std::u16string>{u"", u""}));
    EXPECT_TRUE(rows(2, {0, 3, 0, 2}).empty());
}

TEST_F(PageText, BoxCharactersAsTheLinesTheyDraw) {
    EXPECT_EQ(boxCharacter(0), 0);
    EXPECT_EQ(boxCharacter(boxCode(1, 1, 1, 1)), u'┼');
    EXPECT_EQ(boxCharacter(boxCode(2, 2, 2, 2)), u'╬');
    EXPECT_EQ(boxCharacter(boxCode(0, 1, 0, 1)), u'┌');
    EXPECT_EQ(boxCharacter(boxCode(2, 0, 0, 1)), u'╙');
    // Arms 866 has no character for: the line they lie on, the wider way first.
    EXPECT_EQ(boxCharacter(boxCode(0, 0, 1, 0)), u'─');
    EXPECT_EQ(boxCharacter(boxCode(0, 0, 0, 2)), u'═');
    EXPECT_EQ(boxCharacter(boxCode(1, 0, 0, 0)), u'│');
    EXPECT_EQ(boxCharacter(boxCode(2, 1, 0, 0)), u'║');
    EXPECT_EQ(boxCharacter(boxCode(1, 0, 2, 1)), u'═');
    EXPECT_EQ(boxCharacter(boxCode(2, 2, 1, 0)), u'╢');
    EXPECT_EQ(boxCharacter(boxCode(2, 1, 1, 0)), u'║');

    // A DOS file's frame is copied as box drawing.
    const std::string path =
        ::testing::TempDir() + "folvek_page_text_" + std::to_string(::getpid());
    {
        std::ofstream f(path, std::ios::binary);
        for (const char* l : {"┌─┐", "│a│", "└─┘"}) f << toDos(l) << "\r\n";
    }
    t->IsDos = 1;
    t->encodingOverride = EncodingChoice::Cp866;
    ASSERT_EQ(t->loadText(path), 1);
    t->paginate();
    std::remove(path.c_str());
    EXPECT_EQ(page(1), u"┌─┐\n│a│\n└─┘");
    EXPECT_EQ(cells(1, {1, 2, 1, 2}), u"a│\n─┘");
}

TEST_F(PageText, TheCellUnderAPointAndTheBoxOfCells) {
    layout({"abcdef", "ghij", "klm", "\f", "next"});
    EXPECT_EQ(sheetRows(*t, sheetText(*t, 1, locator)), 3);  // stops at the form feed
    // Each cell's box is one column wide and one row high; its centre is that cell.
    for (const Cell c : {Cell{0, 0}, Cell{1, 3}, Cell{2, 5}}) {
        const Rect box = cellsBox(*t, locator, 1, {c.row, c.row, c.column, c.column});
        EXPECT_EQ(box.right - box.left, 10);
        EXPECT_EQ(box.top - box.bottom, 16);
        const Cell at =
            cellAt(*t, locator, 1, (box.left + box.right) / 2.0, (box.top + box.bottom) / 2.0);
        EXPECT_EQ(at.row, c.row);
        EXPECT_EQ(at.column, c.column);
        // Just inside the box's top-left corner, just outside its right edge.
        EXPECT_EQ(cellAt(*t, locator, 1, box.left + 0.5, box.top - 0.5).column, c.column);
        EXPECT_EQ(cellAt(*t, locator, 1, box.right + 0.5, box.top - 0.5).column, c.column + 1);
        EXPECT_EQ(cellAt(*t, locator, 1, box.left + 0.5, box.bottom - 0.5).row,
                  std::min(c.row + 1, 2));
    }
    const Rect first = cellsBox(*t, locator, 1, {0, 0, 0, 0});
    // Points off the text are clamped to the rows drawn and the columns a row holds.
    Cell at = cellAt(*t, locator, 1, first.left - 100, first.top + 100);
    EXPECT_EQ(at.row, 0);
    EXPECT_EQ(at.column, 0);
    at = cellAt(*t, locator, 1, first.left + 10 * 5000, first.top - 16 * 50);
    EXPECT_EQ(at.row, 2);
    EXPECT_EQ(at.column, 1023);
    t->isWrap = 1;
    t.printer.widthMm = 31;  // 10 columns
    t->paginate();
    ASSERT_EQ(t->charsPerLine, 10);
    EXPECT_EQ(cellAt(*t, locator, 1, first.left + 10 * 5000, first.top - 1).column, 9);
    // Wrapping with no line width known yet holds the column to what a row can hold; a line
    // one column wide has only column 0, one wider than a row holds stops at the row's end.
    for (const auto& [perLine, last] : {std::pair{0, 1023}, {1, 0}, {2, 1}, {1025, 1023}}) {
        t->charsPerLine = perLine;
        EXPECT_EQ(cellAt(*t, locator, 1, first.left + 10 * 5000, first.top - 1).column, last)
            << perLine;
    }
    // No cell for a sheet that is not there.
    at = cellAt(*t, locator, 9, first.left + 25, first.top - 20);
    EXPECT_EQ(at.row, 0);
    EXPECT_EQ(at.column, 0);
    // A box of several cells, its corners given in either order.
    const CellRange span = cellSpan({2, 5}, {0, 1});
    EXPECT_EQ(span, (CellRange{0, 2, 1, 5}));
    const Rect box = cellsBox(*t, locator, 1, span);
    EXPECT_EQ(box.right - box.left, 50);
    EXPECT_EQ(box.top - box.bottom, 48);
    EXPECT_EQ(box.left - first.left, 10);
    // The finest line pitch there is, one unit a row (a very wide report fitted to the
    // sheet), still tells its rows apart.
    t->lineHeight = 1;
    for (const int row : {0, 1, 2}) {
        const Rect cell = cellsBox(*t, locator, 1, {row, row, 0, 0});
        ASSERT_EQ(cell.top - cell.bottom, 1);
        EXPECT_EQ(cellAt(*t, locator, 1, cell.left + 0.5, cell.top - 0.5).row, row);
    }
}

}  // namespace
}  // namespace folvek::test
