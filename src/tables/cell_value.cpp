// Reading numbers and dates out of a cell's text; anything that does not fit stays text.
#include "cell_value.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace folvek {

namespace {

bool digit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool groupSpace(char16_t c) {
    return c == u' ' || c == u'\u00A0' || c == u'\u202F';
}

bool parseNumber(std::u16string_view s, CellValue& v) {
    bool negative = false;
    if (s.size() >= 2 && s.front() == u'(' && s.back() == u')') {
        negative = true;
        s = s.substr(1, s.size() - 2);
    } else if (!s.empty() && (s.front() == u'-' || s.front() == u'\u2212')) {
        negative = true;
        s = s.substr(1);
    }
    // The digits as one whole number, the separator left out: at most fifteen of them, so it
    // and 10^decimals are exact doubles, and their quotient is the number read correctly
    // rounded, as any decimal reader gives it.
    std::uint64_t mantissa = 0;
    std::size_t i = 0, groupLength = 0, wholeDigits = 0;
    bool grouped = false, leadingZero = false;
    while (i < s.size()) {
        if (digit(s[i])) {
            if (wholeDigits == 0) leadingZero = s[i] == u'0';
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(s[i++] - u'0');
            ++groupLength;
            ++wholeDigits;
        } else if (groupSpace(s[i]) && i + 1 < s.size() && digit(s[i + 1])) {
            // Groups after a space are three digits; the first is one to three.
            if (groupLength == 0 || groupLength > 3 || (grouped && groupLength != 3)) return false;
            grouped = true;
            groupLength = 0;
            ++i;
        } else {
            break;
        }
        if (wholeDigits > 15) return false;
    }
    if (wholeDigits == 0 || (grouped && groupLength != 3)) return false;
    if (wholeDigits > 1 && leadingZero) return false;  // a code: "000123"
    int decimals = 0;
    if (i < s.size() && (s[i] == u',' || s[i] == u'.')) {
        ++i;
        while (i < s.size() && digit(s[i])) {
            if (wholeDigits + static_cast<std::size_t>(++decimals) > 15) return false;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(s[i++] - u'0');
        }
        if (decimals == 0) return false;
    }
    if (i != s.size()) return false;
    if (!grouped && decimals == 0 && wholeDigits >= 10) return false;  // ИНН, accounts
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double value = static_cast<double>(mantissa) / kTens[decimals];
    v.kind = ValueKind::Number;
    v.number = negative ? -value : value;
    v.decimals = decimals;
    v.grouped = grouped;
    return true;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

// Days from 1899-12-30 (the spreadsheets' day 0) to y-m-d.
long serialOf(int y, int m, int d) {
    const auto civil = [](int yy, int mm, int dd) {  // days from 1970-01-01
        yy -= mm <= 2;
        const long era = (yy >= 0 ? yy : yy - 399) / 400;
        const long yoe = yy - era * 400;
        const long doy = (153 * (mm + (mm > 2 ? -3 : 9)) + 2) / 5 + dd - 1;
        const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe - 719468;
    };
    return civil(y, m, d) - civil(1899, 12, 30);
}

bool parseDate(std::u16string_view s, CellValue& v) {
    int part[3] = {0, 0, 0};
    std::size_t length[3] = {0, 0, 0};
    std::size_t k = 0;
    for (char16_t c : s) {
        if (digit(c)) {
            if (++length[k] > 4) return false;
            part[k] = part[k] * 10 + (c - u'0');
        } else if (c == u'.' && k < 2) {
            ++k;
        } else {
            return false;
        }
    }
    if (k != 2 || length[0] != 2 || length[1] != 2 || (length[2] != 2 && length[2] != 4))
        return false;
    int year = part[2];
    if (length[2] == 2) year += year < 30 ? 2000 : 1900;
    const int month = part[1], day = part[0];
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return false;
    v.kind = ValueKind::Date;
    v.year = year;
    v.month = month;
    v.day = day;
    v.number = static_cast<double>(serialOf(year, month, day));
    return true;
}

}  // namespace

CellValue cellValue(std::u16string_view text) {
    CellValue v;
    if (text.empty() || text.size() > 40) return v;
    if (parseDate(text, v)) return v;
    CellValue n;
    if (parseNumber(text, n)) return n;
    return v;
}

std::string numberFormat(const CellValue& v) {
    if (v.kind == ValueKind::Date) return "dd.mm.yyyy";
    std::string f = v.grouped ? "#,##0" : "0";
    if (v.decimals > 0) f += '.' + std::string(static_cast<std::size_t>(v.decimals), '0');
    return f;
}

namespace {

// The digits of `value` with `decimals` after the mark, when the number is one a report holds
// (fewer than fourteen digits, at most nine decimals, not zero) and v * 10^decimals rounds to
// a whole number that gives v back: printf's "%.*f" spells the same digits. Null otherwise.
char* writeFixed(char* at, double v, int decimals, char mark) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals < 0 || decimals > 9 || !(std::fabs(v) < 1e14) || v == 0) return nullptr;
    const double scaled = std::nearbyint(v * kTens[decimals]);
    if (!(std::fabs(scaled) < 1e14) || scaled / kTens[decimals] != v) return nullptr;
    char buf[32];
    char* const end = buf + sizeof buf;
    char* p = end;
    auto digits = static_cast<std::uint64_t>(std::fabs(scaled));
    for (int k = 0; k < decimals; ++k, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
    if (decimals > 0) *--p = mark;
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits);
    if (v < 0) *--p = '-';
    const auto n = static_cast<std::size_t>(end - p);
    std::memcpy(at, p, n);
    return at + n;
}

char* putDigits(char* at, int v, int width) {
    for (int k = width - 1; k >= 0; --k, v /= 10) at[k] = static_cast<char>('0' + v % 10);
    return at + width;
}

}  // namespace

char* writePlainValue(char* at, const CellValue& v, char decimalMark) {
    if (v.kind == ValueKind::Date && v.year >= 0 && v.year <= 9999 && v.month >= 0 &&
        v.month <= 99 && v.day >= 0 && v.day <= 99) {
        at = putDigits(at, v.day, 2);
        *at++ = '.';
        at = putDigits(at, v.month, 2);
        *at++ = '.';
        return putDigits(at, v.year, 4);
    }
    if (v.kind != ValueKind::Date)
        if (char* end = writeFixed(at, v.number, v.decimals, decimalMark)) return end;
    char buf[kPlainRoom];
    if (v.kind == ValueKind::Date) {
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", v.day, v.month, v.year);
        decimalMark = '.';
    } else {
        std::snprintf(buf, sizeof buf, "%.*f", v.decimals, v.number);
    }
    const std::size_t n = std::strlen(buf);
    for (std::size_t k = 0; k < n; ++k) at[k] = buf[k] == '.' ? decimalMark : buf[k];
    return at + n;
}

std::string plainValue(const CellValue& v, char decimalMark) {
    char buf[kPlainRoom];
    return std::string(buf, writePlainValue(buf, v, decimalMark));
}

}  // namespace folvek
