// Matches to sheets: the page walk gives each sheet's first line and strip, so a binary search
// over the sheets finds the last one that starts at or before the match.
#include "page_matches.h"

#include <algorithm>

#include "job_places.h"
#include "page_cells.h"
#include "page_renderer.h"

namespace folvek {

namespace {

std::int32_t stripOf(const DocumentRecord& pg, std::int32_t column) {
    return pg.isWrap && pg.charsPerLine > 0 ? column / pg.charsPerLine : 0;
}

}  // namespace

std::int32_t sheetOfMatch(DocumentRecord& pg, PageLocator& locator, const TextMatch& match) {
    if (pg.jobLayout) return jobSheetOfMatch(pg, match);
    // The last sheet whose first line is at or before the match's line.
    std::int32_t lo = 1, hi = std::max<std::int32_t>(pg.pageCount, 1);
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (locator.locate(pg, mid).firstLine <= match.line)
            lo = mid;
        else
            hi = mid - 1;
    }
    // Continuation sheets share their first line: step back to the strip of the match.
    const PageStart last = locator.locate(pg, lo);
    const std::int32_t first = lo - last.strip;
    return std::min(lo, first + stripOf(pg, match.column));
}

std::vector<Rect> matchBoxes(DocumentRecord& pg, PageLocator& locator, std::int32_t page,
                             const std::vector<TextMatch>& matches) {
    if (pg.jobLayout) return jobMatchBoxes(pg, page, matches);
    std::vector<Rect> boxes;
    if (page < 1 || page > pg.pageCount) return boxes;
    const SheetText sheet = sheetText(pg, page, locator);
    const std::int64_t firstLine = sheet.start.firstLine;
    const std::int64_t rows = sheetRows(pg, sheet);
    const std::int32_t stripWidth =
        pg.isWrap && pg.charsPerLine > 0 ? pg.charsPerLine : INT32_MAX / 2;
    const std::int64_t stripStart = static_cast<std::int64_t>(sheet.start.strip) * stripWidth;
    auto from = std::lower_bound(matches.begin(), matches.end(), TextMatch{firstLine, 0, 0});
    for (auto it = from; it != matches.end() && it->line < firstLine + rows; ++it) {
        const std::int64_t begin = std::max<std::int64_t>(it->column, stripStart);
        const std::int64_t end =
            std::min<std::int64_t>(std::int64_t{it->column} + it->length, stripStart + stripWidth);
        if (begin >= end) continue;
        const auto row = static_cast<std::int32_t>(it->line - firstLine);
        Rect r;
        r.left = static_cast<std::int32_t>(pg.LeftMargin + (begin - stripStart) * pg.charWidth);
        r.right = static_cast<std::int32_t>(pg.LeftMargin + (end - stripStart) * pg.charWidth);
        r.top = -row * pg.lineHeight - sheet.textTop;
        r.bottom = r.top - pg.lineHeight;
        boxes.push_back(r);
    }
    return boxes;
}

}  // namespace folvek
