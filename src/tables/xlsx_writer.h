// Tables as an Excel workbook (.xlsx) through libxlsxwriter: one sheet per table, numbers
// with their decimals as the number format, dates as dates, codes and headings as text,
// merged cells merged, the heading bold and kept in view while scrolling.
#pragma once

#include <string>
#include <vector>

#include "table.h"

namespace folvek {

// The workbook's bytes in `bytes`; false with a reason in `error` when it cannot be made.
// libxlsxwriter writes only to a file: the workbook goes to a temporary file that is read
// back and removed, so that the target is written through the program's one file writer.
bool xlsxBytes(const std::vector<Table>& tables, std::string& bytes, std::string& error);

}  // namespace folvek
