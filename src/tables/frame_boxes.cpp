// Grouping joined frame cells: runs of cells side by side, joined to the runs they touch above.
#include "frame_boxes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "char_grid.h"

namespace folvek {

std::vector<GridSpan> frameBoxes(const GridArms& arms) {
    return frameBoxes(arms, 0, arms.size());
}

namespace {

// Groups of joined runs (a run is a row's cells joined side by side), each with the rectangle
// around it. A run that joins none above starts a group; the others only widen one, so a
// table's thousands of bars cost nothing to keep. A group is known by its first run's place in
// row order, and a merged group by the earlier of the two.
class RunGroups {
  public:
    std::uint32_t add(const GridSpan& run) {
        parent_.push_back(static_cast<std::uint32_t>(parent_.size()));
        box_.push_back(run);
        return parent_.back();
    }
    std::uint32_t find(std::uint32_t a) {
        while (parent_[a] != a) a = parent_[a] = parent_[parent_[a]];
        return a;
    }
    // Joins the groups and returns the one they make.
    std::uint32_t join(std::uint32_t a, std::uint32_t b) {
        a = find(a);
        b = find(b);
        if (a == b) return a;
        if (a > b) std::swap(a, b);
        parent_[b] = a;
        widen(a, box_[b]);
        return a;
    }
    void widen(std::uint32_t root, const GridSpan& s) {
        GridSpan& box = box_[root];
        box.lastRow = std::max(box.lastRow, s.lastRow);
        box.firstColumn = std::min(box.firstColumn, s.firstColumn);
        box.lastColumn = std::max(box.lastColumn, s.lastColumn);
    }
    // The rectangles of the groups, in the order of their first runs.
    std::vector<GridSpan> boxes() {
        std::vector<GridSpan> out;
        for (std::uint32_t k = 0; k < parent_.size(); ++k)
            if (parent_[k] == k) out.push_back(box_[k]);
        return out;
    }

  private:
    std::vector<std::uint32_t> parent_;
    std::vector<GridSpan> box_;
};

constexpr std::uint32_t kNone = UINT32_MAX;

// Two frame cells side by side or one above the other are joined when either reaches out to
// the other.
bool joined(std::uint8_t a, std::uint8_t b, std::uint8_t mine, std::uint8_t theirs) {
    return a && b && ((a & mine) || (b & theirs));
}

}  // namespace

std::vector<GridSpan> frameBoxes(const GridArms& arms, std::size_t from, std::size_t to,
                                 std::int32_t minWidth) {
    // The runs of each row, joined to the groups of the runs above that they touch.
    RunGroups groups;
    std::vector<std::uint32_t> above, here;  // each column's group on the row above and here
    for (std::size_t r = from; r < to; ++r) {
        const std::span<const std::uint8_t> row = arms[r];
        const std::span<const std::uint8_t> up = r > from ? arms[r - 1] : row.first(0);
        // Only the columns of this row's runs are read on the next row (where this row's cells
        // reach down), so the rest need no value.
        here.resize(row.size());
        const std::size_t n = row.size();
        for (std::size_t c = 0; c < n; ++c) {
            // Text between the lines: eight cells at a time while none is a frame line.
            for (std::uint64_t eight = 0; c + 8 <= n; c += 8) {
                std::memcpy(&eight, row.data() + c, 8);
                if (eight) break;
            }
            if (c >= n) break;
            if (!row[c]) continue;
            const std::size_t first = c;
            while (c + 1 < row.size() && joined(row[c], row[c + 1], ArmRight, ArmLeft)) ++c;
            const GridSpan run{static_cast<std::int64_t>(r), static_cast<std::int64_t>(r),
                               static_cast<std::int32_t>(first), static_cast<std::int32_t>(c)};
            std::uint32_t group = kNone;
            for (std::size_t k = first; k <= c && k < up.size(); ++k)
                if (joined(up[k], row[k], ArmDown, ArmUp))
                    group = group == kNone ? groups.find(above[k]) : groups.join(group, above[k]);
            if (group == kNone)
                group = groups.add(run);
            else
                groups.widen(group, run);
            for (std::size_t k = first; k <= c; ++k) here[k] = group;
        }
        std::swap(above, here);
    }
    std::vector<GridSpan> boxes = groups.boxes();
    std::erase_if(boxes, [minWidth](const GridSpan& box) {
        return box.lastRow == box.firstRow || box.lastColumn - box.firstColumn + 1 < minWidth;
    });
    // The outer box first where two start on one row, then drop those inside a kept one.
    std::stable_sort(boxes.begin(), boxes.end(), [](const GridSpan& a, const GridSpan& b) {
        if (a.firstRow != b.firstRow) return a.firstRow < b.firstRow;
        return (a.lastRow - a.firstRow) * (a.lastColumn - a.firstColumn) >
               (b.lastRow - b.firstRow) * (b.lastColumn - b.firstColumn);
    });
    std::vector<GridSpan> kept;
    std::vector<std::size_t> open;  // kept boxes that may still hold the next ones
    for (const GridSpan& b : boxes) {
        std::erase_if(open, [&](std::size_t k) { return kept[k].lastRow < b.firstRow; });
        const bool inside = std::any_of(open.begin(), open.end(), [&](std::size_t k) {
            const GridSpan& o = kept[k];
            return b.lastRow <= o.lastRow && b.firstColumn >= o.firstColumn &&
                   b.lastColumn <= o.lastColumn;
        });
        if (inside) continue;
        open.push_back(kept.size());
        kept.push_back(b);
    }
    return kept;
}

}  // namespace folvek
