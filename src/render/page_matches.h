// Where the matches of a search are on the pages: the sheet that shows a match, and the boxes
// of a sheet's matches for the preview to mark.
#pragma once

#include <cstdint>
#include <vector>

#include "device_context.h"
#include "document_record.h"
#include "page_locator.h"
#include "text_search.h"

namespace folvek {

// The sheet (1..pageCount) that shows the match's first character.
std::int32_t sheetOfMatch(DocumentRecord& record, PageLocator& locator, const TextMatch& match);

// The boxes (0.01 inch, y upward, as the page is drawn) of the matches shown on sheet `page`;
// `matches` in document order. A match that goes on past the sheet's strip is cut at its edge.
std::vector<Rect> matchBoxes(DocumentRecord& record, PageLocator& locator, std::int32_t page,
                             const std::vector<TextMatch>& matches);

}  // namespace folvek
