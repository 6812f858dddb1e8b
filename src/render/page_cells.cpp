// Points to cells and cells to boxes: a row is record.lineHeight high below the sheet's text top,
// a column record.charWidth wide from the left margin, as the rows are drawn.
#include "page_cells.h"

#include <algorithm>
#include <cmath>

#include "job_places.h"

namespace folvek {

namespace {

// cutStrip's buffer holds 1024 characters of a row.
constexpr std::int32_t kMaxColumns = 1024;

std::int32_t columnsOf(const DocumentRecord& record) {
    return record.isWrap && record.charsPerLine > 0 ? std::min(record.charsPerLine, kMaxColumns)
                                                    : kMaxColumns;
}

}  // namespace

CellRange cellSpan(Cell a, Cell b) {
    return {std::min(a.row, b.row), std::max(a.row, b.row), std::min(a.column, b.column),
            std::max(a.column, b.column)};
}

std::int32_t sheetRows(const DocumentRecord& record, const SheetText& sheet) {
    const std::int64_t firstLine = sheet.start.firstLine;
    std::int32_t rows = 0;
    if (firstLine < 0) return 0;
    while (rows < sheet.capacity &&
           firstLine + rows < static_cast<std::int64_t>(record.lines.size())) {
        const char* text = record.lines.textAt(static_cast<std::size_t>(firstLine + rows));
        if (!text || text[0] == '\f') break;
        ++rows;
    }
    return rows;
}

Cell cellAt(DocumentRecord& record, PageLocator& locator, std::int32_t page, double x, double y) {
    if (page < 1 || page > record.pageCount) return {};
    if (record.jobLayout) return jobCellAt(record, page, x, y);
    const SheetText sheet = sheetText(record, page, locator);
    const std::int32_t rows = sheetRows(record, sheet);
    const double row = std::floor((-y - sheet.textTop) / std::max(record.lineHeight, 1));
    const double column =
        std::floor((x - static_cast<double>(record.LeftMargin)) / std::max(record.charWidth, 1e-9));
    return {static_cast<std::int32_t>(std::clamp(row, 0.0, std::max(rows - 1, 0) * 1.0)),
            static_cast<std::int32_t>(std::clamp(column, 0.0, columnsOf(record) - 1.0))};
}

Rect cellsBox(DocumentRecord& record, PageLocator& locator, std::int32_t page,
              const CellRange& cells) {
    if (record.jobLayout) return jobCellsBox(record, page, cells);
    const SheetText sheet = sheetText(record, page, locator);
    Rect r;
    r.left = static_cast<std::int32_t>(record.LeftMargin + cells.firstColumn * record.charWidth);
    r.right =
        static_cast<std::int32_t>(record.LeftMargin + (cells.lastColumn + 1) * record.charWidth);
    r.top = -cells.firstRow * record.lineHeight - sheet.textTop;
    r.bottom = -(cells.lastRow + 1) * record.lineHeight - sheet.textTop;
    return r;
}

}  // namespace folvek
