// Small helpers every table writer shares: UTF-8 of a cell's text, XML escaping, the sheet
// names, and a cell's value (headings are always text).
#pragma once

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "cell_value.h"
#include "table.h"

namespace folvek {

std::string utf8(std::u16string_view s);
void appendUtf8Text(std::string& out, std::u16string_view s);
// Text for XML character data and attribute values; characters XML 1.0 forbids are dropped.
std::string xmlEscape(std::u16string_view s);
void appendXml(std::string& out, std::u16string_view s);
// "Таблица N" (1-based), the sheet name of table N.
std::string sheetName(std::size_t index);
// The shortest plain decimal that reads back as `v` ("1250.5", "1000000000").
void appendNumber(std::string& out, double v);
// The same written at `at`, which has room for kNumberRoom bytes; returns its end.
constexpr std::size_t kNumberRoom = 400;
char* writeNumber(char* at, double v);
// Writing into a buffer of the writer's own (a cell's XML is put together there and appended
// to the sheet at once): the bytes or the whole number at `at`, returning their end.
inline char* putBytes(char* at, std::string_view s) {
    std::memcpy(at, s.data(), s.size());
    return at + s.size();
}
inline char* putUnsigned(char* at, std::size_t v) {
    return std::to_chars(at, at + 24, v).ptr;
}
CellValue valueOf(const Table& t, std::int32_t row, std::int32_t column);

}  // namespace folvek
