// Finding a table's columns, rules and rows inside the box of its frame.
#include "table_shape.h"

#include <algorithm>

#include "cell_value.h"

namespace folvek {

namespace {

std::uint8_t armAt(const GridArms& arms, std::int64_t r, std::int32_t c) {
    if (r < 0 || r >= static_cast<std::int64_t>(arms.size()) || c < 0) return 0;
    const std::span<const std::uint8_t> row = arms[static_cast<std::size_t>(r)];
    return static_cast<std::size_t>(c) < row.size() ? row[static_cast<std::size_t>(c)] & 0x0F : 0;
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\0' || c == u'\u00A0' || c == u'\t';
}

// The vertical lines of the box: runs of adjacent columns that hold a cell with an up or down
// arm; a side without one gets a boundary just outside.
void findBounds(const GridArms& arms, const GridSpan& box, TableShape& out) {
    // Row by row, as the arms lie in memory.
    std::vector<std::uint8_t> vertical(
        static_cast<std::size_t>(box.lastColumn - box.firstColumn + 1));
    for (std::int64_t r = box.firstRow; r <= box.lastRow; ++r) {
        const std::span<const std::uint8_t> row = arms[static_cast<std::size_t>(r)];
        const std::int32_t last =
            std::min(box.lastColumn, static_cast<std::int32_t>(row.size()) - 1);
        for (std::int32_t c = std::max(box.firstColumn, 0); c <= last; ++c)
            vertical[c - box.firstColumn] |= row[c] & kArmsVertical;
    }
    std::vector<std::int32_t> columns;
    for (std::int32_t c = box.firstColumn; c <= box.lastColumn; ++c)
        if (vertical[c - box.firstColumn]) columns.push_back(c);
    out.boundLo.clear();
    out.boundHi.clear();
    if (columns.empty() || columns.front() > box.firstColumn) {
        out.boundLo.push_back(box.firstColumn - 1);
        out.boundHi.push_back(box.firstColumn - 1);
    }
    for (std::int32_t c : columns) {
        if (!out.boundHi.empty() && out.boundHi.back() == c - 1)
            out.boundHi.back() = c;
        else {
            out.boundLo.push_back(c);
            out.boundHi.push_back(c);
        }
    }
    if (out.boundHi.back() < box.lastColumn) {
        out.boundLo.push_back(box.lastColumn + 1);
        out.boundHi.push_back(box.lastColumn + 1);
    }
}

enum class LineKind { Text, PartialRule, FullRule };

LineKind lineKind(const GridArms& arms, const TableShape& shape, std::int64_t line) {
    std::int32_t ruled = 0;
    for (std::int32_t i = 0; i < shape.columns(); ++i) ruled += ruledAt(arms, shape, line, i);
    if (ruled == 0) return LineKind::Text;
    return ruled == shape.columns() ? LineKind::FullRule : LineKind::PartialRule;
}

bool blankLine(const CharGrid& grid, const TableShape& shape, std::int64_t line) {
    const std::u16string_view row = grid.rows[static_cast<std::size_t>(line)];
    for (std::int32_t i = 0; i < shape.columns(); ++i)
        for (std::int32_t c = shape.interiorFirst(i); c <= shape.interiorLast(i); ++c)
            if (static_cast<std::size_t>(c) < row.size() && !isBlank(row[c])) return false;
    return true;
}

bool blankAt(const CharGrid& grid, const TableShape& shape, std::int64_t line, std::int32_t i) {
    const std::u16string_view row = grid.rows[static_cast<std::size_t>(line)];
    for (std::int32_t c = shape.interiorFirst(i); c <= shape.interiorLast(i); ++c)
        if (static_cast<std::size_t>(c) < row.size() && !isBlank(row[c])) return false;
    return true;
}

// A band of a record that runs over several lines: each line after the first leaves a
// column empty that the first fills (the number, the date), where a group of rows fills all.
bool recordBand(const CharGrid& grid, const TableShape& shape,
                const std::vector<std::int64_t>& lines) {
    for (std::size_t k = 1; k < lines.size(); ++k) {
        bool continues = false;
        for (std::int32_t i = 0; i < shape.columns() && !continues; ++i)
            continues = !blankAt(grid, shape, lines[0], i) && blankAt(grid, shape, lines[k], i);
        if (!continues) return false;
    }
    return true;
}

// A line of data rather than of a heading: one of its parts reads as a number or a date. The
// part of a table after a page break starts with its rows, ruled apart like a heading.
bool holdsValues(const CharGrid& grid, const TableShape& shape, std::int64_t line) {
    const std::u16string_view row = grid.rows[static_cast<std::size_t>(line)];
    for (std::int32_t i = 0; i < shape.columns(); ++i) {
        std::int32_t a = shape.interiorFirst(i);
        std::int32_t b = std::min(shape.interiorLast(i), static_cast<std::int32_t>(row.size()) - 1);
        while (a <= b && isBlank(row[a])) ++a;
        while (b >= a && isBlank(row[b])) --b;
        if (a <= b && cellValue(row.substr(a, b - a + 1)).kind != ValueKind::Text) return true;
    }
    return false;
}

struct Band {
    std::vector<std::int64_t> lines;
    std::vector<std::int64_t> rulesAfter;
};

}  // namespace

bool ruledAt(const GridArms& arms, const TableShape& shape, std::int64_t line, std::int32_t i) {
    for (std::int32_t c = shape.interiorFirst(i); c <= shape.interiorLast(i); ++c)
        if (!(armAt(arms, line, c) & kArmsHorizontal)) return false;
    return true;
}

bool shapeTable(const CharGrid& grid, const GridArms& arms, const GridSpan& box, TableShape& out) {
    out.clear();
    out.box = box;
    findBounds(arms, box, out);
    if (out.columns() < 2) return false;

    std::vector<Band> bands;
    std::int64_t headingEnd = -1;  // the first whole rule with text above it
    bool inBand = false;
    for (std::int64_t line = box.firstRow; line <= box.lastRow; ++line) {
        const LineKind kind = lineKind(arms, out, line);
        if (kind == LineKind::Text) {
            if (!inBand) bands.emplace_back();
            bands.back().lines.push_back(line);
            inBand = true;
            continue;
        }
        inBand = false;
        if (bands.empty()) continue;  // the top border
        bands.back().rulesAfter.push_back(line);
        if (kind == LineKind::FullRule && headingEnd < 0) headingEnd = line;
    }
    if (bands.empty()) return false;

    std::size_t headingBands = 0;
    while (headingBands < bands.size() && headingEnd >= 0 &&
           bands[headingBands].lines.front() < headingEnd)
        ++headingBands;
    if (headingBands == bands.size()) headingBands = 0;  // no body below the rule
    for (std::size_t b = 0; b < headingBands; ++b)
        for (std::int64_t line : bands[b].lines)
            if (holdsValues(grid, out, line)) headingBands = 0;

    const std::size_t bodyBands = bands.size() - headingBands;
    bool records = bodyBands >= 2;
    for (std::size_t b = headingBands; b < bands.size() && records; ++b)
        records = bands[b].lines.size() == bands[headingBands].lines.size() &&
                  recordBand(grid, out, bands[b].lines);

    for (std::size_t b = 0; b < bands.size(); ++b) {
        const Band& band = bands[b];
        if (b < headingBands || records) {
            out.addRow(band.lines, band.rulesAfter);
            if (b < headingBands) ++out.headingRows;
            continue;
        }
        bool added = false;
        for (const std::int64_t& line : band.lines) {
            if (blankLine(grid, out, line)) continue;
            out.addRow({&line, 1}, {});
            added = true;
        }
        // The rules after the band part it from the next band's first row.
        if (added) out.setLastGap(band.rulesAfter);
    }
    return out.rows() > 0;
}

}  // namespace folvek
