// A grid of character cells: rows of characters, one per column, as a page or a printer job's
// text shows them, with the arms of the frame line each cell carries (up, down, left, right).
// Box-drawing characters carry their own arms; '-', '=', '|', the broken bar and '+' carry the
// arms their neighbours give them, so that a frame drawn in plain ASCII is a frame too. The
// table finder reads nothing else: any source that can spell its rows fills one.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace folvek {

enum : std::uint8_t { ArmUp = 1, ArmDown = 2, ArmLeft = 4, ArmRight = 8 };
constexpr std::uint8_t kArmsVertical = ArmUp | ArmDown;
constexpr std::uint8_t kArmsHorizontal = ArmLeft | ArmRight;

// A grid's rows, their characters kept in large blocks of their own: a big report's hundred
// thousand rows are not as many allocations. A row's view stays valid while the grid lives.
class GridRows {
  public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    std::u16string_view operator[](std::size_t r) const { return rows_[r]; }
    void push_back(std::u16string_view row);
    // The rows of `other` after these, taking its blocks along.
    void append(GridRows&& other);

  private:
    std::vector<std::u16string_view> rows_;
    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    char16_t* next_ = nullptr;  // where the last block's room starts
    std::size_t room_ = 0;      // left in the last block
};

struct CharGrid {
    GridRows rows;
    // Set for a row that starts a new page (a form feed or a new sheet before it).
    std::vector<std::uint8_t> pageStart;
    // Where each row came from (a document line), -1 for none; empty when the source has none.
    std::vector<std::int64_t> source;

    void addRow(std::u16string_view row, bool startsPage = false, std::int64_t from = -1) {
        rows.push_back(row);
        pageStart.push_back(startsPage ? 1 : 0);
        source.push_back(from);
    }
    // The rows of `other` after these.
    void append(CharGrid&& other) {
        rows.append(std::move(other.rows));
        pageStart.insert(pageStart.end(), other.pageStart.begin(), other.pageStart.end());
        source.insert(source.end(), other.source.begin(), other.source.end());
    }
    char16_t at(std::size_t row, std::size_t column) const {
        return row < rows.size() && column < rows[row].size() ? rows[row][column] : u' ';
    }
};

// The arms of every cell of a grid, row by row, each row as long as the grid's (0 for a cell
// that is no frame line), in one zeroed block for the whole grid: a big report's rows are not
// a hundred thousand allocations.
class GridArms {
  public:
    GridArms() = default;
    explicit GridArms(const CharGrid& grid);
    std::size_t size() const { return start_.empty() ? 0 : start_.size() - 1; }
    std::span<const std::uint8_t> operator[](std::size_t r) const {
        return {cells_.get() + start_[r], start_[r + 1] - start_[r]};
    }
    std::span<std::uint8_t> row(std::size_t r) {
        return {cells_.get() + start_[r], start_[r + 1] - start_[r]};
    }

  private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t[], Free> cells_;
    std::vector<std::size_t> start_;  // row r is cells_[start_[r] .. start_[r + 1])
};

// The arms of every cell.
GridArms gridArms(const CharGrid& grid);
// The same for rows [from, to) of `arms` (made for the grid), taking the rows outside as
// holding no frame: right where the row before `from` and the row at `to` hold none.
void fillArms(const CharGrid& grid, std::size_t from, std::size_t to, GridArms& arms);
// False when no cell of the row can be a frame line.
bool mayHoldFrame(std::u16string_view row);

// The arms a box-drawing character has of its own, 0 for any other character.
std::uint8_t boxCharArms(char16_t c);

}  // namespace folvek
