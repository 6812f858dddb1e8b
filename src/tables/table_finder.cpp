// Finding a grid's tables and joining the parts of a table continued over pages.
#include "table_finder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "frame_boxes.h"
#include "table_cells.h"
#include "table_shape.h"

namespace folvek {

namespace {

bool sameHeading(const Table& a, const Table& b) {
    if (a.headingRows != b.headingRows) return false;
    for (std::int32_t r = 0; r < a.headingRows; ++r)
        for (std::int32_t c = 0; c < a.columns; ++c) {
            const TableCell& x = a.at(r, c);
            const TableCell& y = b.at(r, c);
            if (a.text(x) != b.text(y) || x.rowSpan != y.rowSpan || x.columnSpan != y.columnSpan ||
                x.covered != y.covered)
                return false;
        }
    return true;
}

bool pageBreakBetween(const CharGrid& grid, std::int64_t after, std::int64_t upTo) {
    for (std::int64_t r = after + 1; r <= upTo; ++r)
        if (grid.pageStart[static_cast<std::size_t>(r)]) return true;
    return false;
}

// Whether `next` carries on `table` over a page break, and how many of its rows repeat.
bool continues(const CharGrid& grid, const Table& table, const Table& next,
               std::int32_t& skipRows) {
    if (table.bounds != next.bounds) return false;
    if (!pageBreakBetween(grid, table.spans.back().lastRow, next.spans.front().firstRow))
        return false;
    if (next.headingRows == 0) {
        skipRows = 0;
        return true;
    }
    if (!sameHeading(table, next)) return false;
    skipRows = next.headingRows;
    return true;
}

void append(Table& table, const Table& next, std::int32_t skipRows) {
    // The next part's texts follow this one's; its cells move with them.
    const std::size_t shift = table.texts.size();
    table.texts += next.texts;
    const std::size_t from = table.cells.size();
    table.cells.insert(table.cells.end(), next.cells.begin() + std::size_t(skipRows) * next.columns,
                       next.cells.end());
    for (std::size_t k = from; k < table.cells.size(); ++k) table.cells[k].textAt += shift;
    table.rows += next.rows - skipRows;
    table.spans.insert(table.spans.end(), next.spans.begin(), next.spans.end());
}

}  // namespace

namespace {

// Rows where the grid may be cut into pieces that no frame crosses: rows without a frame
// character, near equal shares of the rows.
std::vector<std::size_t> pieceBounds(const CharGrid& grid, std::size_t pieces) {
    const std::size_t n = grid.rows.size();
    std::vector<std::size_t> bounds{0};
    for (std::size_t k = 1; k < pieces; ++k) {
        std::size_t r = std::max(bounds.back() + 1, n * k / pieces);
        while (r < n && mayHoldFrame(grid.rows[r])) ++r;
        if (r >= n) break;
        bounds.push_back(r);
    }
    bounds.push_back(n);
    return bounds;
}

// Bars alone: each bar is a box of its own, but the columns run across the whole rows, so the
// bars of rows that overlap make one table, not one copy of it per bar.
std::vector<GridSpan> acrossWholeRows(const CharGrid& grid, std::vector<GridSpan> bars) {
    std::sort(bars.begin(), bars.end(),
              [](const GridSpan& a, const GridSpan& b) { return a.firstRow < b.firstRow; });
    std::vector<GridSpan> boxes;
    for (const GridSpan& bar : bars) {
        if (!boxes.empty() && bar.firstRow <= boxes.back().lastRow) {
            boxes.back().lastRow = std::max(boxes.back().lastRow, bar.lastRow);
            continue;
        }
        boxes.push_back({bar.firstRow, bar.lastRow, 0, 0});
    }
    for (GridSpan& box : boxes)
        for (std::int64_t r = box.firstRow; r <= box.lastRow; ++r)
            box.lastColumn = std::max(
                box.lastColumn,
                static_cast<std::int32_t>(grid.rows[static_cast<std::size_t>(r)].size()) - 1);
    return boxes;
}

// The tables of rows [from, to).
std::vector<Table> piece(const CharGrid& grid, GridArms& arms, std::size_t from, std::size_t to,
                         const std::atomic<bool>& stop, bool barsAlone) {
    fillArms(grid, from, to, arms);
    std::vector<Table> parts;
    if (stop) return parts;
    std::vector<GridSpan> boxes = frameBoxes(arms, from, to, barsAlone ? 1 : 3);
    if (barsAlone) boxes = acrossWholeRows(grid, std::move(boxes));
    TableShape shape;
    for (std::size_t k = 0; k < boxes.size() && !stop; ++k)
        if (shapeTable(grid, arms, boxes[k], shape)) parts.push_back(tableCells(grid, arms, shape));
    return parts;
}

}  // namespace

std::vector<Table> findTableParts(const CharGrid& grid, const TableProgress& progress,
                                  std::size_t pieces, bool barsAlone) {
    // Pieces of the grid on the cores, a few per core so that the progress moves.
    const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    if (pieces == 0) pieces = grid.rows.size() < 20000 ? 1 : cores * 4;
    const std::vector<std::size_t> bounds = pieceBounds(grid, pieces);
    const std::size_t count = bounds.size() - 1;
    GridArms arms(grid);
    std::vector<std::vector<Table>> found(count);
    std::atomic<std::size_t> next{0}, finished{0};
    std::atomic<bool> stop{false};
    // The reporting thread sleeps between reports, woken at once when the last piece is done.
    std::mutex doneMutex;
    std::condition_variable done;
    const auto work = [&] {
        for (std::size_t k; (k = next++) < count && !stop;) {
            found[k] = piece(grid, arms, bounds[k], bounds[k + 1], stop, barsAlone);
            if (++finished == count) {
                std::lock_guard<std::mutex> lock(doneMutex);
                done.notify_all();
            }
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < std::min(cores, count); ++t) threads.emplace_back(work);
    if (progress && count > 1) {
        // This thread reports; the others work.
        std::thread worker(work);
        while (finished < count) {
            if (!progress(0.9 * static_cast<double>(finished) / static_cast<double>(count)))
                stop = true;
            std::unique_lock<std::mutex> lock(doneMutex);
            done.wait_for(lock, std::chrono::milliseconds(20), [&] { return finished == count; });
            if (stop) break;
        }
        worker.join();
    } else {
        work();
    }
    for (std::thread& t : threads) t.join();
    std::vector<Table> parts;
    if (stop) return parts;
    for (auto& f : found)
        for (Table& t : f) parts.push_back(std::move(t));
    return parts;
}

FoundTables findTables(const CharGrid& grid, const TableProgress& progress, bool barsAlone) {
    FoundTables found;
    bool stopped = false;
    const TableProgress watch = [&](double share) {
        if (progress && !progress(share)) stopped = true;
        return !stopped;
    };
    std::vector<Table> parts =
        findTableParts(grid, progress ? watch : TableProgress{}, 0, barsAlone);
    if (stopped) {
        found.stopped = true;
        return found;
    }
    for (Table& part : parts) {
        std::int32_t skip = 0;
        if (!found.tables.empty() && continues(grid, found.tables.back(), part, skip))
            append(found.tables.back(), part, skip);
        else
            found.tables.push_back(std::move(part));
    }
    // A stop asked at the very end is a stop too: the caller writes nothing.
    if (progress && !progress(1.0)) {
        found.tables.clear();
        found.stopped = true;
    }
    return found;
}

int tableAt(const std::vector<Table>& tables, std::int64_t row, std::int32_t column) {
    for (std::size_t t = 0; t < tables.size(); ++t)
        for (const GridSpan& s : tables[t].spans)
            if (s.contains(row, column)) return static_cast<int>(t);
    return -1;
}

}  // namespace folvek
