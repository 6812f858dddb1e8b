// The shape of one framed table: its columns (the vertical lines that run through its box),
// its rule lines, the bands of text lines between the rules, and the rows those bands make.
// A band above the first whole rule is a heading row (its lines are one cell's lines), unless
// a line there holds a number or a date: then the table has no heading (a part of a table
// after a page break). The body
// bands are a row each when every body band has as many lines as the others and each of their
// lines after the first leaves empty a column the first fills (records ruled apart); otherwise
// every non-blank line of the body is a row of its own.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "char_grid.h"
#include "frame_boxes.h"
#include "table.h"

namespace folvek {

struct TableShape {
    GridSpan box;
    // Vertical lines: boundary k covers grid columns boundLo[k]..boundHi[k]; column i of the
    // table lies between boundary i and i + 1 (a side without a line gets a boundary just
    // outside the box).
    std::vector<std::int32_t> boundLo, boundHi;
    std::int32_t headingRows = 0;

    std::int32_t columns() const { return static_cast<std::int32_t>(boundLo.size()) - 1; }
    std::int32_t rows() const { return static_cast<std::int32_t>(lineStart_.size()) - 1; }
    // The grid rows of table row r.
    std::span<const std::int64_t> rowLines(std::int32_t r) const {
        return {lines_.data() + lineStart_[r], lineStart_[r + 1] - lineStart_[r]};
    }
    // The rule lines between row r and row r + 1; empty when the two come from one band.
    std::span<const std::int64_t> gapAfter(std::int32_t r) const {
        return {gaps_.data() + gapStart_[r], gapStart_[r + 1] - gapStart_[r]};
    }
    void addRow(std::span<const std::int64_t> lines, std::span<const std::int64_t> rulesAfter) {
        lines_.insert(lines_.end(), lines.begin(), lines.end());
        lineStart_.push_back(lines_.size());
        gaps_.insert(gaps_.end(), rulesAfter.begin(), rulesAfter.end());
        gapStart_.push_back(gaps_.size());
    }
    void setLastGap(std::span<const std::int64_t> rulesAfter) {
        gaps_.resize(gapStart_[gapStart_.size() - 2]);
        gaps_.insert(gaps_.end(), rulesAfter.begin(), rulesAfter.end());
        gapStart_.back() = gaps_.size();
    }
    // Empty again for the next box, keeping the room its lists took.
    void clear() {
        box = GridSpan{};
        boundLo.clear();
        boundHi.clear();
        headingRows = 0;
        lines_.clear();
        gaps_.clear();
        lineStart_.assign(1, 0);
        gapStart_.assign(1, 0);
    }
    std::int32_t interiorFirst(std::int32_t i) const { return boundHi[i] + 1; }
    std::int32_t interiorLast(std::int32_t i) const { return boundLo[i + 1] - 1; }

  private:
    // Each row's lines and rules one after another, in one list each: row r's are
    // lines_[lineStart_[r] .. lineStart_[r + 1]).
    std::vector<std::int64_t> lines_, gaps_;
    std::vector<std::size_t> lineStart_{0}, gapStart_{0};
};

// False when the box holds no table: fewer than two columns or no line of text.
bool shapeTable(const CharGrid& grid, const GridArms& arms, const GridSpan& box, TableShape& out);

// Whether grid row `line` is a rule across all of table column `i`.
bool ruledAt(const GridArms& arms, const TableShape& shape, std::int64_t line, std::int32_t i);

}  // namespace folvek
