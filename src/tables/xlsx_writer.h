// Tables as an Excel workbook (.xlsx): one sheet per table, numbers with their decimals as the
// number format, dates as dates, codes and headings as text, merged cells merged, the heading
// bold and kept in view while scrolling. The sheets are our own SpreadsheetML, texts written
// inline in their cells, packed by the zip builder the OpenDocument writer uses: a workbook
// of a few thousand sheets is written in a fraction of the time a general library takes
// (libxlsxwriter: a temporary file per sheet and the workbook read back), and the bytes stay
// in memory for the program's one file writer.
#pragma once

#include <string>
#include <vector>

#include "table.h"

namespace folvek {

// The workbook's bytes in `bytes`; false with a reason in `error` when it cannot be made (a
// table larger than a sheet, a workbook past the zip format's limits).
bool xlsxBytes(const std::vector<Table>& tables, std::string& bytes, std::string& error);

}  // namespace folvek
