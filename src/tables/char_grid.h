// A grid of character cells: rows of characters, one per column, as a page or a printer job's
// text shows them, with the arms of the frame line each cell carries (up, down, left, right).
// Box-drawing characters carry their own arms; '-', '=', '|', the broken bar and '+' carry the
// arms their neighbours give them, so that a frame drawn in plain ASCII is a frame too. The
// table finder reads nothing else: any source that can spell its rows fills one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

enum : std::uint8_t { ArmUp = 1, ArmDown = 2, ArmLeft = 4, ArmRight = 8 };
constexpr std::uint8_t kArmsVertical = ArmUp | ArmDown;
constexpr std::uint8_t kArmsHorizontal = ArmLeft | ArmRight;

struct CharGrid {
    std::vector<std::u16string> rows;
    // Set for a row that starts a new page (a form feed or a new sheet before it).
    std::vector<std::uint8_t> pageStart;
    // Where each row came from (a document line), -1 for none; empty when the source has none.
    std::vector<std::int64_t> source;

    void addRow(std::u16string row, bool startsPage = false, std::int64_t from = -1) {
        rows.push_back(std::move(row));
        pageStart.push_back(startsPage ? 1 : 0);
        source.push_back(from);
    }
    char16_t at(std::size_t row, std::size_t column) const {
        return row < rows.size() && column < rows[row].size() ? rows[row][column] : u' ';
    }
};

// The arms of every cell, row by row (0 for a cell that is no frame line).
std::vector<std::vector<std::uint8_t>> gridArms(const CharGrid& grid);
// The same for rows [from, to) of `arms` (sized to the grid), taking the rows outside as
// holding no frame: right where the row before `from` and the row at `to` hold none.
void fillArms(const CharGrid& grid, std::size_t from, std::size_t to,
              std::vector<std::vector<std::uint8_t>>& arms);
// False when no cell of the row can be a frame line.
bool mayHoldFrame(const std::u16string& row);

// The arms a box-drawing character has of its own, 0 for any other character.
std::uint8_t boxCharArms(char16_t c);

}  // namespace folvek
