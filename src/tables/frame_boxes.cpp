// Grouping joined frame cells: runs of cells side by side, joined to the runs they touch above.
#include "frame_boxes.h"

#include <algorithm>
#include <utility>

#include "char_grid.h"

namespace folvek {

std::vector<GridSpan> frameBoxes(const GridArms& arms) {
    return frameBoxes(arms, 0, arms.size());
}

namespace {

// Groups of runs: a run is a row's cells joined side by side.
class RunGroups {
  public:
    std::uint32_t add() {
        parent_.push_back(static_cast<std::uint32_t>(parent_.size()));
        return parent_.back();
    }
    std::uint32_t find(std::uint32_t a) {
        while (parent_[a] != a) a = parent_[a] = parent_[parent_[a]];
        return a;
    }
    void join(std::uint32_t a, std::uint32_t b) {
        a = find(a);
        b = find(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

  private:
    std::vector<std::uint32_t> parent_;
};

// Two frame cells side by side or one above the other are joined when either reaches out to
// the other.
bool joined(std::uint8_t a, std::uint8_t b, std::uint8_t mine, std::uint8_t theirs) {
    return a && b && ((a & mine) || (b & theirs));
}

}  // namespace

std::vector<GridSpan> frameBoxes(const GridArms& arms, std::size_t from, std::size_t to,
                                 std::int32_t minWidth) {
    // The runs of each row, joined to the runs of the row above that they touch; a group's
    // rectangle is its runs' together. Groups come in the order of their first cells.
    RunGroups groups;
    std::vector<GridSpan> runs;
    std::vector<std::uint32_t> above, here;  // each column's run on the row above and here
    for (std::size_t r = from; r < to; ++r) {
        const std::vector<std::uint8_t>& row = arms[r];
        const std::vector<std::uint8_t>* up = r > from ? &arms[r - 1] : nullptr;
        here.assign(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!row[c]) continue;
            const std::uint32_t run = groups.add();
            const std::size_t first = c;
            while (c + 1 < row.size() && joined(row[c], row[c + 1], ArmRight, ArmLeft)) ++c;
            runs.push_back({static_cast<std::int64_t>(r), static_cast<std::int64_t>(r),
                            static_cast<std::int32_t>(first), static_cast<std::int32_t>(c)});
            for (std::size_t k = first; k <= c; ++k) {
                here[k] = run;
                if (up && k < up->size() && joined((*up)[k], row[k], ArmDown, ArmUp))
                    groups.join(above[k], run);
            }
        }
        std::swap(above, here);
    }
    std::vector<GridSpan> boxes;
    std::vector<std::uint32_t> boxOf(runs.size());
    for (std::uint32_t k = 0; k < runs.size(); ++k) {
        const std::uint32_t root = groups.find(k);
        if (root == k) {
            boxOf[k] = static_cast<std::uint32_t>(boxes.size());
            boxes.push_back(runs[k]);
            continue;
        }
        GridSpan& box = boxes[boxOf[root]];
        boxOf[k] = boxOf[root];
        box.lastRow = std::max(box.lastRow, runs[k].lastRow);
        box.firstColumn = std::min(box.firstColumn, runs[k].firstColumn);
        box.lastColumn = std::max(box.lastColumn, runs[k].lastColumn);
    }
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
