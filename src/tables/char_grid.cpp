// Which cells of a grid are frame lines, and which way their lines run.
#include "char_grid.h"

#include <array>
#include <bit>
#include <unordered_map>

#include "box_cells.h"
#include "input_tables.h"

namespace folvek {

namespace {

const std::unordered_map<char16_t, std::uint8_t>& boxArmsTable() {
    static const std::unordered_map<char16_t, std::uint8_t> table = [] {
        std::unordered_map<char16_t, std::uint8_t> t;
        const char16_t* oem = oemToUnicodeTable();
        for (int dos = 0xB3; dos <= 0xDA; ++dos) {
            const std::uint8_t code = boxCodeOf866(static_cast<std::uint8_t>(dos));
            if (!code) continue;
            std::uint8_t arms = 0;
            if (boxArm(code, BoxArm::Up)) arms |= ArmUp;
            if (boxArm(code, BoxArm::Down)) arms |= ArmDown;
            if (boxArm(code, BoxArm::Left)) arms |= ArmLeft;
            if (boxArm(code, BoxArm::Right)) arms |= ArmRight;
            t[oem[dos]] = arms;
        }
        return t;
    }();
    return table;
}

bool isDash(char16_t c) {
    return c == u'-' || c == u'=';
}
bool isBar(char16_t c) {
    return c == u'|' || c == u'\u00A6';
}

// A run of dashes that is a line: two or more line characters side by side ("--" inside a
// cell is one too; it never covers a whole column, so it stays the cell's text).
void markDashRuns(const std::u16string& row, std::vector<std::uint8_t>& arms) {
    const std::size_t n = row.size();
    for (std::size_t i = 0; i < n;) {
        const auto lineLike = [&](std::size_t k) {
            return isDash(row[k]) || row[k] == u'+' || (arms[k] & kArmsHorizontal);
        };
        if (!lineLike(i)) {
            ++i;
            continue;
        }
        std::size_t j = i;
        bool dash = false;
        while (j < n && lineLike(j)) dash |= isDash(row[j++]);
        if (dash && j - i >= 2)
            for (std::size_t k = i; k < j; ++k)
                if (isDash(row[k])) arms[k] = kArmsHorizontal;
        i = j;
    }
}

}  // namespace

std::uint8_t boxCharArms(char16_t c) {
    if (c < 0x2500 || c > 0x257F) return 0;
    const auto& t = boxArmsTable();
    const auto it = t.find(c);
    return it == t.end() ? 0 : it->second;
}

std::vector<std::vector<std::uint8_t>> gridArms(const CharGrid& grid) {
    const std::size_t rows = grid.rows.size();
    std::vector<std::vector<std::uint8_t>> arms(rows);
    // Box characters, bars and dash runs first: a '+' takes its arms from them.
    for (std::size_t r = 0; r < rows; ++r) {
        const std::u16string& row = grid.rows[r];
        bool any = false;
        for (char16_t c : row)
            if (c >= 0x2500 || isDash(c) || isBar(c) || c == u'+') {
                any = true;
                break;
            }
        if (!any) continue;
        std::vector<std::uint8_t>& a = arms[r];
        a.assign(row.size(), 0);
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (isBar(row[i]))
                a[i] = kArmsVertical;
            else
                a[i] = boxCharArms(row[i]);
        }
        markDashRuns(row, a);
    }
    const auto armAt = [&](std::size_t r, std::size_t c) -> std::uint8_t {
        return r < rows && c < arms[r].size() ? arms[r][c] : 0;
    };
    for (std::size_t r = 0; r < rows; ++r) {
        const std::u16string& row = grid.rows[r];
        std::vector<std::uint8_t>& a = arms[r];
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (row[i] != u'+') continue;
            std::uint8_t j = 0;
            if (i > 0 && (a[i - 1] & ArmRight)) j |= ArmLeft;
            if (armAt(r, i + 1) & ArmLeft) j |= ArmRight;
            if (r > 0 && ((armAt(r - 1, i) & ArmDown) || grid.at(r - 1, i) == u'+')) j |= ArmUp;
            if ((armAt(r + 1, i) & ArmUp) || grid.at(r + 1, i) == u'+') j |= ArmDown;
            // A lone '+' with one arm ("+-" after a number) is text.
            a[i] = std::popcount(j) >= 2 ? j : 0;
        }
        // A bar that a line runs into takes it on.
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (!isBar(row[i])) continue;
            if (i > 0 && (a[i - 1] & ArmRight)) a[i] |= ArmLeft;
            if (armAt(r, i + 1) & ArmLeft) a[i] |= ArmRight;
        }
    }
    return arms;
}

}  // namespace folvek
