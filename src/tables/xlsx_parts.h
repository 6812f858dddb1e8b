// The fixed parts of an Excel workbook around its sheets: the content types, the package and
// workbook relationships, the workbook with its sheet names, and the cell styles. The styles
// are the same for every workbook, so that a sheet can be written before the next is looked at:
// a heading, a text cell, and one style per number format (0 to 15 decimals, with and without
// group spaces) and for dates, all with thin borders and wrapped text.
#pragma once

#include <cstddef>
#include <string>

#include "cell_value.h"

namespace folvek::xlsx {

// The cell style indexes (cellXfs) the sheets use.
constexpr int kHeadingStyle = 1;
constexpr int kTextStyle = 2;
int numberStyle(const CellValue& v);

std::string contentTypes(std::size_t sheets);
std::string packageRelationships();
std::string workbook(std::size_t sheets);
std::string workbookRelationships(std::size_t sheets);
std::string styles();

}  // namespace folvek::xlsx
