// Saving a report's tables: the format follows the file's extension (.xlsx, .ods, .csv); a
// workbook gets one sheet per table, CSV one file per table (name-1.csv, name-2.csv ...).
// Every file goes through the program's one file writer.
#pragma once

#include <string>
#include <vector>

#include "table.h"

namespace folvek {

enum class TableFormat { None, Xlsx, Ods, Csv };

// The format of a file name's extension (any case), None for another.
TableFormat tableFormatOf(const std::string& path);

// The files the tables of `count` go to: the path itself, or for CSV one numbered per table.
std::vector<std::string> tableFiles(const std::string& path, std::size_t count);

struct TableExportResult {
    bool ok = false;
    std::vector<std::string> files;  // written
    std::string error;               // Russian, for a message
};

TableExportResult exportTables(const std::vector<Table>& tables, const std::string& path);

}  // namespace folvek
