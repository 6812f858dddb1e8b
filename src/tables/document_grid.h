// A report's lines as a character grid: one row per line, spelled as the page shows it (tags
// left out, box characters as their box drawings); a form-feed line is an empty row, and the
// row after it starts a page. A line without any frame character can be in no table and is
// an empty row too. A printer job laid out by itself is its pages' printed lines, one row each
// (source: the line's jobTextLine), each page starting a page.
#pragma once

#include "char_grid.h"
#include "document_record.h"

namespace folvek {

CharGrid documentGrid(const DocumentRecord& doc);

}  // namespace folvek
