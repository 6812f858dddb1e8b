// Points to cells and cells to boxes: a row is pg.lineHeight high below the sheet's text top,
// a column pg.charWidth wide from the left margin, as the rows are drawn.
#include "page_cells.h"

#include <algorithm>
#include <cmath>

#include "job_places.h"

namespace folvek {

namespace {

// cutStrip's buffer holds 1024 characters of a row.
constexpr std::int32_t kMaxColumns = 1024;

std::int32_t columnsOf(const DocumentRecord& pg) {
    return pg.isWrap && pg.charsPerLine > 0 ? std::min(pg.charsPerLine, kMaxColumns) : kMaxColumns;
}

}  // namespace

CellRange cellSpan(Cell a, Cell b) {
    return {std::min(a.row, b.row), std::max(a.row, b.row), std::min(a.column, b.column),
            std::max(a.column, b.column)};
}

std::int32_t sheetRows(const DocumentRecord& pg, const SheetText& sheet) {
    const std::int64_t firstLine = sheet.start.firstLine;
    std::int32_t rows = 0;
    if (firstLine < 0) return 0;
    while (rows < sheet.capacity && firstLine + rows < static_cast<std::int64_t>(pg.lines.size())) {
        const char* text = pg.lines.textAt(static_cast<std::size_t>(firstLine + rows));
        if (!text || text[0] == '\f') break;
        ++rows;
    }
    return rows;
}

Cell cellAt(DocumentRecord& pg, PageLocator& locator, std::int32_t page, double x, double y) {
    if (page < 1 || page > pg.pageCount) return {};
    if (pg.jobLayout) return jobCellAt(pg, page, x, y);
    const SheetText sheet = sheetText(pg, page, locator);
    const std::int32_t rows = sheetRows(pg, sheet);
    const double row = std::floor((-y - sheet.textTop) / std::max(pg.lineHeight, 1));
    const double column =
        std::floor((x - static_cast<double>(pg.LeftMargin)) / std::max(pg.charWidth, 1e-9));
    return {static_cast<std::int32_t>(std::clamp(row, 0.0, std::max(rows - 1, 0) * 1.0)),
            static_cast<std::int32_t>(std::clamp(column, 0.0, columnsOf(pg) - 1.0))};
}

Rect cellsBox(DocumentRecord& pg, PageLocator& locator, std::int32_t page, const CellRange& cells) {
    if (pg.jobLayout) return jobCellsBox(pg, page, cells);
    const SheetText sheet = sheetText(pg, page, locator);
    Rect r;
    r.left = static_cast<std::int32_t>(pg.LeftMargin + cells.firstColumn * pg.charWidth);
    r.right = static_cast<std::int32_t>(pg.LeftMargin + (cells.lastColumn + 1) * pg.charWidth);
    r.top = -cells.firstRow * pg.lineHeight - sheet.textTop;
    r.bottom = -(cells.lastRow + 1) * pg.lineHeight - sheet.textTop;
    return r;
}

}  // namespace folvek
