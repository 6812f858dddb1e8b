// Where the columns of a row begin and where their middles lie, in whole logical units: the
// left margin plus the column times the character width, truncated. Frames ask for the same
// edges on every row, and truncating a long double to an int switches the x87 rounding mode
// twice and stalls on the store, a large share of a report's drawing time; so each thread keeps
// the positions of the last geometry it was asked about, found once per row. The values are
// exactly those of the formula.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace folvek {

class ColumnPositions {
  public:
    // This thread's table for the geometry; the previous one's positions are dropped when it
    // differs. Valid until the thread asks for another geometry.
    static ColumnPositions& of(long double leftMargin, long double charWidth);

    std::int32_t edge(std::int32_t column) {
        if (static_cast<std::size_t>(column) >= edges_.size()) grow(column);
        return static_cast<std::size_t>(column) < edges_.size()
                   ? edges_[static_cast<std::size_t>(column)]
                   : edgeOf(column);
    }
    std::int32_t centre(std::int32_t column) {
        if (static_cast<std::size_t>(column) >= edges_.size()) grow(column);
        return static_cast<std::size_t>(column) < centres_.size()
                   ? centres_[static_cast<std::size_t>(column)]
                   : centreOf(column);
    }

    // The formula itself, for rows that have no table.
    static std::int32_t edgeAt(long double left, long double width, std::int32_t column) {
        return static_cast<std::int32_t>(left + column * width);
    }
    static std::int32_t centreAt(long double left, long double width, std::int32_t column) {
        return static_cast<std::int32_t>(left + column * width + width * 0.5L);
    }
    std::int32_t edgeOf(std::int32_t column) const { return edgeAt(left_, width_, column); }
    std::int32_t centreOf(std::int32_t column) const { return centreAt(left_, width_, column); }

  private:
    void grow(std::int32_t column);

    long double left_ = 0, width_ = 0;
    bool set_ = false;
    std::vector<std::int32_t> edges_, centres_;
};

}  // namespace folvek
