// The per-thread table of column positions.
#include "column_edges.h"

#include <algorithm>

namespace folvek {

namespace {
// Columns past this (and before 0) are computed each time; no report line is that wide.
constexpr std::int32_t kKeptColumns = 1 << 16;
thread_local ColumnPositions tPositions;
}  // namespace

ColumnPositions& ColumnPositions::of(long double leftMargin, long double charWidth) {
    ColumnPositions& p = tPositions;
    if (!p.set_ || p.left_ != leftMargin || p.width_ != charWidth) {
        p.left_ = leftMargin;
        p.width_ = charWidth;
        p.set_ = true;
        p.edges_.clear();
        p.centres_.clear();
    }
    return p;
}

void ColumnPositions::grow(std::int32_t column) {
    if (column < 0 || column >= kKeptColumns) return;
    const std::size_t want = std::min<std::size_t>(
        kKeptColumns,
        std::max<std::size_t>(static_cast<std::size_t>(column) + 1, edges_.size() * 2));
    for (auto c = static_cast<std::int32_t>(edges_.size()); static_cast<std::size_t>(c) < want;
         ++c) {
        edges_.push_back(edgeOf(c));
        centres_.push_back(centreOf(c));
    }
}

}  // namespace folvek
