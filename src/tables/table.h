// A table found in a report: a grid of cells with their merges, the rows of its heading, and
// where on the character grid it was found. The cells' texts stand one after another in one
// string of the table's, so that a big report's million cells are not a million allocations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folvek {

struct TableCell {
    // The text in the table's `texts`: the lines of a multi-line cell joined by '\n'.
    std::size_t textAt = 0;
    std::uint32_t textSize = 0;
    std::int32_t rowSpan = 1, columnSpan = 1;
    bool covered = false;  // inside another cell's merge
};

// A rectangle of the character grid a table (or one page's part of it) occupies.
struct GridSpan {
    std::int64_t firstRow = 0, lastRow = 0;
    std::int32_t firstColumn = 0, lastColumn = 0;
    bool contains(std::int64_t row, std::int32_t column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
};

struct Table {
    std::int32_t rows = 0, columns = 0;
    std::int32_t headingRows = 0;      // the first rows, the column headings
    std::vector<TableCell> cells;      // row by row
    std::vector<std::int32_t> widths;  // each column's width in characters
    std::vector<std::int32_t> bounds;  // the grid columns of the vertical lines between
    std::vector<GridSpan> spans;       // the parts it was found in (one per page it runs over)
    std::u16string texts;              // the cells' texts

    std::u16string_view text(const TableCell& cell) const {
        return {texts.data() + cell.textAt, cell.textSize};
    }
    std::u16string_view text(std::int32_t r, std::int32_t c) const { return text(at(r, c)); }

    TableCell& at(std::int32_t r, std::int32_t c) { return cells[std::size_t(r) * columns + c]; }
    const TableCell& at(std::int32_t r, std::int32_t c) const {
        return cells[std::size_t(r) * columns + c];
    }
};

}  // namespace folvek
