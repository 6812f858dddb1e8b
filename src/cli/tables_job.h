// --tables: the report's framed tables written to a spreadsheet file, with the progress bar.
#pragma once

#include <string>

#include "document_record.h"

namespace folvek {

// 0 when written (the files named on standard error), else a message and 1.
int exportTablesJob(const DocumentRecord& doc, const std::string& target);

}  // namespace folvek
