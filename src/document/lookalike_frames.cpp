// Box codes for look-alike frames. A frame is found from its top corners (0xE3 with a line to
// its right and a bar below, 0xAC with a line to its left and a bar below) and followed through
// every cell that reaches a neighbour which reaches back; each cell's arms are the neighbours
// it reaches, single or double as the run of '=' or 0xA6 that carries them.
#include "lookalike_frames.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "box_cells.h"
#include "line_store.h"
#include "style_tags.h"

namespace folvek {

namespace {

constexpr std::uint8_t kTopLeft = 0xE3, kTopRight = 0xAC, kDoubleBar = 0xA6;

bool reachesRight(std::uint8_t b) {
    return b == '-' || b == '=' || b == '+' || b == kTopLeft;
}
bool reachesLeft(std::uint8_t b) {
    return b == '-' || b == '=' || b == '+' || b == kTopRight;
}
bool reachesDown(std::uint8_t b) {
    return b == '|' || b == kDoubleBar || b == '+' || b == kTopLeft || b == kTopRight;
}
bool reachesUp(std::uint8_t b) {
    return b == '|' || b == kDoubleBar || b == '+';
}

// The visible cells of the lines near a frame, each as the byte offset of its character.
class CellGrid {
  public:
    CellGrid(const LineStore& lines, std::size_t from) : lines_(lines), from_(from) {}

    std::uint8_t at(std::int64_t line, std::int64_t column) {
        if (line < static_cast<std::int64_t>(from_) || column < 0 ||
            line >= static_cast<std::int64_t>(lines_.size()))
            return 0;
        const std::vector<std::uint32_t>& cells = offsets(static_cast<std::size_t>(line));
        if (column >= static_cast<std::int64_t>(cells.size())) return 0;
        return static_cast<std::uint8_t>(lines_.textAt(line)[cells[column]]);
    }
    std::uint32_t offset(std::size_t line, std::int64_t column) { return offsets(line)[column]; }
    std::int64_t columnOf(std::size_t line, std::uint32_t byte) {
        const std::vector<std::uint32_t>& cells = offsets(line);
        for (std::size_t c = 0; c < cells.size(); ++c)
            if (cells[c] == byte) return static_cast<std::int64_t>(c);
        return -1;
    }

    // Frames are local: the cells of lines already passed need not stay.
    void forgetIfLarge() {
        if (cells_.size() > 256) cells_.clear();
    }

  private:
    const std::vector<std::uint32_t>& offsets(std::size_t line) {
        auto [it, added] = cells_.try_emplace(line);
        if (added) {
            const char* text = lines_.textAt(line);
            for (std::uint32_t i = 0; text[i];) {
                if (text[i] == '<') {
                    if (const int tag = tagAt(text + i)) {
                        i += static_cast<std::uint32_t>(tagLength(tag));
                        continue;
                    }
                }
                it->second.push_back(i++);
            }
        }
        return it->second;
    }

    const LineStore& lines_;
    std::size_t from_;
    std::unordered_map<std::size_t, std::vector<std::uint32_t>> cells_;
};

struct Cell {
    std::int64_t line, column;
};

std::uint64_t key(std::int64_t line, std::int64_t column) {
    return static_cast<std::uint64_t>(line) << 20 | static_cast<std::uint64_t>(column);
}

// 2 for a double line, 1 for a single one, following '+' along the way to what carries it;
// 0 when only corners lie that way.
int level(CellGrid& grid, std::int64_t line, std::int64_t column, int dl, int dc) {
    for (int steps = 0; steps < 1100; ++steps, line += dl, column += dc) {
        const std::uint8_t b = grid.at(line, column);
        if (b == '=' || b == kDoubleBar) return 2;
        if (b == '-' || b == '|') return 1;
        if (b != '+' && b != kTopLeft && b != kTopRight) return 0;
    }
    return 0;
}

class FrameFinder {
  public:
    FrameFinder(LineStore& lines, std::size_t from) : lines_(lines), grid_(lines, from) {}

    void seedsOf(std::size_t line) {
        // A frame found from a later line can still reach the one just above it.
        if (line >= 2) fileBefore(static_cast<std::int64_t>(line) - 1);
        grid_.forgetIfLarge();
        continuedAcrossBreak(line);
        const char* text = lines_.textAt(line);
        for (const char* p = text; (p = std::strpbrk(p, "\xE3\xAC")) != nullptr; ++p) {
            const auto b = static_cast<std::uint8_t>(*p);
            // Cheap tests first: a letter ghe in running text has no line beside it.
            const std::uint8_t beside = b == kTopLeft ? p[1] : p > text ? p[-1] : 0;
            if (beside != '-' && beside != '=') continue;
            const std::int64_t c = grid_.columnOf(line, static_cast<std::uint32_t>(p - text));
            const auto l = static_cast<std::int64_t>(line);
            if (c < 0 || !reachesUp(grid_.at(l + 1, c))) continue;
            // The line beside it must end at another corner or a tee, as a frame's top does;
            // "г-н" over a bar is a word.
            const int step = b == kTopLeft ? 1 : -1;
            std::int64_t k = c + step;
            while (grid_.at(l, k) == '-' || grid_.at(l, k) == '=') k += step;
            const std::uint8_t end = grid_.at(l, k);
            if (end != '+' && end != (b == kTopLeft ? kTopRight : kTopLeft)) continue;
            follow({l, c});
        }
    }

    // Files the codes of the lines before `end`; the store takes lines in increasing order, so
    // a frame that reaches further up later keeps the line rules there.
    void fileBefore(std::int64_t end) {
        while (!codes_.empty() && codes_.begin()->first < end) {
            auto first = codes_.begin();
            lines_.setBoxCodes(static_cast<std::size_t>(first->first), first->second.data(),
                               first->second.size());
            filedUpTo_ = first->first;
            codes_.erase(first);
        }
    }

  private:
    // A frame that a form feed cuts goes on at the top of the next page without a top corner:
    // its cells under the coded ones before the break are followed too.
    void continuedAcrossBreak(std::size_t line) {
        // The break is a line of its own, with an empty line on either side.
        std::size_t k = line;
        bool brk = false, found = false;
        for (int steps = 0; steps < 4 && k > 0 && !found; ++steps) {
            const char* t = lines_.textAt(--k);
            if (t[0] == '\f' && !brk)
                brk = true;
            else if (t[0])
                found = true;
        }
        if (!brk || !found || !lines_.hasBoxCodes(k)) return;
        const auto l = static_cast<std::int64_t>(line), before = static_cast<std::int64_t>(k);
        for (std::int64_t c = 0;; ++c) {
            const std::uint8_t b = grid_.at(l, c), above = grid_.at(before, c);
            if (!b && !above) break;
            if (reachesUp(b) && reachesDown(above)) follow({l, c});
        }
    }

    void follow(Cell seed) {
        if (!seen_.insert(key(seed.line, seed.column)).second) return;
        std::vector<Cell> todo{seed};
        while (!todo.empty()) {
            const Cell c = todo.back();
            todo.pop_back();
            const std::uint8_t b = grid_.at(c.line, c.column);
            int arms[4] = {0, 0, 0, 0};  // up, down, left, right
            const Cell near[4] = {{c.line - 1, c.column},
                                  {c.line + 1, c.column},
                                  {c.line, c.column - 1},
                                  {c.line, c.column + 1}};
            const std::uint8_t n[4] = {
                grid_.at(near[0].line, near[0].column), grid_.at(near[1].line, near[1].column),
                grid_.at(near[2].line, near[2].column), grid_.at(near[3].line, near[3].column)};
            // Two '+' side by side are the corners of two boxes, not a join.
            const bool reach[4] = {
                reachesUp(b) && !(b == '+' && inTopBorder(c)) && reachesDown(n[0]),
                reachesDown(b) && reachesUp(n[1]) && !(n[1] == '+' && inTopBorder(near[1])),
                reachesLeft(b) && reachesRight(n[2]) && !(b == '+' && n[2] == '+'),
                reachesRight(b) && reachesLeft(n[3]) && !(b == '+' && n[3] == '+')};
            for (int d = 0; d < 4; ++d) {
                const int dl = d == 0 ? -1 : d == 1 ? 1 : 0, dc = d == 2 ? -1 : d == 3 ? 1 : 0;
                // A rule's own arms are drawn whatever meets them; a corner, tee or cross has
                // the arms that meet a neighbour.
                const bool own = (d >= 2 && (b == '-' || b == '=')) ||
                                 (d < 2 && (b == '|' || b == kDoubleBar)) ||
                                 (b == kTopLeft && (d == 1 || d == 3)) ||
                                 (b == kTopRight && (d == 1 || d == 2)) ||
                                 (b == '+' && d == 0 && reach[1] && !inTopBorder(c));
                // The last: a '+' that goes on down and is no top tee is one of ├ ┼ ┤, which
                // reach up even where nothing meets them (a table continued from the page
                // before).
                if (!reach[d] && !own) continue;
                if (b == '+' || b == kTopLeft || b == kTopRight) {
                    arms[d] = level(grid_, c.line + dl, c.column + dc, dl, dc);
                    // A corner over a corner tells nothing of its sides: they are as double
                    // as its top or bottom line (a ╔══╗ over ╚══╝ box is double all round).
                    if (!arms[d] && d < 2) arms[d] = level(grid_, c.line - dl, c.column, -dl, 0);
                    if (!arms[d] && d < 2) arms[d] = horizontalLevel(c);
                    if (!arms[d]) arms[d] = 1;
                } else {
                    arms[d] = b == '=' || b == kDoubleBar ? 2 : 1;
                }
                if (reach[d] && seen_.insert(key(near[d].line, near[d].column)).second)
                    todo.push_back(near[d]);
            }
            const std::uint8_t code = boxCode(arms[0], arms[1], arms[2], arms[3]);
            if (!code || c.line <= filedUpTo_) continue;
            const auto line = static_cast<std::size_t>(c.line);
            std::vector<std::uint8_t>& codes = codes_[c.line];
            if (codes.empty()) codes.assign(std::strlen(lines_.textAt(line)), 0);
            codes[grid_.offset(line, c.column)] = code;
        }
    }

    // A tee in the top border of a table (a run of lines that ends at a top corner) reaches
    // only down: a table right under another one is not joined to it.
    int horizontalLevel(Cell c) {
        const int left = level(grid_, c.line, c.column - 1, 0, -1);
        return left ? left : level(grid_, c.line, c.column + 1, 0, 1);
    }

    bool inTopBorder(Cell c) {
        auto along = [](std::uint8_t b) { return b == '-' || b == '=' || b == '+'; };
        for (std::int64_t k = c.column - 1;; --k) {
            const std::uint8_t b = grid_.at(c.line, k);
            if (b == kTopLeft) return true;
            if (!along(b)) break;
        }
        for (std::int64_t k = c.column + 1;; ++k) {
            const std::uint8_t b = grid_.at(c.line, k);
            if (b == kTopRight) return true;
            if (!along(b)) break;
        }
        return false;
    }

    LineStore& lines_;
    CellGrid grid_;
    std::unordered_set<std::uint64_t> seen_;
    std::map<std::int64_t, std::vector<std::uint8_t>> codes_;  // filed in line order
    std::int64_t filedUpTo_ = -1;
};

}  // namespace

void fileLookalikeFrames(LineStore& lines, std::size_t from) {
    FrameFinder finder(lines, from);
    for (std::size_t i = from; i < lines.size(); ++i) finder.seedsOf(i);
    finder.fileBefore(INT64_MAX);
}

}  // namespace folvek
