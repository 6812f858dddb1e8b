// The character cells of a sheet: the grid of rows and columns its text is drawn on, so that
// the preview can select a rectangle of them and copy its text.
#pragma once

#include <cstdint>

#include "device_context.h"
#include "document_record.h"
#include "page_locator.h"
#include "page_renderer.h"

namespace folvek {

struct Cell {
    std::int32_t row = 0;     // 0: the sheet's first text row
    std::int32_t column = 0;  // 0: the strip's first column
};

// A rectangle of cells, both ends included.
struct CellRange {
    std::int32_t firstRow = 0;
    std::int32_t lastRow = 0;
    std::int32_t firstColumn = 0;
    std::int32_t lastColumn = 0;
    bool operator==(const CellRange&) const = default;
};

// The rectangle with corners `a` and `b`, in either order.
CellRange cellSpan(Cell a, Cell b);

// The rows a sheet draws: up to its capacity, stopping at a form feed.
std::int32_t sheetRows(const DocumentRecord& record, const SheetText& sheet);

// The cell under a point of sheet `page` (0.01 inch, y upward, as the page is drawn), clamped
// to the rows the sheet draws and to the columns a row can hold.
Cell cellAt(DocumentRecord& record, PageLocator& locator, std::int32_t page, double x, double y);

// The box (0.01 inch, y upward) the cells are drawn in.
Rect cellsBox(DocumentRecord& record, PageLocator& locator, std::int32_t page,
              const CellRange& cells);

}  // namespace folvek
