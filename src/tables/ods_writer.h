// Tables as an OpenDocument spreadsheet (.ods): one sheet per table, numbers as floats with
// their decimals kept in a number style, dates as dates, codes and headings as text, merged
// cells spanned. The content is our own XML in a zip built with zlib (zip_builder.h): the
// format needs four small files, and writing them costs less than a library would.
#pragma once

#include <string>
#include <vector>

#include "table.h"

namespace folvek {

// The .ods file's bytes; empty when the tables are too large for a zip without ZIP64.
std::string odsBytes(const std::vector<Table>& tables);

}  // namespace folvek
