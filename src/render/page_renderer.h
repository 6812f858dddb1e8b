// The one page renderer of preview and printer: page number, pictures, styled text runs and
// pseudo-graphic lines of one sheet, in hundredths of an inch with y upward.
#pragma once

#include <cstdint>

#include "device_context.h"
#include "page_locator.h"
#include "pager.h"

namespace folvek {

// Draws sheet `page` (0: pg.curPage; clamped to 1..pageCount) and stores it in pg.curPage.
// `printing` leaves out the preview's zoom and page frame. Returns the RestoreDC result.
int drawPage(pager& pg, DeviceContext& dc, std::int32_t page, bool printing);

// Draws sheet `page` (1..pageCount) that starts at `start` (from locatePage), reading the lines
// by index instead of through the line store's cursor and changing nothing in `pg`: several
// sheets of one document can be drawn at once, on devices of their own, while nothing else
// touches the document. drawPage is locatePage followed by this.
int drawSheet(const pager& pg, DeviceContext& dc, std::int32_t page, const PageStart& start,
              bool printing);

// One run of text, its first column's left edge at x and its top at y. Leading spaces are not
// drawn; the rest keeps its right end on the column grid where the spaces leave room.
void drawRun(const pager& pg, DeviceContext& dc, std::int32_t x, std::int32_t y, const char* text,
             int len);

}  // namespace folvek
