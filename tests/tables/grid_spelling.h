// For the tables' fuzz target and corpus tests: bytes spelled as a character grid in a small
// alphabet of frame characters (single, double and ASCII), digits, letters and separators, so
// that random bytes make frames often. Byte 0 ends a row, byte 1 ends a row and starts a page.
#pragma once

#include <string>
#include <string_view>

#include "char_grid.h"

namespace folvek::test {

inline CharGrid spellGrid(std::string_view bytes) {
    static constexpr std::u16string_view kAlphabet =
        u"  ─│┌┐└┘├┤┬┴┼═║╔╗╚╝╠╣╦╩╬╤╧╟╢-=|+.,:0123456789-aZяЖ/";
    CharGrid grid;
    std::u16string row;
    bool startsPage = false;
    std::int64_t line = 0;
    for (unsigned char b : bytes) {
        if (b == 0 || b == 1) {
            grid.addRow(row, startsPage, line++);
            row.clear();
            startsPage = b == 1;
            continue;
        }
        row.push_back(kAlphabet[b % kAlphabet.size()]);
    }
    grid.addRow(row, startsPage, line);
    return grid;
}

}  // namespace folvek::test
