// ESC ( commands (ESC/P2 and the 24-pin printers): each is ESC ( letter nL nH and n bytes, so
// one the printer does not know is skipped whole. Graphics mode, units, page length and
// format, absolute and relative moves, character tables, score lines, remote mode.
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

std::int64_t le(const std::uint8_t* p, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
    return static_cast<std::int64_t>(v);
}

std::int64_t signedLe(const std::uint8_t* p, std::size_t n) {
    const std::int64_t v = le(p, n);
    const std::int64_t half = std::int64_t{1} << (8 * n - 1);
    return v >= half ? v - 2 * half : v;
}

JobUnits clampUnits(std::int64_t v) {
    return static_cast<JobUnits>(
        std::clamp<std::int64_t>(v, -50 * kUnitsPerInch, 50 * kUnitsPerInch));
}

}  // namespace

void EscPReader::parenCommand() {
    if (!need(3)) return;
    const std::uint8_t c = next();
    const std::size_t n = word();
    if (!need(n)) return;
    const auto* p = reinterpret_cast<const std::uint8_t*>(in_.data() + pos_);
    skip(n);
    switch (c) {
        case 'G':
            if (n >= 1) st_.graphicsMode = p[0] == 1 || p[0] == '1';
            break;
        case 'U':
            if (n == 1 && p[0]) {
                st_.unit = st_.unitH = p[0] * (kUnitsPerInch / 3600);
                st_.unitSet = true;
            } else if (n >= 5 && le(p + 3, 2) > 0) {
                const std::int64_t base = le(p + 3, 2);
                st_.unit =
                    std::max<JobUnits>(1, static_cast<JobUnits>(p[0] * kUnitsPerInch / base));
                st_.unitH =
                    std::max<JobUnits>(1, static_cast<JobUnits>(p[2] * kUnitsPerInch / base));
                st_.unitSet = true;
            }
            break;
        case 'D':
            if (n >= 4 && p[2] && p[3]) {
                const std::int64_t base = le(p, 2);
                st_.rasterDpiY = std::max<std::int32_t>(1, static_cast<std::int32_t>(base / p[2]));
                st_.rasterDpiX = std::max<std::int32_t>(1, static_cast<std::int32_t>(base / p[3]));
            }
            break;
        case 't':
            if (n >= 3) assignTable(p[0], p[1], p[2]);
            break;
        case '-':
            if (n >= 3 && (p[1] == 1 || p[1] == 3)) {
                const auto bit =
                    static_cast<std::uint16_t>(p[1] == 1 ? kJobUnderline : kJobOverline);
                st_.style = static_cast<std::uint16_t>(p[2] ? st_.style | bit : st_.style & ~bit);
            }
            break;
        case '^':  // the data bytes print as characters, control codes too
            for (std::size_t i = 0; i < n; ++i) printByte(p[i]);
            break;
        case 'R':
            if (n >= 8 && std::string_view(reinterpret_cast<const char*>(p + 1), 7) == "REMOTE1")
                remoteMode();
            break;
        default:
            parenMove(c, p, n);
            break;
    }
}

// Page length and format, absolute and relative moves, in the unit of ESC ( U.
bool EscPReader::parenMove(std::uint8_t c, const std::uint8_t* p, std::size_t n) {
    const std::size_t w = n >= 4 ? 4 : 2;  // 16- or 32-bit forms
    switch (c) {
        case 'C':
            if (n >= 2) setPageLength(clampUnits(le(p, w) * st_.unit));
            return true;
        case 'c':
            if (n >= 4) {
                const std::size_t half = n >= 8 ? 4 : 2;
                setPageFormat(clampUnits(le(p, half) * st_.unit),
                              clampUnits(le(p + half, half) * st_.unit));
            }
            return true;
        case 'V':
            doc_.features.positions = true;
            if (n >= 2) moveTo(clampUnits(st_.topMargin + le(p, w) * st_.unit));
            return true;
        case 'v':
            doc_.features.positions = true;
            if (n >= 2) {
                const JobUnits dy = clampUnits(signedLe(p, w) * st_.unit);
                if (dy < 0)
                    reverseFeed(-dy);
                else
                    moveTo(st_.y + dy);
            }
            return true;
        case '$':
            if (n >= 4) moveX(clampUnits(st_.leftMargin + le(p, 4) * st_.unitH));
            return true;
        case '\\':
            if (n >= 4 && le(p, 2) > 0)
                moveX(clampUnits(st_.x + signedLe(p + 2, 2) * kUnitsPerInch / le(p, 2)));
            return true;
        default:
            return false;
    }
}

// ESC ( c: printing starts at the top margin and a sheet ends at the bottom one.
void EscPReader::setPageFormat(JobUnits top, JobUnits bottom) {
    doc_.features.formLength = true;
    if (top < 0 || bottom <= top || bottom > st_.pageLength) {
        builder_.warn("a page format outside the page was ignored");
        return;
    }
    st_.topMargin = top;
    st_.bottomLimit = bottom;
    if (st_.y < top) st_.y = top;
}

// Remote mode: two-letter commands with a length each, until ESC NUL NUL NUL.
void EscPReader::remoteMode() {
    while (have(4)) {
        if (peek() == 0x1B && peek(1) == 0 && peek(2) == 0 && peek(3) == 0) {
            skip(4);
            return;
        }
        skip(2);
        const std::size_t n = word();
        if (!need(n)) return;
        skip(n);
    }
    pos_ = in_.size();
}

}  // namespace folvek::printer
