// Writing tables as HTML and as tab-separated text.
#include "clipboard_forms.h"

#include <cstdio>

#include "sheet_text.h"

namespace folvek {

namespace {

std::string numberAttributes(const CellValue& v) {
    std::string value;
    appendNumber(value, v.number);
    const std::string format = numberFormat(v);
    std::string mso;
    for (char c : format) {
        if (c == ',' || c == '.' || c == '#') mso += '\\';
        mso += c;
    }
    return std::string(" sdval=\"") + value + "\" sdnum=\"1033;0;" +
           (v.kind == ValueKind::Date ? "DD.MM.YYYY" : format) + "\" x:num=\"" + value +
           "\" style=\"mso-number-format:'" + mso + "'\"";
}

bool looksNumeric(std::u16string_view text) {
    for (char16_t c : text)
        if (c >= u'0' && c <= u'9') return true;
    return false;
}

void htmlTable(const Table& t, std::string& out) {
    out += "<table border=\"1\" cellspacing=\"0\">\n";
    for (std::int32_t r = 0; r < t.rows; ++r) {
        out += "<tr>";
        for (std::int32_t c = 0; c < t.columns; ++c) {
            const TableCell& cell = t.at(r, c);
            if (cell.covered) continue;
            out += r < t.headingRows ? "<th" : "<td";
            if (cell.columnSpan > 1) out += " colspan=\"" + std::to_string(cell.columnSpan) + '"';
            if (cell.rowSpan > 1) out += " rowspan=\"" + std::to_string(cell.rowSpan) + '"';
            const CellValue v = valueOf(t, r, c);
            if (v.kind != ValueKind::Text)
                out += numberAttributes(v);
            else if (looksNumeric(t.text(cell)))
                out += " sdnum=\"1033;0;@\" style=\"mso-number-format:'\\@'\"";
            out += '>';
            std::string text = xmlEscape(t.text(cell));
            for (std::size_t p = 0; (p = text.find('\n', p)) != std::string::npos; p += 4)
                text.replace(p, 1, "<br>");
            out += text;
            out += r < t.headingRows ? "</th>" : "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void tsvField(std::u16string& out, std::u16string_view text) {
    if (text.find_first_of(u"\t\n\"") == std::u16string_view::npos) {
        out += text;
        return;
    }
    out += u'"';
    for (char16_t c : text) {
        if (c == u'"') out += u'"';
        out += c;
    }
    out += u'"';
}

}  // namespace

std::string tablesHtml(const std::vector<const Table*>& tables) {
    std::string out =
        "<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><head>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head><body>\n";
    for (std::size_t k = 0; k < tables.size(); ++k) {
        if (k) out += "<p></p>\n";
        htmlTable(*tables[k], out);
    }
    out += "</body></html>\n";
    return out;
}

std::u16string tablesTsv(const std::vector<const Table*>& tables) {
    std::u16string out;
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const Table& t = *tables[k];
        if (k) out += u'\n';
        for (std::int32_t r = 0; r < t.rows; ++r) {
            for (std::int32_t c = 0; c < t.columns; ++c) {
                if (c) out += u'\t';
                const TableCell& cell = t.at(r, c);
                if (cell.covered) continue;
                const CellValue v = valueOf(t, r, c);
                if (v.kind == ValueKind::Number) {
                    std::u16string plain;
                    for (char16_t ch : t.text(cell))
                        if (ch != u' ' && ch != u'\u00A0' && ch != u'\u202F') plain += ch;
                    out += plain;
                } else {
                    tsvField(out, t.text(cell));
                }
            }
            out += u'\n';
        }
    }
    return out;
}

}  // namespace folvek
