// Where a job page's text lies on the sheet: the boxes of the matches of a find, and the
// rectangle selection of the preview, which on a job's page is a rectangle of the form itself
// (a Cell there is a point of the form in the job's units, column = x and row = y down from
// the form's top-left corner) whose characters are copied in reading order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device_context.h"
#include "document_record.h"
#include "job_page.h"
#include "page_cells.h"
#include "text_search.h"

namespace folvek {

// A character's cell reaches this far above its baseline and below it, in cell heights; a
// box character's lines cross in the middle of that.
inline constexpr long double kJobCellAbove = 7.0L / 9, kJobCellBelow = 2.0L / 9;

// How the job's units land on the sheet: 0.01 inch (y upward, as the page is drawn) is
// (origin + job units) * unit, y negated.
struct JobSheetMap {
    long double unit = 1;
    std::int64_t originX = 0;
    std::int64_t originY = 0;
    double sheetX(long double jobX) const;
    double sheetY(long double jobY) const;
    long double jobX(double sheetX) const;
    long double jobY(double sheetY) const;
};
JobSheetMap jobSheetMap(const DocumentRecord& record, const printer::JobPage& page);

// The page of the job the document shows (1-based), null when it is not there or the document
// is laid out as a report.
const printer::JobPage* jobPageOf(const DocumentRecord& record, std::int32_t page);

// The sheet that shows a match of searchJob.
std::int32_t jobSheetOfMatch(const DocumentRecord& record, const TextMatch& match);
// The boxes of the matches shown on sheet `page`: one per run a match touches.
std::vector<Rect> jobMatchBoxes(const DocumentRecord& record, std::int32_t page,
                                const std::vector<TextMatch>& matches);

// The point of the form under a point of the sheet, clamped to the form.
Cell jobCellAt(const DocumentRecord& record, std::int32_t page, double x, double y);
// The sheet's box of a rectangle of the form.
Rect jobCellsBox(const DocumentRecord& record, std::int32_t page, const CellRange& cells);
// The printed lines with a character whose cell's middle lies in the rectangle, top to
// bottom, each holding those characters at their columns of the page's text (the gaps as
// blanks), from the leftmost one selected on any line that is not a blank: columns stay
// aligned.
std::vector<std::u16string> jobCellsRows(const DocumentRecord& record, std::int32_t page,
                                         const CellRange& cells);
// The same as one text, each line without trailing blanks.
std::u16string jobCellsText(const DocumentRecord& record, std::int32_t page,
                            const CellRange& cells);

// The row of the job's text grid (every page's lines one after another, as documentGrid
// spells a job) and the column of the character nearest to a point of sheet `page`; false on
// a page without text.
bool jobGridCell(const DocumentRecord& record, std::int32_t page, Cell cell, std::int64_t& row,
                 std::int32_t& column);

}  // namespace folvek
