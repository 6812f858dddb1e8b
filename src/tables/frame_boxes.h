// The boxes frames occupy on a character grid: each group of joined frame cells, as the
// rectangle around it; a group that lies inside another's rectangle (a "--" in a cell, a box
// in a table's cell) belongs to the outer one and is left out.
#pragma once

#include <cstdint>
#include <vector>

#include "char_grid.h"
#include "table.h"

namespace folvek {

// Rectangles of at least two rows and three columns (one column: `minWidth` 1), in the order
// of their first rows.
std::vector<GridSpan> frameBoxes(const GridArms& arms);
// The same within rows [from, to), which no frame crosses.
std::vector<GridSpan> frameBoxes(const GridArms& arms, std::size_t from, std::size_t to,
                                 std::int32_t minWidth = 3);

}  // namespace folvek
