// UTF-8, XML text and the value of a cell as the writers see them.
#include "sheet_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "utf8_cut.h"

namespace folvek {

std::string utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    appendUtf8Text(out, s);
    return out;
}

void appendUtf8Text(std::string& out, std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        appendUtf8(out, c);
    }
}

// Written through a pointer into room made at once (at most six bytes a unit, "&quot;"): a
// workbook's texts pass here a character at a time.
void appendXml(std::string& out, std::u16string_view s) {
    const std::size_t start = out.size();
    out.resize(start + 6 * s.size());
    char* const first = out.data() + start;
    char* p = first;
    const auto put = [&p](std::string_view bytes) {
        std::memcpy(p, bytes.data(), bytes.size());
        p += bytes.size();
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            if (c < 0x20 && c != u'\t' && c != u'\n') continue;  // not allowed in XML 1.0
            switch (c) {
                case u'&':
                    put("&amp;");
                    break;
                case u'<':
                    put("&lt;");
                    break;
                case u'>':
                    put("&gt;");
                    break;
                case u'"':
                    put("&quot;");
                    break;
                default:
                    *p++ = static_cast<char>(c);
            }
        } else if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            // A pair spells one character; a lone half is none and is left out.
            if (c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
                put(utf8(s.substr(i++, 2)));
        } else if (c != 0xFFFE && c != 0xFFFF) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(start + static_cast<std::size_t>(p - first));
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

namespace {

// A number of at most fourteen digits with at most nine after the point, the values a report
// holds: the fewest decimals d with which round(v * 10^d) / 10^d gives v back (both exact, the
// division correctly rounded, as a reader parses the digits) spell the shortest text that reads
// back as v, the one to_chars gives, for a fraction of its work. Null for any other number.
char* writeShortDecimal(char* at, double v) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (!(std::fabs(v) < 1e14) || v == 0) return nullptr;
    for (int d = 0; d < 10; ++d) {
        const double scaled = std::nearbyint(v * kTens[d]);
        if (!(std::fabs(scaled) < 1e14) || scaled / kTens[d] != v) continue;
        char buf[32];
        char* end = buf + sizeof buf;
        char* p = end;
        auto digits = static_cast<std::uint64_t>(std::fabs(scaled));
        for (int k = 0; k < d; ++k, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
        if (d > 0) *--p = '.';
        do {
            *--p = static_cast<char>('0' + digits % 10);
            digits /= 10;
        } while (digits);
        if (v < 0) *--p = '-';
        const auto n = static_cast<std::size_t>(end - p);
        std::memcpy(at, p, n);
        return at + n;
    }
    return nullptr;
}

}  // namespace

char* writeNumber(char* at, double v) {
    if (char* end = writeShortDecimal(at, v)) return end;
    return std::to_chars(at, at + kNumberRoom, v, std::chars_format::fixed).ptr;
}

void appendNumber(std::string& out, double v) {
    char buf[kNumberRoom];
    out.append(buf, writeNumber(buf, v));
}

CellValue valueOf(const Table& t, std::int32_t row, std::int32_t column) {
    if (row < t.headingRows) return {};
    return cellValue(t.text(row, column));
}

}  // namespace folvek
