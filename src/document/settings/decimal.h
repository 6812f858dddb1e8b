// Reading a whole number the way the C library's atoi does: blanks and a sign, then decimal
// digits, stopping at anything else; no digits give 0. Values beyond the int32 range saturate.
#pragma once

#include <cstdint>
#include <string_view>

namespace folvek {

inline std::int32_t leadingDecimal(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT32_MAX) + 1;
    std::int64_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        n = n * 10 + (s[i] - '0');
        if (n > kLimit) n = kLimit;
    }
    if (negative) n = -n;
    if (n > INT32_MAX) n = INT32_MAX;
    return static_cast<std::int32_t>(n);
}

}  // namespace folvek
