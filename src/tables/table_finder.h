// Every framed table of a character grid, in the order they stand, a table continued over
// page breaks joined into one: the part after a page break that has the same column lines
// and either the same heading (which is then left out) or none continues the table before it.
#pragma once

#include <functional>
#include <vector>

#include "char_grid.h"
#include "table.h"

namespace folvek {

// Told the share of the work done (0..1); returning false stops the search.
using TableProgress = std::function<bool(double)>;

struct FoundTables {
    std::vector<Table> tables;
    bool stopped = false;
};

// With `barsAlone` (a rectangle the user selected inside a table) vertical bars without rules
// make columns too, across the whole rows.
FoundTables findTables(const CharGrid& grid, const TableProgress& progress = {},
                       bool barsAlone = false);

// The tables without joining parts over page breaks (each part as found). The grid is cut
// into `pieces` (0: a few per core) at rows no frame crosses, searched on all cores.
std::vector<Table> findTableParts(const CharGrid& grid, const TableProgress& progress = {},
                                  std::size_t pieces = 0, bool barsAlone = false);

// The index of the table with a part covering grid cell (row, column), or -1.
int tableAt(const std::vector<Table>& tables, std::int64_t row, std::int32_t column);

}  // namespace folvek
