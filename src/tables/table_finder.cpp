// Finding a grid's tables and joining the parts of a table continued over pages.
#include "table_finder.h"

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
            if (x.text != y.text || x.rowSpan != y.rowSpan || x.columnSpan != y.columnSpan ||
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
    table.cells.insert(table.cells.end(), next.cells.begin() + std::size_t(skipRows) * next.columns,
                       next.cells.end());
    table.rows += next.rows - skipRows;
    table.spans.insert(table.spans.end(), next.spans.begin(), next.spans.end());
}

}  // namespace

std::vector<Table> findTableParts(const CharGrid& grid, const TableProgress& progress) {
    std::vector<Table> parts;
    GridArms arms = gridArms(grid);
    if (progress && !progress(0.3)) return parts;
    const std::vector<GridSpan> boxes = frameBoxes(arms);
    if (progress && !progress(0.5)) return parts;
    TableShape shape;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (shapeTable(grid, arms, boxes[k], shape)) parts.push_back(tableCells(grid, arms, shape));
        if (progress && k % 64 == 63 &&
            !progress(0.5 + 0.5 * static_cast<double>(k) / static_cast<double>(boxes.size())))
            return parts;
    }
    return parts;
}

FoundTables findTables(const CharGrid& grid, const TableProgress& progress) {
    FoundTables found;
    bool stopped = false;
    const TableProgress watch = [&](double share) {
        if (progress && !progress(share)) stopped = true;
        return !stopped;
    };
    std::vector<Table> parts = findTableParts(grid, watch);
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
    if (progress) progress(1.0);
    return found;
}

int tableAt(const std::vector<Table>& tables, std::int64_t row, std::int32_t column) {
    for (std::size_t t = 0; t < tables.size(); ++t)
        for (const GridSpan& s : tables[t].spans)
            if (s.contains(row, column)) return static_cast<int>(t);
    return -1;
}

}  // namespace folvek
