// UTF-8, XML text and the value of a cell as the writers see them.
#include "sheet_text.h"

#include <charconv>

#include "utf8_cut.h"

namespace folvek {

std::string utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

void appendXml(std::string& out, std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            if (c < 0x20 && c != u'\t' && c != u'\n') continue;  // not allowed in XML 1.0
            switch (c) {
                case u'&':
                    out += "&amp;";
                    break;
                case u'<':
                    out += "&lt;";
                    break;
                case u'>':
                    out += "&gt;";
                    break;
                case u'"':
                    out += "&quot;";
                    break;
                default:
                    out += static_cast<char>(c);
            }
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            // A pair spells one character; a lone half is none and is left out.
            if (c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
                out += utf8(s.substr(i++, 2));
        } else if (c != 0xFFFE && c != 0xFFFF) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string xmlEscape(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    appendXml(out, s);
    return out;
}

std::string sheetName(std::size_t index) {
    return "Таблица " + std::to_string(index + 1);
}

void appendNumber(std::string& out, double v) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    out.append(buf, r.ptr);
}

CellValue valueOf(const Table& t, std::int32_t row, std::int32_t column) {
    if (row < t.headingRows) return {};
    return cellValue(t.text(row, column));
}

}  // namespace folvek
