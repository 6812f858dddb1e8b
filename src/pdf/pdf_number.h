// Numbers as PDF writes them: integers, and short fixed-point values without trailing zeros.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace folvek {

inline void appendInt(std::string& out, std::int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// An indirect reference, "n 0 R".
inline void appendRef(std::string& out, int object) {
    appendInt(out, object);
    out += " 0 R";
}

// `units` is the value times 10^decimals, already rounded.
inline void appendScaled(std::string& out, std::int64_t units, int decimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    if (units < 0) {
        out.push_back('-');
        units = -units;
    }
    appendInt(out, units / scale);
    std::int64_t frac = units % scale;
    if (frac == 0) return;
    int digits = decimals;
    while (frac % 10 == 0) {
        frac /= 10;
        --digits;
    }
    out.push_back('.');
    char buf[24];
    for (int i = digits - 1; i >= 0; --i) {
        buf[i] = char('0' + frac % 10);
        frac /= 10;
    }
    out.append(buf, std::size_t(digits));
}

inline void appendFixed(std::string& out, double v, int decimals) {
    double scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    appendScaled(out, std::llround(v * scale), decimals);
}

}  // namespace folvek
