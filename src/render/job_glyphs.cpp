// Tables from Unicode back to the bytes and arms the page draws.
#include "job_glyphs.h"

#include <array>

#include "box_cells.h"
#include "char_tables.h"
#include "codepage.h"

namespace folvek {

namespace {

constexpr char32_t kAnsiTableEnd = 0x2200;  // every 1251 character lies below

const std::array<std::uint8_t, kAnsiTableEnd>& ansiTable() {
    static const std::array<std::uint8_t, kAnsiTableEnd> table = [] {
        std::array<std::uint8_t, kAnsiTableEnd> t{};
        const char16_t* uni = ansiToUnicodeTable();
        for (int b = 0xFF; b >= 0x20; --b)
            if (uni[b] < kAnsiTableEnd) t[uni[b]] = static_cast<std::uint8_t>(b);
        return t;
    }();
    return table;
}

const std::array<std::uint8_t, 0x80>& boxTable() {
    static const std::array<std::uint8_t, 0x80> table = [] {
        std::array<std::uint8_t, 0x80> t{};
        for (int b = 0xB0; b <= 0xDF; ++b) {
            const char32_t u = printer::toUnicode(printer::CharTable::Pc866, std::uint8_t(b));
            if (u >= 0x2500 && u < 0x2580) t[u - 0x2500] = boxCodeOf866(std::uint8_t(b));
        }
        // Heavy and rounded forms other code pages print: drawn as the light ones.
        const auto same = [&t](char32_t from, char32_t as) { t[from - 0x2500] = t[as - 0x2500]; };
        same(0x2501, 0x2500);
        same(0x2503, 0x2502);
        same(0x256D, 0x250C);
        same(0x256E, 0x2510);
        same(0x256F, 0x2518);
        same(0x2570, 0x2514);
        return t;
    }();
    return table;
}

}  // namespace

std::uint8_t ansiByteOf(char32_t c) {
    if (c < 0x80) return static_cast<std::uint8_t>(c);
    if (c < kAnsiTableEnd) {
        const std::uint8_t b = ansiTable()[c];
        if (b) return b;
    }
    return '?';
}

std::uint8_t boxCodeOfUnicode(char32_t c) {
    return c >= 0x2500 && c < 0x2580 ? boxTable()[c - 0x2500] : 0;
}

BlockKind blockKindOf(char32_t c) {
    switch (c) {
        case 0x2588:
            return BlockKind::Full;
        case 0x2580:
            return BlockKind::Upper;
        case 0x2584:
            return BlockKind::Lower;
        case 0x258C:
            return BlockKind::Left;
        case 0x2590:
            return BlockKind::Right;
        case 0x2591:
            return BlockKind::Light;
        case 0x2592:
            return BlockKind::Medium;
        case 0x2593:
            return BlockKind::Dark;
        default:
            return BlockKind::None;
    }
}

}  // namespace folvek
