// Small helpers every table writer shares: UTF-8 of a cell's text, XML escaping, the sheet
// names, and a cell's value (headings are always text).
#pragma once

#include <string>
#include <string_view>

#include "cell_value.h"
#include "table.h"

namespace folvek {

std::string utf8(std::u16string_view s);
// Text for XML character data and attribute values; characters XML 1.0 forbids are dropped.
std::string xmlEscape(std::u16string_view s);
void appendXml(std::string& out, std::u16string_view s);
// "Таблица N" (1-based), the sheet name of table N.
std::string sheetName(std::size_t index);
// The shortest plain decimal that reads back as `v` ("1250.5", "1000000000").
void appendNumber(std::string& out, double v);
CellValue valueOf(const Table& t, std::int32_t row, std::int32_t column);

}  // namespace folvek
