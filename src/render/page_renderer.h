// The one page renderer of preview and printer: page number, pictures, styled text runs and
// pseudo-graphic lines of one sheet, in hundredths of an inch with y upward.
#pragma once

#include <cstdint>

#include "device_context.h"
#include "document_record.h"
#include "page_locator.h"

namespace folvek {

// Draws sheet `page` (0: record.curPage; clamped to 1..pageCount). Drawing changes no page number:
// the current page is the Document's to set. `printing` leaves out the preview's zoom and page
// frame. Returns the RestoreDC result.
// `locator` finds the sheet's start and remembers the walk for the next call.
int drawPage(DocumentRecord& record, DeviceContext& dc, std::int32_t page, bool printing,
             PageLocator& locator);
// The same for a single drawing: the sheet's start is found from the first line.
int drawPage(DocumentRecord& record, DeviceContext& dc, std::int32_t page, bool printing);

// Where the text of sheet `page` (1..pageCount) goes: its first line and strip, how many rows
// it may hold, and the distance from the top margin line to the top of its first row.
struct SheetText {
    PageStart start;
    std::int32_t capacity = 0;
    std::int32_t textTop = 0;
    bool topShown = false;  // the top picture is on this sheet
};
SheetText sheetText(DocumentRecord& record, std::int32_t page, PageLocator& locator);
SheetText sheetText(const DocumentRecord& record, std::int32_t page, const PageStart& start);

// Draws sheet `page` (1..pageCount) that starts at `start` (from a PageLocator), reading the lines
// by index instead of through the line store's cursor and changing nothing in `record`: several
// sheets of one document can be drawn at once, on devices of their own, while nothing else
// touches the document. drawPage is the locator followed by this.
int drawSheet(const DocumentRecord& record, DeviceContext& dc, std::int32_t page,
              const PageStart& start, bool printing);

// One run of text, its first column's left edge at x and its top at y. Leading spaces are not
// drawn; the rest keeps its right end on the column grid where the spaces leave room.
void drawRun(const DocumentRecord& record, DeviceContext& dc, std::int32_t x, std::int32_t y,
             const char* text, int len);

}  // namespace folvek
