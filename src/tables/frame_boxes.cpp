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
    const auto armAt = [&](std::int64_t r, std::int64_t c) -> std::uint8_t {
        if (r < first || r >= rows || c < 0) return 0;
        const auto& row = arms[static_cast<std::size_t>(r)];
        return c < static_cast<std::int64_t>(row.size()) ? row[static_cast<std::size_t>(c)] : 0;
    };
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
                const std::uint8_t a = armAt(r, c);
                const auto visit = [&](std::int64_t nr, std::int64_t nc, std::uint8_t mine,
                                       std::uint8_t theirs) {
                    const std::uint8_t b = armAt(nr, nc);
                    if (!(b & 0x0F) || (b & kSeen) || !((a & mine) || (b & theirs))) return;
                    arms[static_cast<std::size_t>(nr)][static_cast<std::size_t>(nc)] |= kSeen;
                    stack.emplace_back(nr, static_cast<std::int32_t>(nc));
                };
                visit(r, c + 1, ArmRight, ArmLeft);
                visit(r, c - 1, ArmLeft, ArmRight);
                visit(r + 1, c, ArmDown, ArmUp);
                visit(r - 1, c, ArmUp, ArmDown);
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
