// Merging a table's parts into cells and reading their text.
#include "table_cells.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace folvek {

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\0' || c == u'\u00A0' || c == u'\t';
}

class Parts {
  public:
    explicit Parts(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
    std::size_t find(std::size_t a) {
        while (parent_[a] != a) a = parent_[a] = parent_[parent_[a]];
        return a;
    }
    void join(std::size_t a, std::size_t b) {
        a = find(a);
        b = find(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

  private:
    std::vector<std::size_t> parent_;
};

// No vertical line at boundary `k` on any line of row `r`.
bool openBetween(const GridArms& arms, const TableShape& shape, std::int32_t r, std::int32_t k) {
    for (std::int64_t line : shape.rowLines(r)) {
        const std::span<const std::uint8_t> row = arms[static_cast<std::size_t>(line)];
        for (std::int32_t c = shape.boundLo[k]; c <= shape.boundHi[k]; ++c)
            if (c >= 0 && static_cast<std::size_t>(c) < row.size() && (row[c] & kArmsVertical))
                return false;
    }
    return true;
}

// One line's part [from, to) of a cell, trimmed, after the cell's lines so far (`at` is where
// the cell's text starts in `text`).
void appendLine(std::u16string_view row, std::int32_t from, std::int32_t to, std::size_t at,
                std::u16string& text) {
    std::int32_t a = std::max(from, 0);
    std::int32_t b = std::min(to, static_cast<std::int32_t>(row.size()) - 1);
    while (a <= b && isBlank(row[a])) ++a;
    while (b >= a && isBlank(row[b])) --b;
    if (a > b) return;
    // A cell's size is counted in 32 bits; lines past that (8 GB of text) are left out.
    if (text.size() - at + static_cast<std::size_t>(b - a + 2) > UINT32_MAX) return;
    if (text.size() > at) text += u'\n';
    const std::size_t start = text.size();
    text.append(row.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a + 1)));
    std::replace(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), u'\0', u' ');
}

}  // namespace

Table tableCells(const CharGrid& grid, const GridArms& arms, const TableShape& shape) {
    const std::int32_t rows = shape.rows(), cols = shape.columns();
    Parts parts(static_cast<std::size_t>(rows) * cols);
    const auto id = [cols](std::int32_t r, std::int32_t c) { return std::size_t(r) * cols + c; };
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t k = 1; k < cols; ++k)
            if (openBetween(arms, shape, r, k)) parts.join(id(r, k - 1), id(r, k));
        const std::span<const std::int64_t> gap = shape.gapAfter(r);
        if (r + 1 >= rows || gap.empty()) continue;
        for (std::int32_t i = 0; i < cols; ++i) {
            const bool ruled = std::any_of(gap.begin(), gap.end(), [&](std::int64_t line) {
                return ruledAt(arms, shape, line, i);
            });
            if (!ruled) parts.join(id(r, i), id(r + 1, i));
        }
    }
    // Each merge's rectangle; a merge that is not one (a frame drawn oddly) falls apart.
    struct Extent {
        std::int32_t r0 = 1 << 30, r1 = -1, c0 = 1 << 30, c1 = -1, count = 0;
    };
    std::vector<Extent> extents(static_cast<std::size_t>(rows) * cols);
    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c < cols; ++c) {
            Extent& e = extents[parts.find(id(r, c))];
            e.r0 = std::min(e.r0, r);
            e.r1 = std::max(e.r1, r);
            e.c0 = std::min(e.c0, c);
            e.c1 = std::max(e.c1, c);
            ++e.count;
        }
    Table t;
    t.rows = rows;
    t.columns = cols;
    t.headingRows = shape.headingRows;
    t.cells.resize(static_cast<std::size_t>(rows) * cols);
    for (std::int32_t i = 0; i < cols; ++i) {
        t.widths.push_back(std::max(1, shape.interiorLast(i) - shape.interiorFirst(i) + 1));
        t.bounds.push_back(shape.boundLo[i]);
    }
    t.bounds.push_back(shape.boundLo[cols]);
    t.spans.push_back(shape.box);
    for (std::int32_t r = 0; r < rows; ++r)
        for (std::int32_t c = 0; c < cols; ++c) {
            Extent e = extents[parts.find(id(r, c))];
            // A heading merged into the body would lose the body's rows: merges stop there.
            const bool rectangle = e.count == (e.r1 - e.r0 + 1) * (e.c1 - e.c0 + 1) &&
                                   (e.r1 < shape.headingRows || e.r0 >= shape.headingRows);
            if (!rectangle) e = Extent{r, r, c, c, 1};
            if (e.r0 != r || e.c0 != c) {
                t.at(r, c).covered = true;
                continue;
            }
            TableCell& cell = t.at(r, c);
            cell.rowSpan = e.r1 - e.r0 + 1;
            cell.columnSpan = e.c1 - e.c0 + 1;
            const std::int32_t from = shape.interiorFirst(e.c0), to = shape.interiorLast(e.c1);
            cell.textAt = t.texts.size();
            for (std::int32_t k = e.r0; k <= e.r1; ++k) {
                for (std::int64_t line : shape.rowLines(k))
                    appendLine(grid.rows[std::size_t(line)], from, to, cell.textAt, t.texts);
                if (k < e.r1)
                    for (std::int64_t line : shape.gapAfter(k))
                        appendLine(grid.rows[std::size_t(line)], from, to, cell.textAt, t.texts);
            }
            cell.textSize = static_cast<std::uint32_t>(t.texts.size() - cell.textAt);
        }
    return t;
}

}  // namespace folvek
