// UTF-8 helpers: appending a character, checking a text, and cutting a text to a byte limit
// without splitting a character (a value that is UTF-8 loses whole characters only; any other
// byte string, a code-page 1251 value, is cut at the limit).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folvek {

// Appends code point c (below 0x110000) in UTF-8.
inline void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 0
                        : (c >> 5) == 6  ? 1
                        : (c >> 4) == 14 ? 2
                        : (c >> 3) == 30 ? 3
                                         : 9;
        if (n == 9 || (n == 1 && c < 0xC2) || s.size() - i <= n) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

inline std::string cutAtCharacter(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) return std::string(s);
    std::size_t end = limit;
    if (isValidUtf8(s))
        while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    return std::string(s.substr(0, end));
}

}  // namespace folvek
