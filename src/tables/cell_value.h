// What a cell's text is worth in a spreadsheet. A number is an optional minus (or the whole in
// parentheses, which is negative too), digits in groups of three parted by single spaces or
// none, and at most one decimal separator, a comma or a point, with digits after it: "1 250,00",
// "1250.00", "-15,5", "(15,50)". A whole number that starts with 0 ("000123"), or has ten or
// more digits without group spaces (an ИНН, an account), or has more than fifteen digits, stays
// text. A date is dd.mm.yyyy or dd.mm.yy of a real day (yy below 30 is 20yy, else 19yy).
// Everything else, a heading above all, is text as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folvek {

enum class ValueKind { Text, Number, Date };

struct CellValue {
    ValueKind kind = ValueKind::Text;
    double number = 0;  // the number, or for a date its spreadsheet serial (days from 1899-12-30)
    int decimals = 0;   // digits after the separator, kept as the number format
    bool grouped = false;  // written with group spaces
    int year = 0, month = 0, day = 0;
};

CellValue cellValue(std::u16string_view text);

// The spreadsheet number format of a number: "0.00", "#,##0.00", "0"...; "dd.mm.yyyy" for a date.
std::string numberFormat(const CellValue& v);

// The number as plain text with `decimalMark`, no group spaces ("-1250,50"); a date as
// dd.mm.yyyy.
std::string plainValue(const CellValue& v, char decimalMark);
// The same written at `at`, which has room for kPlainRoom bytes; returns its end.
constexpr std::size_t kPlainRoom = 400;
char* writePlainValue(char* at, const CellValue& v, char decimalMark);

}  // namespace folvek
