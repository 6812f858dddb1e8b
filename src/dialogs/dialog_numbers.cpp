// Reading numbers out of dialog fields.
#include "dialog_numbers.h"

#include "decimal.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace folvek {

namespace {

constexpr qsizetype kNumberField = 50;

// The field as Latin-1 bytes from its first non-blank character; other characters become '?',
// which ends any number.
std::string numberText(const QString& text) {
    const QString head = text.left(kNumberField);
    std::string s;
    s.reserve(static_cast<std::size_t>(head.size()));
    for (QChar c : head) s += c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?';
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

}  // namespace

std::int32_t leadingInt(const QString& text) {
    return leadingDecimal(numberText(text));
}

double leadingReal(const QString& text) {
    std::string s = numberText(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // Only the comma that stands where the decimal point would is read as one.
    std::size_t j = i;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
    if (j < s.size() && s[j] == ',') s[j] = '.';
    double d = 0;
    const char* begin = s.data() + i;
    const char* end = s.data() + s.size();
    // "inf" and "nan" are words, not numbers typed as margins.
    if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.'))
        return 0;
    if (std::from_chars(begin, end, d, std::chars_format::general).ec != std::errc()) return 0;
    if (!std::isfinite(d)) return 0;
    return negative ? -d : d;
}

std::string utf8Cut(const QString& text, std::size_t maxBytes) {
    std::string s = text.toStdString();
    if (s.size() <= maxBytes) return s;
    std::size_t n = maxBytes;
    // Back off continuation bytes so the last character stays whole.
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.resize(n);
    return s;
}

}  // namespace folvek
