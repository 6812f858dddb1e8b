// Integer scaling as the font sizes need it: a × b / c in 64 bits, rounded to the nearest
// integer (halves away from zero), and the points / logical-height conversions built on it.
#pragma once

#include <cstdint>

namespace folvek {

// -1 when c is 0 or the result does not fit in 32 bits, as the Windows function does.
inline std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const std::uint64_t ap =
        p < 0 ? 0 - static_cast<std::uint64_t>(p) : static_cast<std::uint64_t>(p);
    const std::uint64_t ac = c < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(c))
                                   : static_cast<std::uint64_t>(c);
    const std::uint64_t q = (ap + ac / 2) / ac;
    if (q > (negative ? 0x80000000ull : 0x7fffffffull)) return -1;
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(q))
                    : static_cast<std::int32_t>(q);
}

// Negation that cannot overflow: INT32_MIN becomes INT32_MAX.
inline std::int32_t negated(std::int32_t v) {
    return v == INT32_MIN ? INT32_MAX : -v;
}

// Whole points of a logical-font height (negative heights give positive points).
inline std::int32_t heightToPoints(std::int32_t height, std::int32_t logPixelsY) {
    return negated(MulDiv(height, 72, logPixelsY));
}

// The logical-font character height (negative) of a size in points.
inline std::int32_t pointsToHeight(std::int32_t points, std::int32_t logPixelsY) {
    return negated(MulDiv(points, logPixelsY, 72));
}

}  // namespace folvek
