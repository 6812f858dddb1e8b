// Writing one table as CSV.
#include "csv_writer.h"

#include <string_view>

#include "sheet_text.h"

namespace folvek {

namespace {

// A field in quotes: one with the separator, a quote or a line break, or spaces at an end.
template <class Text>
bool needsQuotes(const Text& text) {
    for (const auto c : text)
        if (c == ';' || c == '"' || c == '\r' || c == '\n') return true;
    return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

void field(std::string& out, const std::string& text) {
    if (!needsQuotes(text)) {
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
            if (v.kind != ValueKind::Text) {
                char buf[kPlainRoom];
                const std::string_view plain(buf, writePlainValue(buf, v, ',') - buf);
                if (needsQuotes(plain))
                    field(out, std::string(plain));
                else
                    out += plain;
                continue;
            }
            const std::u16string_view text = table.text(cell);
            // Most texts need no quotes: their UTF-8 goes straight in.
            if (needsQuotes(text))
                field(out, utf8(text));
            else
                appendUtf8Text(out, text);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace folvek
