// Which cells of a grid are frame lines, and which way their lines run.
#include "char_grid.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>

#include "box_cells.h"
#include "input_tables.h"

namespace folvek {

namespace {

// The arms of U+2500..U+257F, from the box characters of code page 866.
const std::array<std::uint8_t, 128>& boxArmsTable() {
    static const std::array<std::uint8_t, 128> table = [] {
        std::array<std::uint8_t, 128> t{};
        const char16_t* oem = oemToUnicodeTable();
        for (int dos = 0xB3; dos <= 0xDA; ++dos) {
            const std::uint8_t code = boxCodeOf866(static_cast<std::uint8_t>(dos));
            if (!code || oem[dos] < 0x2500 || oem[dos] > 0x257F) continue;
            std::uint8_t arms = 0;
            if (boxArm(code, BoxArm::Up)) arms |= ArmUp;
            if (boxArm(code, BoxArm::Down)) arms |= ArmDown;
            if (boxArm(code, BoxArm::Left)) arms |= ArmLeft;
            if (boxArm(code, BoxArm::Right)) arms |= ArmRight;
            t[oem[dos] - 0x2500] = arms;
        }
        return t;
    }();
    return table;
}

// For every UTF-16 unit, one look-up: the arms of its own in the low four bits (a box
// character's, or up and down for a bar), and which ASCII frame character it is above them
// (kDash, kPlus, kBar shifted by four).
enum : std::uint8_t { kDash = 1, kPlus = 2, kBar = 4 };
const std::array<std::uint8_t, 65536>& charClasses() {
    static const std::array<std::uint8_t, 65536> table = [] {
        std::array<std::uint8_t, 65536> t{};
        const std::array<std::uint8_t, 128>& box = boxArmsTable();
        for (int c = 0x2500; c <= 0x257F; ++c) t[c] = box[c - 0x2500];
        t[u'-'] = t[u'='] = kDash << 4;
        t[u'+'] = kPlus << 4;
        t[u'|'] = t[u'\u00A6'] = kArmsVertical | kBar << 4;
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
void markDashRuns(std::u16string_view row, std::span<std::uint8_t> arms) {
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
    return c >= 0x2500 && c <= 0x257F ? boxArmsTable()[c - 0x2500] : 0;
}

bool mayHoldFrame(std::u16string_view row) {
    for (char16_t c : row)
        if (c >= 0x2500 || isDash(c) || isBar(c) || c == u'+') return true;
    return false;
}

void GridRows::push_back(std::u16string_view row) {
    if (row.empty()) {
        rows_.emplace_back();
        return;
    }
    if (room_ < row.size()) {
        constexpr std::size_t kBlock = 1u << 16;
        room_ = std::max(kBlock, row.size());
        blocks_.push_back(std::make_unique_for_overwrite<char16_t[]>(room_));
        next_ = blocks_.back().get();
    }
    std::copy(row.begin(), row.end(), next_);
    rows_.emplace_back(next_, row.size());
    next_ += row.size();
    room_ -= row.size();
}

void GridRows::append(GridRows&& other) {
    rows_.insert(rows_.end(), other.rows_.begin(), other.rows_.end());
    // Rows added later still go into the room left in this grid's own last block.
    blocks_.insert(blocks_.end(), std::make_move_iterator(other.blocks_.begin()),
                   std::make_move_iterator(other.blocks_.end()));
    other.rows_.clear();
    other.blocks_.clear();
    other.next_ = nullptr;
    other.room_ = 0;
}

GridArms::GridArms(const CharGrid& grid) : start_(grid.rows.size() + 1, 0) {
    for (std::size_t r = 0; r < grid.rows.size(); ++r)
        start_[r + 1] = start_[r] + grid.rows[r].size();
    // calloc: a large block comes zeroed from the system, its pages untouched until written.
    cells_.reset(
        static_cast<std::uint8_t*>(std::calloc(std::max<std::size_t>(start_.back(), 1), 1)));
    if (!cells_) throw std::bad_alloc();
}

GridArms gridArms(const CharGrid& grid) {
    GridArms arms(grid);
    fillArms(grid, 0, grid.rows.size(), arms);
    return arms;
}

void fillArms(const CharGrid& grid, std::size_t from, std::size_t to, GridArms& arms) {
    // Box characters, bars and dash runs first: a '+' takes its arms from them.
    const std::array<std::uint8_t, 65536>& classes = charClasses();
    // What each row holds of the ASCII frame characters: the passes below skip rows without.
    std::vector<std::uint8_t> rowHeld(to - from);
    for (std::size_t r = from; r < to; ++r) {
        const std::u16string_view row = grid.rows[r];
        if (!mayHoldFrame(row)) continue;
        const std::span<std::uint8_t> a = arms.row(r);
        std::uint8_t held = 0;
        const char16_t* in = row.data();
        std::uint8_t* out = a.data();
        for (std::size_t i = 0, n = row.size(); i < n; ++i) {
            const std::uint8_t k = classes[in[i]];
            out[i] = k & 0x0F;
            held |= k;
        }
        held >>= 4;
        rowHeld[r - from] = held;
        if (held & kDash) markDashRuns(row, a);
    }
    const auto armAt = [&](std::size_t r, std::size_t c) -> std::uint8_t {
        return r >= from && r < to && c < arms[r].size() ? arms[r][c] : 0;
    };
    for (std::size_t r = from; r < to; ++r) {
        const std::u16string_view row = grid.rows[r];
        const std::span<std::uint8_t> a = arms.row(r);
        if (!(rowHeld[r - from] & (kPlus | kBar))) continue;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (row[i] != u'+') continue;
            std::uint8_t j = 0;
            if (i > 0 && (a[i - 1] & ArmRight)) j |= ArmLeft;
            if (armAt(r, i + 1) & ArmLeft) j |= ArmRight;
            if (r > from && ((armAt(r - 1, i) & ArmDown) || grid.at(r - 1, i) == u'+')) j |= ArmUp;
            if ((armAt(r + 1, i) & ArmUp) || (r + 1 < to && grid.at(r + 1, i) == u'+'))
                j |= ArmDown;
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
}

}  // namespace folvek
