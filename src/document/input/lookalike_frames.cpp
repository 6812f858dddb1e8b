// Box codes for look-alike frames, worked out line by line from the top down. A frame starts
// at its top corners (0xE3 with a line to its right that ends at a tee or the other corner, and
// a bar below; 0xAC the same way to its left) and takes in every cell that a cell of the frame
// in the line above reaches down to, then every cell that one of those reaches along its line.
// Each cell's arms are the neighbours it reaches and that reach back, single or double as the
// run of '=' or 0xA6 that carries them. Only the lines next to a frame are looked at closely,
// so a long text costs a byte search per line.
#include "lookalike_frames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
bool along(std::uint8_t b) {
    return b == '-' || b == '=' || b == '+';
}
bool corner(std::uint8_t b) {
    return b == '+' || b == kTopLeft || b == kTopRight;
}
// The bytes that reach anything: every other cell stays out of the frames.
struct FrameBytes {
    bool is[256] = {};
    FrameBytes() {
        for (const std::uint8_t b : {std::uint8_t('-'), std::uint8_t('='), std::uint8_t('+'),
                                     std::uint8_t('|'), kDoubleBar, kTopLeft, kTopRight})
            is[b] = true;
    }
};
const FrameBytes kFrameBytes;

// One line as its visible characters (tags left out) with their byte offsets, and for each
// whether it lies in the top border of a table: a tee there reaches only down, so a table right
// under another one is not joined to it.
struct Row {
    std::int64_t line = -1;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint16_t> offsets;  // lines are pieces of at most 1023 bytes
    std::vector<std::uint8_t> topBorder;

    std::uint8_t at(std::int64_t c) const {
        return c >= 0 && c < static_cast<std::int64_t>(bytes.size()) ? bytes[c] : 0;
    }
    bool top(std::int64_t c) const {
        return c >= 0 && c < static_cast<std::int64_t>(bytes.size()) && topBorder[c];
    }

    void load(const LineStore& lines, std::int64_t index, std::size_t from) {
        line = index;
        bytes.clear();
        offsets.clear();
        topBorder.clear();
        if (index < static_cast<std::int64_t>(from) ||
            index >= static_cast<std::int64_t>(lines.size()))
            return;
        const char* text = lines.textAt(static_cast<std::size_t>(index));
        if (text[0] == '\f') return;
        const std::size_t len = std::strlen(text);
        bytes.resize(len);
        offsets.resize(len);
        std::size_t k = 0;
        for (std::uint16_t i = 0; text[i];) {
            if (text[i] == '<') {
                if (const int tag = tagAt(text + i)) {
                    i = static_cast<std::uint16_t>(i + tagLength(tag));
                    continue;
                }
            }
            offsets[k] = i;
            bytes[k++] = static_cast<std::uint8_t>(text[i++]);
        }
        bytes.resize(k);
        offsets.resize(k);
        topBorder.assign(bytes.size(), 0);
        // A run of '-' '=' '+' that meets a top corner at either end. An end without a corner
        // must not be a '+' itself: "├──┼──┐" under a narrower box is a separator that widens
        // the table, and its tees reach up; a top border only runs out ragged.
        const std::size_t n = bytes.size();
        for (std::size_t c = 0; c < n;) {
            if (!along(bytes[c])) {
                ++c;
                continue;
            }
            std::size_t end = c;
            while (end < n && along(bytes[end])) ++end;
            const bool leftCorner = c > 0 && bytes[c - 1] == kTopLeft;
            const bool rightCorner = end < n && bytes[end] == kTopRight;
            const bool isTop = (leftCorner || rightCorner) && (leftCorner || bytes[c] != '+') &&
                               (rightCorner || bytes[end - 1] != '+');
            if (isTop) std::fill(topBorder.begin() + c, topBorder.begin() + end, 1);
            c = end;
        }
    }
};

// Which neighbours a cell reaches and that reach back: up, down, left, right.
struct Reach {
    bool d[4];
};

// Two '+' side by side with nothing along the row on either side: the bottom corners of a box
// two columns wide (└┘), which join each other.
bool pairedPlus(const Row& row, std::int64_t left) {
    return row.at(left) == '+' && row.at(left + 1) == '+' && !along(row.at(left - 1)) &&
           !along(row.at(left + 2));
}

Reach reachOf(const Row& up, const Row& row, const Row& down, std::int64_t c) {
    const std::uint8_t b = row.at(c);
    const std::uint8_t below = down.at(c), left = row.at(c - 1), right = row.at(c + 1);
    // Otherwise two '+' side by side are the corners of two boxes, not a join.
    return {{reachesUp(b) && !(b == '+' && row.top(c)) && reachesDown(up.at(c)),
             reachesDown(b) && reachesUp(below) && !(below == '+' && down.top(c)),
             reachesLeft(b) && reachesRight(left) &&
                 (!(b == '+' && left == '+') || pairedPlus(row, c - 1)),
             reachesRight(b) && reachesLeft(right) &&
                 (!(b == '+' && right == '+') || pairedPlus(row, c))}};
}

// 2 for a double line, 1 for a single one, 0 when only corners lie that way. Along the row the
// run is followed through '+' to what carries it.
int rowLevel(const Row& row, std::int64_t c, int step) {
    for (;; c += step) {
        const std::uint8_t b = row.at(c);
        if (b == '=') return 2;
        if (b == '-') return 1;
        if (!corner(b)) return 0;
    }
}
int barLevel(std::uint8_t b) {
    return b == kDoubleBar ? 2 : b == '|' ? 1 : 0;
}

std::uint8_t codeOf(const Row& up, const Row& row, const Row& down, std::int64_t c,
                    const Reach& r) {
    const std::uint8_t b = row.at(c);
    int arms[4] = {0, 0, 0, 0};
    for (int d = 0; d < 4; ++d) {
        // A rule's own arms are drawn whatever meets them; a corner, tee or cross has the arms
        // that meet a neighbour. A '+' that goes on down and is no top tee, with nothing at
        // all above it, is one of ├ ┼ ┤ of a table continued from the page before: it reaches
        // up to the sheet's top. Under text or a blank in a line (a merged heading over a
        // separator that adds a column) it is a ┬ and stops at its row's middle.
        const bool own =
            (d >= 2 && (b == '-' || b == '=')) || (d < 2 && (b == '|' || b == kDoubleBar)) ||
            (b == kTopLeft && (d == 1 || d == 3)) || (b == kTopRight && (d == 1 || d == 2)) ||
            (b == '+' && d == 0 && r.d[1] && !row.top(c) && up.at(c) == 0);
        if (!r.d[d] && !own) continue;
        if (!corner(b)) {
            arms[d] = b == '=' || b == kDoubleBar ? 2 : 1;
            continue;
        }
        if (d >= 2) {
            arms[d] = rowLevel(row, d == 2 ? c - 1 : c + 1, d == 2 ? -1 : 1);
        } else {
            // The bar that meets it, else the one on its other side; a corner over a corner
            // tells nothing of its sides: they are as double as its own line (a ╔══╗ over
            // ╚══╝ box is double all round).
            arms[d] = barLevel((d == 0 ? up : down).at(c));
            if (!arms[d]) arms[d] = barLevel((d == 0 ? down : up).at(c));
            if (!arms[d]) arms[d] = rowLevel(row, c - 1, -1);
            if (!arms[d]) arms[d] = rowLevel(row, c + 1, 1);
        }
        if (!arms[d]) arms[d] = 1;
    }
    return boxCode(arms[0], arms[1], arms[2], arms[3]);
}

class FrameWalk {
  public:
    FrameWalk(LineStore& lines, std::size_t from) : lines_(lines), from_(from) {}

    void line(std::size_t i) {
        const bool fromAbove = aboveHasCells_;
        const bool acrossBreak = !fromAbove && continuesAcrossBreak(i);
        aboveHasCells_ = false;
        if (!fromAbove && !acrossBreak && !mayHoldTopCorner(lines_.textAt(i))) return;

        const auto index = static_cast<std::int64_t>(i);
        const Row& up = row(index - 1);
        const Row& cur = row(index);
        const Row& down = row(index + 1);
        if (acrossBreak) lastRow_.load(lines_, lastLine_, from_);
        const std::size_t n = cur.bytes.size();
        // What each cell reaches, worked out once for the passes below.
        reach_.resize(n);
        for (std::size_t c = 0; c < n; ++c)
            reach_[c] = kFrameBytes.is[cur.bytes[c]]
                            ? reachOf(up, cur, down, static_cast<std::int64_t>(c))
                            : Reach{};
        std::vector<std::uint8_t>& in = next_;
        in.assign(n, 0);
        for (std::size_t c = 0; c < n; ++c) {
            if (!kFrameBytes.is[cur.bytes[c]]) continue;
            const auto col = static_cast<std::int64_t>(c);
            if (fromAbove && c < above_.size() && above_[c] && reach_[c].d[0])
                in[c] = 1;
            else if (acrossBreak && c < lastCells_.size() && lastCells_[c] &&
                     reachesUp(cur.bytes[c]) && reachesDown(lastRow_.at(col)))
                in[c] = 1;
            else if (isSeed(cur, down, col))
                in[c] = 1;
        }
        for (std::size_t c = 0; c + 1 < n; ++c)
            if (in[c] && reach_[c].d[3]) in[c + 1] = 1;
        for (std::size_t c = n; c-- > 1;)
            if (in[c] && reach_[c].d[2]) in[c - 1] = 1;
        if (fromAbove) takeUntiedBars(up, cur, in);

        codes_.assign(std::strlen(lines_.textAt(i)), 0);
        bool any = false;
        for (std::size_t c = 0; c < n; ++c) {
            if (!in[c]) continue;
            const std::uint8_t code =
                codeOf(up, cur, down, static_cast<std::int64_t>(c), reach_[c]);
            codes_[cur.offsets[c]] = code;
            any = any || code != 0;
        }
        above_.swap(next_);
        if (!any) return;
        lines_.setBoxCodes(i, codes_.data(), codes_.size());
        aboveHasCells_ = true;
        lastLine_ = index;
        lastCells_ = above_;
    }

    // No frame the walk has seen can reach line `next` or later across a page break.
    bool apartFrom(std::size_t next) const {
        return !aboveHasCells_ &&
               (lastLine_ < 0 || lastLine_ + kBreakSpan < static_cast<std::int64_t>(next));
    }

  private:
    // How far below a frame's last line continuesAcrossBreak looks for its continuation.
    static constexpr std::int64_t kBreakSpan = 4;

    // A column bar right under a rule of the frame that has no tee for it ("┌────┐" over
    // "│a│bc│"), between cells of the frame in its own line: nothing reaches down to it, yet
    // it is the frame's as much as its neighbours are. A '|' under a rule outside the frame's
    // cells (text after a box's bottom) stays text.
    void takeUntiedBars(const Row& up, const Row& cur, std::vector<std::uint8_t>& in) const {
        const auto first = std::find(in.begin(), in.end(), 1);
        if (first == in.end()) return;
        const auto last = std::find(in.rbegin(), in.rend(), 1).base() - 1;
        for (auto c = std::size_t(first - in.begin()) + 1; c < std::size_t(last - in.begin());
             ++c) {
            const std::uint8_t b = cur.bytes[c], above = up.at(std::int64_t(c));
            if (!in[c] && (b == '|' || b == kDoubleBar) && c < above_.size() && above_[c] &&
                (above == '-' || above == '='))
                in[c] = 1;
        }
    }

    // A ghe with a line after it or a not-sign with a line before it: a byte test that lets
    // lines of running text, where ghe is a common letter, pass without a closer look.
    static bool mayHoldTopCorner(const char* text) {
        for (const char* p = text; (p = std::strpbrk(p, "\xE3\xAC")) != nullptr; ++p) {
            const char beside = static_cast<std::uint8_t>(*p) == kTopLeft ? p[1]
                                : p > text                                ? p[-1]
                                                                          : 0;
            if (beside == '-' || beside == '=') return true;
            // ┌┐ of a box two columns wide.
            if (static_cast<std::uint8_t>(*p) == kTopLeft &&
                static_cast<std::uint8_t>(p[1]) == kTopRight)
                return true;
        }
        return false;
    }

    // A top corner whose line ends at a tee or at the other corner, over a bar: "г-н" over a
    // bar is a word.
    static bool isSeed(const Row& cur, const Row& down, std::int64_t c) {
        const std::uint8_t b = cur.at(c);
        if ((b != kTopLeft && b != kTopRight) || !reachesUp(down.at(c))) return false;
        const int step = b == kTopLeft ? 1 : -1;
        std::int64_t k = c + step;
        // The two top corners of a box two columns wide, each over a side.
        if (cur.at(k) == (b == kTopLeft ? kTopRight : kTopLeft)) return reachesUp(down.at(k));
        if (cur.at(k) != '-' && cur.at(k) != '=') return false;
        while (cur.at(k) == '-' || cur.at(k) == '=') k += step;
        return cur.at(k) == '+' || cur.at(k) == (b == kTopLeft ? kTopRight : kTopLeft);
    }

    // A frame that a form feed cuts goes on at the top of the next page without a top corner.
    // The break is a line of its own, with an empty line on either side.
    bool continuesAcrossBreak(std::size_t i) const {
        const auto index = static_cast<std::int64_t>(i);
        if (lastLine_ < 0 || index - lastLine_ < 2 || index - lastLine_ > kBreakSpan) return false;
        bool brk = false;
        for (std::int64_t k = lastLine_ + 1; k < index; ++k) {
            const char* t = lines_.textAt(static_cast<std::size_t>(k));
            if (t[0] == '\f' && !brk)
                brk = true;
            else if (t[0])
                return false;
        }
        return brk;
    }

    // The rows around the current line, each read once as the walk moves down.
    const Row& row(std::int64_t index) {
        for (Row& r : rows_)
            if (r.line == index) return r;
        Row& oldest = *std::min_element(rows_, rows_ + 3,
                                        [](const Row& a, const Row& b) { return a.line < b.line; });
        oldest.load(lines_, index, from_);
        return oldest;
    }

    LineStore& lines_;
    std::size_t from_;
    Row rows_[3];
    std::vector<std::uint8_t> above_, next_, codes_;
    std::vector<Reach> reach_;
    bool aboveHasCells_ = false;
    std::int64_t lastLine_ = -1;  // the last line with frame cells, for a page break under it
    Row lastRow_;                 // read again only at a break
    std::vector<std::uint8_t> lastCells_;
};

}  // namespace

bool fileLookalikeFrames(LineStore& lines, std::size_t from) {
    FrameWalk walk(lines, from);
    const std::size_t n = lines.size();
    for (std::size_t i = from; i < n; ++i) walk.line(i);
    if (n == from) return true;
    const char* last = lines.textAt(n - 1);
    return holdsNoFrameCell(last, std::strlen(last)) && walk.apartFrom(n);
}

bool holdsNoFrameCell(const char* text, std::size_t len) {
    // A rule of '-' or '=' alone is in a frame only by what reaches down into it, and no byte
    // of it reaches a line above or below.
    for (std::size_t i = 0; i < len; ++i) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (kFrameBytes.is[b] && b != '-' && b != '=') return false;
    }
    return true;
}

}  // namespace folvek
