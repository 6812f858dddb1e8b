// The places of a job page's characters on the sheet, from its printed lines (job_text.h) and
// the fit of its form (job_sheet.h).
#include "job_places.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "job_search.h"
#include "job_sheet.h"
#include "job_text.h"

namespace folvek {

namespace {

using printer::JobPage;
using printer::JobTextLine;
using printer::JobTextPlace;
using printer::JobTextRun;
using printer::JobUnits;

// The device's logical units become the job's own: a denominator large enough that the scale
// of even a very small fit keeps six digits (drawJobSheet's too).
constexpr int kScaleDenominator = 200000000;

// A character's cell in the job's units, y down.
struct JobBox {
    long double left = 0, top = 0, right = 0, bottom = 0;
};

JobBox charBox(const JobTextRun& r, std::int32_t index) {
    const long double cell = std::max<JobUnits>(1, r.cellHeight);
    const long double left = r.x + static_cast<long double>(index) * r.advance;
    return {left, r.y - kJobCellAbove * cell, left + std::max<JobUnits>(1, r.advance),
            r.y + kJobCellBelow * cell};
}

std::int32_t clampInt(double v) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min() / 2;
    constexpr double hi = std::numeric_limits<std::int32_t>::max() / 2;
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

// The sheet's box of a job box, every edge moved outward to a whole 0.01 inch so that the box
// covers the cell at any zoom.
Rect sheetBox(const JobSheetMap& map, const JobBox& b) {
    return {clampInt(std::floor(map.sheetX(b.left))), clampInt(std::ceil(map.sheetY(b.top))),
            clampInt(std::ceil(map.sheetX(b.right))), clampInt(std::floor(map.sheetY(b.bottom)))};
}

bool inside(const JobBox& b, const CellRange& cells) {
    const long double mx = (b.left + b.right) / 2, my = (b.top + b.bottom) / 2;
    return mx >= cells.firstColumn && mx <= cells.lastColumn && my >= cells.firstRow &&
           my <= cells.lastRow;
}

}  // namespace

double JobSheetMap::sheetX(long double jobX) const {
    return static_cast<double>((originX + jobX) * unit);
}
double JobSheetMap::sheetY(long double jobY) const {
    return static_cast<double>(-(originY + jobY) * unit);
}
long double JobSheetMap::jobX(double x) const {
    return x / unit - originX;
}
long double JobSheetMap::jobY(double y) const {
    return -y / unit - originY;
}

JobSheetMap jobSheetMap(const DocumentRecord& record, const JobPage& page) {
    // As drawJobSheet maps the device: a whole ratio for the scale, the corner in its units.
    const JobFit fit = jobFit(record, page);
    const auto num = std::max(1, static_cast<int>(std::lround(fit.scale * kScaleDenominator)));
    JobSheetMap map;
    map.unit = num / static_cast<long double>(kScaleDenominator);
    map.originX = static_cast<std::int64_t>(std::llround(fit.left / map.unit));
    map.originY = static_cast<std::int64_t>(std::llround(fit.top / map.unit));
    return map;
}

const JobPage* jobPageOf(const DocumentRecord& record, std::int32_t page) {
    const printer::JobDocument* job = jobDocumentOf(record);
    if (!job || page < 1 || static_cast<std::size_t>(page) > job->pages.size()) return nullptr;
    return &job->pages[static_cast<std::size_t>(page - 1)];
}

std::int32_t jobSheetOfMatch(const DocumentRecord& record, const TextMatch& match) {
    return std::clamp<std::int32_t>(jobTextPage(match.line), 1, std::max(record.pageCount, 1));
}

std::vector<Rect> jobMatchBoxes(const DocumentRecord& record, std::int32_t page,
                                const std::vector<TextMatch>& matches) {
    std::vector<Rect> boxes;
    const JobPage* p = jobPageOf(record, page);
    if (!p) return boxes;
    const auto from =
        std::lower_bound(matches.begin(), matches.end(), TextMatch{jobTextLine(page, 0), 0, 0});
    if (from == matches.end() || jobTextPage(from->line) != page) return boxes;
    const std::vector<JobTextLine> lines = printer::jobTextLines(*p);
    const JobSheetMap map = jobSheetMap(record, *p);
    for (auto it = from; it != matches.end() && jobTextPage(it->line) == page; ++it) {
        const std::int64_t k = jobTextLineOnPage(it->line);
        if (k >= static_cast<std::int64_t>(lines.size())) continue;
        const JobTextLine& line = lines[static_cast<std::size_t>(k)];
        // One box for each stretch of characters of one run.
        std::int32_t run = -1;
        JobBox box;
        const auto flush = [&] {
            if (run >= 0) boxes.push_back(sheetBox(map, box));
            run = -1;
        };
        const auto end = std::min<std::size_t>(line.places.size(),
                                               static_cast<std::size_t>(it->column) + it->length);
        for (auto c = static_cast<std::size_t>(std::max(it->column, 0)); c < end; ++c) {
            const JobTextPlace& place = line.places[c];
            if (place.run < 0) {
                flush();
                continue;
            }
            const JobBox b = charBox(p->runs[static_cast<std::size_t>(place.run)], place.index);
            if (place.run == run) {
                box.left = std::min(box.left, b.left);
                box.right = std::max(box.right, b.right);
                continue;
            }
            flush();
            run = place.run;
            box = b;
        }
        flush();
    }
    return boxes;
}

Cell jobCellAt(const DocumentRecord& record, std::int32_t page, double x, double y) {
    const JobPage* p = jobPageOf(record, page);
    if (!p) return {};
    const JobSheetMap map = jobSheetMap(record, *p);
    const long double jx = std::clamp<long double>(map.jobX(x), 0, std::max<JobUnits>(p->width, 0));
    const long double jy =
        std::clamp<long double>(map.jobY(y), 0, std::max<JobUnits>(p->height, 0));
    return {static_cast<std::int32_t>(std::lround(jy)), static_cast<std::int32_t>(std::lround(jx))};
}

Rect jobCellsBox(const DocumentRecord& record, std::int32_t page, const CellRange& cells) {
    const JobPage* p = jobPageOf(record, page);
    if (!p) return {};
    return sheetBox(
        jobSheetMap(record, *p),
        {static_cast<long double>(cells.firstColumn), static_cast<long double>(cells.firstRow),
         static_cast<long double>(cells.lastColumn), static_cast<long double>(cells.lastRow)});
}

std::vector<std::u16string> jobCellsRows(const DocumentRecord& record, std::int32_t page,
                                         const CellRange& cells) {
    std::vector<std::u16string> rows;
    const JobPage* p = jobPageOf(record, page);
    if (!p) return rows;
    const std::vector<JobTextLine> lines = printer::jobTextLines(*p);
    // Which units of each line are selected, and the leftmost column selected on any line.
    std::vector<std::vector<bool>> chosen(lines.size());
    std::size_t left = std::numeric_limits<std::size_t>::max();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const JobTextLine& line = lines[k];
        chosen[k].assign(line.places.size(), false);
        for (std::size_t c = 0; c < line.places.size(); ++c) {
            const JobTextPlace& place = line.places[c];
            if (place.run < 0) continue;
            if (inside(charBox(p->runs[static_cast<std::size_t>(place.run)], place.index), cells)) {
                chosen[k][c] = true;
                left = std::min(left, c);
            }
        }
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const auto first = std::find(chosen[k].begin(), chosen[k].end(), true);
        if (first == chosen[k].end()) continue;
        const auto last = static_cast<std::size_t>(
            chosen[k].rend() - std::find(chosen[k].rbegin(), chosen[k].rend(), true));
        std::u16string row;
        for (std::size_t c = left; c < last; ++c) {
            // A blank between runs stands in the selection when a chosen character follows.
            const bool take = chosen[k][c] || lines[k].places[c].run < 0;
            row += take ? lines[k].text[c] : u' ';
        }
        rows.push_back(std::move(row));
    }
    // Blank columns on the left of every line (the blanks of a run the rectangle starts in)
    // are no part of the text.
    std::size_t blank = std::numeric_limits<std::size_t>::max();
    for (const std::u16string& row : rows)
        blank = std::min(blank, std::min(row.size(), row.find_first_not_of(u' ')));
    if (blank != std::numeric_limits<std::size_t>::max() && blank > 0)
        for (std::u16string& row : rows) row.erase(0, std::min(blank, row.size()));
    return rows;
}

std::u16string jobCellsText(const DocumentRecord& record, std::int32_t page,
                            const CellRange& cells) {
    std::u16string out;
    bool first = true;
    for (std::u16string& row : jobCellsRows(record, page, cells)) {
        while (!row.empty() && row.back() == u' ') row.pop_back();
        if (!first) out += u'\n';
        first = false;
        out += row;
    }
    return out;
}

bool jobGridCell(const DocumentRecord& record, std::int32_t page, Cell cell, std::int64_t& row,
                 std::int32_t& column) {
    const JobPage* p = jobPageOf(record, page);
    if (!p) return false;
    const std::vector<JobTextLine> lines = printer::jobTextLines(*p);
    // The character whose cell is nearest the point.
    long double best = std::numeric_limits<long double>::max();
    std::size_t bestLine = 0, bestColumn = 0;
    for (std::size_t k = 0; k < lines.size(); ++k)
        for (std::size_t c = 0; c < lines[k].places.size(); ++c) {
            const JobTextPlace& place = lines[k].places[c];
            if (place.run < 0) continue;
            const JobBox b = charBox(p->runs[static_cast<std::size_t>(place.run)], place.index);
            const long double dx =
                std::max<long double>({b.left - cell.column, 0, cell.column - b.right});
            const long double dy =
                std::max<long double>({b.top - cell.row, 0, cell.row - b.bottom});
            const long double d = dx * dx + dy * dy;
            if (d < best) {
                best = d;
                bestLine = k;
                bestColumn = c;
            }
        }
    if (best == std::numeric_limits<long double>::max()) return false;
    // The lines of the pages before, as documentGrid counts them.
    std::int64_t before = 0;
    const printer::JobDocument* job = jobDocumentOf(record);
    for (std::int32_t q = 1; q < page; ++q)
        before += static_cast<std::int64_t>(
            printer::jobTextLines(job->pages[static_cast<std::size_t>(q - 1)]).size());
    row = before + static_cast<std::int64_t>(bestLine);
    column = static_cast<std::int32_t>(bestColumn);
    return true;
}

}  // namespace folvek
