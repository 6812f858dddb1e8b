// The cells of a shaped table: neighbouring parts with no line between them are one merged
// cell (a heading over several columns, a heading down several rows), and each cell's text is
// its lines, trimmed, joined by line breaks.
#pragma once

#include "table_shape.h"

namespace folvek {

Table tableCells(const CharGrid& grid, const GridArms& arms, const TableShape& shape);

}  // namespace folvek
