// Writing one table as CSV.
#include "csv_writer.h"

#include "sheet_text.h"

namespace folvek {

namespace {

void field(std::string& out, const std::string& text) {
    const bool quote = text.find_first_of(";\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string tableCsv(const Table& table) {
    std::string out = "\xEF\xBB\xBF";
    for (std::int32_t r = 0; r < table.rows; ++r) {
        for (std::int32_t c = 0; c < table.columns; ++c) {
            if (c) out += ';';
            const TableCell& cell = table.at(r, c);
            if (cell.covered) continue;
            const CellValue v = valueOf(table, r, c);
            field(out, v.kind == ValueKind::Text ? utf8(table.text(cell)) : plainValue(v, ','));
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace folvek
