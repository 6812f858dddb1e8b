// Matches to sheets: the page walk gives each sheet's first line and strip, so a binary search
// over the sheets finds the last one that starts at or before the match.
#include "page_matches.h"

#include <algorithm>

#include "job_places.h"
#include "page_cells.h"
#include "page_renderer.h"

namespace folvek {

namespace {

std::int32_t stripOf(const DocumentRecord& record, std::int32_t column) {
    return record.isWrap && record.charsPerLine > 0 ? column / record.charsPerLine : 0;
}

}  // namespace

std::int32_t sheetOfMatch(DocumentRecord& record, PageLocator& locator, const TextMatch& match) {
    if (record.jobLayout) return jobSheetOfMatch(record, match);
    // The last sheet whose first line is at or before the match's line.
    std::int32_t lo = 1, hi = std::max<std::int32_t>(record.pageCount, 1);
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo + 1) / 2;
        if (locator.locate(record, mid).firstLine <= match.line)
            lo = mid;
        else
            hi = mid - 1;
    }
    // Continuation sheets share their first line: step back to the strip of the match.
    const PageStart last = locator.locate(record, lo);
    const std::int32_t first = lo - last.strip;
    return std::min(lo, first + stripOf(record, match.column));
}

std::vector<Rect> matchBoxes(DocumentRecord& record, PageLocator& locator, std::int32_t page,
                             const std::vector<TextMatch>& matches) {
    if (record.jobLayout) return jobMatchBoxes(record, page, matches);
    std::vector<Rect> boxes;
    if (page < 1 || page > record.pageCount) return boxes;
    const SheetText sheet = sheetText(record, page, locator);
    const std::int64_t firstLine = sheet.start.firstLine;
    const std::int64_t rows = sheetRows(record, sheet);
    const std::int32_t stripWidth =
        record.isWrap && record.charsPerLine > 0 ? record.charsPerLine : INT32_MAX / 2;
    const std::int64_t stripStart = static_cast<std::int64_t>(sheet.start.strip) * stripWidth;
    auto from = std::lower_bound(matches.begin(), matches.end(), TextMatch{firstLine, 0, 0});
    for (auto it = from; it != matches.end() && it->line < firstLine + rows; ++it) {
        const std::int64_t begin = std::max<std::int64_t>(it->column, stripStart);
        const std::int64_t end =
            std::min<std::int64_t>(std::int64_t{it->column} + it->length, stripStart + stripWidth);
        if (begin >= end) continue;
        const auto row = static_cast<std::int32_t>(it->line - firstLine);
        Rect r;
        r.left =
            static_cast<std::int32_t>(record.LeftMargin + (begin - stripStart) * record.charWidth);
        r.right =
            static_cast<std::int32_t>(record.LeftMargin + (end - stripStart) * record.charWidth);
        r.top = -row * record.lineHeight - sheet.textTop;
        r.bottom = r.top - record.lineHeight;
        boxes.push_back(r);
    }
    return boxes;
}

}  // namespace folvek
