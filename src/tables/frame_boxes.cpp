// Grouping joined frame cells: a flood over the cells whose arms meet.
#include "frame_boxes.h"

#include <algorithm>
#include <utility>

#include "char_grid.h"

namespace folvek {

std::vector<GridSpan> frameBoxes(GridArms& arms) {
    return frameBoxes(arms, 0, arms.size());
}

std::vector<GridSpan> frameBoxes(GridArms& arms, std::size_t from, std::size_t to,
                                 std::int32_t minWidth) {
    constexpr std::uint8_t kSeen = kArmSeen;
    const auto first = static_cast<std::int64_t>(from);
    const auto rows = static_cast<std::int64_t>(to);
    std::vector<GridSpan> boxes;
    std::vector<std::pair<std::int64_t, std::int32_t>> stack;
    for (std::int64_t r0 = first; r0 < rows; ++r0) {
        auto& row0 = arms[static_cast<std::size_t>(r0)];
        for (std::size_t c0 = 0; c0 < row0.size(); ++c0) {
            if (!row0[c0] || (row0[c0] & kSeen)) continue;
            GridSpan box{r0, r0, static_cast<std::int32_t>(c0), static_cast<std::int32_t>(c0)};
            row0[c0] |= kSeen;
            stack.assign(1, {r0, static_cast<std::int32_t>(c0)});
            while (!stack.empty()) {
                const auto [r, c] = stack.back();
                stack.pop_back();
                box.firstRow = std::min(box.firstRow, r);
                box.lastRow = std::max(box.lastRow, r);
                box.firstColumn = std::min(box.firstColumn, c);
                box.lastColumn = std::max(box.lastColumn, c);
                auto& row = arms[static_cast<std::size_t>(r)];
                const std::uint8_t a = row[static_cast<std::size_t>(c)];
                // Joined when both are frame cells and either reaches out to the other.
                const auto visit = [&](std::vector<std::uint8_t>& to, std::int64_t nr,
                                       std::size_t nc, std::uint8_t mine, std::uint8_t theirs) {
                    if (nc >= to.size()) return;
                    std::uint8_t& b = to[nc];
                    if (!(b & 0x0F) || (b & kSeen) || !((a & mine) || (b & theirs))) return;
                    b |= kSeen;
                    stack.emplace_back(nr, static_cast<std::int32_t>(nc));
                };
                const auto col = static_cast<std::size_t>(c);
                visit(row, r, col + 1, ArmRight, ArmLeft);
                if (col > 0) visit(row, r, col - 1, ArmLeft, ArmRight);
                if (r + 1 < rows)
                    visit(arms[static_cast<std::size_t>(r + 1)], r + 1, col, ArmDown, ArmUp);
                if (r > first)
                    visit(arms[static_cast<std::size_t>(r - 1)], r - 1, col, ArmUp, ArmDown);
            }
            if (box.lastRow > box.firstRow && box.lastColumn - box.firstColumn + 1 >= minWidth)
                boxes.push_back(box);
        }
    }
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
