// A table as CSV for spreadsheets set up for Russian: UTF-8 with a byte-order mark (without
// it Excel reads the file as the ANSI code page), ';' between fields (the list separator of
// the Russian locale, so Excel splits the columns on a double click), CR LF line ends, and
// numbers with a decimal comma and no group spaces so that both Excel and LibreOffice Calc
// read them as numbers. A merged cell's text is in its first field, the rest are empty.
#pragma once

#include <string>

#include "table.h"

namespace folvek {

std::string tableCsv(const Table& table);

}  // namespace folvek
