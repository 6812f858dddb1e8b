// The text of one sheet as the page shows it, for the clipboard: tags and control bytes left
// out, box characters as the Unicode box-drawing characters the frame is drawn as.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document_record.h"
#include "page_cells.h"
#include "page_locator.h"

namespace folvek {

// The rows of sheet `page` (1..pageCount), each without its trailing blanks, joined by '\n';
// empty for a page that is not there.
std::u16string pageText(DocumentRecord& record, PageLocator& locator, std::int32_t page);

// The text of a rectangle of sheet `page`'s cells, one line per row, each without its trailing
// blanks, without blank rows at its end; a control byte's cell reads as a blank.
std::u16string cellsText(DocumentRecord& record, PageLocator& locator, std::int32_t page,
                         const CellRange& range);

// The same rectangle as one string of cells per row (a control byte's cell as a blank), every
// row kept: the grid the table finder reads.
std::vector<std::u16string> cellsRows(DocumentRecord& record, PageLocator& locator,
                                      std::int32_t page, const CellRange& range);

// The cells of one line's `text` as the page shows them, one character per column: tags left
// out, a box character as its box drawing (`boxes`: the line's codes from the first byte of
// `text`, or null), a control byte as 0.
void lineCells(const DocumentRecord& record, const char* text, const std::uint8_t* boxes,
               std::u16string& cells);

// The Unicode character of a box code (box_cells.h): the code-page-866 character with those
// arms, or for arms 866 has no character for, the nearest line; 0 for code 0.
char16_t boxCharacter(std::uint8_t code);

}  // namespace folvek
