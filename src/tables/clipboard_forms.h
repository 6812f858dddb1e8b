// Tables in the forms a spreadsheet takes from the clipboard. HTML is what LibreOffice Calc and
// Excel paste as cells without asking (a plain text paste opens Calc's import dialog): a table
// with its merges as colspan/rowspan, each number carrying its value and format in the
// attributes both read (sdval/sdnum for Calc, x:num and mso-number-format for Excel), so that
// the paste does not depend on the spreadsheet's locale; codes with leading zeros are marked
// as text. Tab-separated text is for everything else that takes cells.
#pragma once

#include <string>
#include <vector>

#include "table.h"

namespace folvek {

// One HTML document holding the tables, each a <table>, a blank paragraph between them.
std::string tablesHtml(const std::vector<const Table*>& tables);

// The tables as tab-separated lines, a blank line between tables; a field holding a tab, a line
// break or a quote is quoted. Numbers and dates as the report shows them, group spaces left out.
std::u16string tablesTsv(const std::vector<const Table*>& tables);

}  // namespace folvek
