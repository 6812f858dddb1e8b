// Where each line of a box character stops. For an arm on one side, each of its lines stops at
// the nearest line of the arm that turns off on the same side of it; when none turns off there
// it runs on through the centre if the arm opposite continues it, else it turns the corner at
// the far line of the arm on the other side. A single arm goes as far as either of those.
// The stops depend on the code alone, so they are worked out once for all 256 codes, on
// positions named in their order across the cell; a row then only fills in the coordinates.
#include "box_painter.h"

#include <algorithm>
#include <cmath>

#include "box_cells.h"

namespace folvek {

namespace box_plan {

// Positions across a cell, in increasing x: left edge, left line, centre, right line, right
// edge; and in increasing y (upward): bottom, lower line, middle, upper line, top.
enum X : std::uint8_t { kEdgeL, kXl, kCx, kXr, kEdgeR };
enum Y : std::uint8_t { kBottom, kYd, kCy, kYu, kTop };

struct Plan {
    struct H {
        std::uint8_t y, x1, x2;
    };
    struct V {
        std::uint8_t x, y1, y2;  // y1 above y2
    };
    std::uint8_t horizontals = 0, verticals = 0;
    bool centred = false;  // uses a position other than the two edges
    H h[6];
    V v[6];
};

Plan planFor(std::uint8_t code) {
    const int up = boxArm(code, BoxArm::Up), down = boxArm(code, BoxArm::Down);
    const int left = boxArm(code, BoxArm::Left), right = boxArm(code, BoxArm::Right);
    // Horizontal arm towards `side` (-1 left, +1 right), its line on the side of the vertical
    // arm `near`, with `far` the vertical arm on its other side.
    auto hStop = [](int side, int near, int far, int opposite) -> std::uint8_t {
        if (near) return near == 2 ? (side < 0 ? kXl : kXr) : kCx;
        if (opposite) return kCx;
        if (far) return far == 2 ? (side < 0 ? kXr : kXl) : kCx;
        return kCx;
    };
    auto vStop = [](int side, int near, int far, int opposite) -> std::uint8_t {  // +1 up
        if (near) return near == 2 ? (side > 0 ? kYu : kYd) : kCy;
        if (opposite) return kCy;
        if (far) return far == 2 ? (side > 0 ? kYd : kYu) : kCy;
        return kCy;
    };
    Plan p;
    // Horizontal lines on the upper, middle and lower level: [left edge, stop], [stop, edge].
    const std::uint8_t levels[3] = {kYu, kCy, kYd};
    int leftEnd[3] = {-1, -1, -1}, rightEnd[3] = {-1, -1, -1};
    if (left == 2) {
        leftEnd[0] = hStop(-1, up, down, right);
        leftEnd[2] = hStop(-1, down, up, right);
    } else if (left == 1) {
        leftEnd[1] = std::max(hStop(-1, up, down, right), hStop(-1, down, up, right));
    }
    if (right == 2) {
        rightEnd[0] = hStop(+1, up, down, left);
        rightEnd[2] = hStop(+1, down, up, left);
    } else if (right == 1) {
        rightEnd[1] = std::min(hStop(+1, up, down, left), hStop(+1, down, up, left));
    }
    // A single line that goes on straight across (╫) is not cut by the double one it crosses.
    if (left == 1 && right == 1) leftEnd[1] = rightEnd[1] = kCx;
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t y = levels[i];
        if (leftEnd[i] >= 0 && rightEnd[i] >= 0 && leftEnd[i] >= rightEnd[i]) {
            p.h[p.horizontals++] = {y, kEdgeL, kEdgeR};
            continue;
        }
        if (leftEnd[i] >= 0 && leftEnd[i] != kEdgeL)
            p.h[p.horizontals++] = {y, kEdgeL, static_cast<std::uint8_t>(leftEnd[i])};
        if (rightEnd[i] >= 0)
            p.h[p.horizontals++] = {y, static_cast<std::uint8_t>(rightEnd[i]), kEdgeR};
    }
    // Vertical lines at the left line, the centre and the right line: [top, stop], [stop, bottom].
    const std::uint8_t columns[3] = {kXl, kCx, kXr};
    int upEnd[3] = {-1, -1, -1}, downEnd[3] = {-1, -1, -1};
    if (up == 2) {
        upEnd[0] = vStop(+1, left, right, down);
        upEnd[2] = vStop(+1, right, left, down);
    } else if (up == 1) {
        upEnd[1] = std::min(vStop(+1, left, right, down), vStop(+1, right, left, down));
    }
    if (down == 2) {
        downEnd[0] = vStop(-1, left, right, up);
        downEnd[2] = vStop(-1, right, left, up);
    } else if (down == 1) {
        downEnd[1] = std::max(vStop(-1, left, right, up), vStop(-1, right, left, up));
    }
    if (up == 1 && down == 1) upEnd[1] = downEnd[1] = kCy;  // ╪
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t x = columns[i];
        if (upEnd[i] >= 0 && downEnd[i] >= 0 && downEnd[i] >= upEnd[i]) {
            p.v[p.verticals++] = {x, kTop, kBottom};
            continue;
        }
        if (upEnd[i] >= 0) p.v[p.verticals++] = {x, kTop, static_cast<std::uint8_t>(upEnd[i])};
        if (downEnd[i] >= 0)
            p.v[p.verticals++] = {x, static_cast<std::uint8_t>(downEnd[i]), kBottom};
    }
    for (int i = 0; i < p.horizontals; ++i)
        if (p.h[i].x1 != kEdgeL || p.h[i].x2 != kEdgeR) p.centred = true;
    if (p.verticals) p.centred = true;
    return p;
}

struct Plans {
    Plan of[256];
    Plans() {
        for (int c = 0; c < 256; ++c) of[c] = planFor(static_cast<std::uint8_t>(c));
    }
};

const Plans& plans() {
    static const Plans p;
    return p;
}

}  // namespace box_plan

using namespace box_plan;

std::int32_t BoxPainter::doubleGap(const RowGeometry& row) {
    const long double cell = std::min<long double>(row.charWidth, row.lineHeight);
    return std::max<std::int32_t>(2, static_cast<std::int32_t>(std::lround(cell / 3)));
}

BoxPainter::BoxPainter(DeviceContext& dc, const RowGeometry& row)
    : dc_(dc), row_(row), plans_(plans()) {
    const std::int32_t gap = doubleGap(row);
    a_ = gap / 2;
    b_ = gap - a_;
    const std::int32_t cy = row.mid();
    ys_[kBottom] = row.bottom();
    ys_[kYd] = cy - b_;
    ys_[kCy] = cy;
    ys_[kYu] = cy + a_;
    ys_[kTop] = row.rowTop;
}

void BoxPainter::cell(std::int32_t column, std::uint8_t code) {
    const Plan& p = plans_.of[code];
    // A run of horizontals needs each edge once: the left one is the last cell's right one.
    const std::int32_t l = column == lastColumn_ + 1 ? lastRight_ : row_.edge(column);
    const std::int32_t r = row_.edge(column + 1);
    lastColumn_ = column;
    lastRight_ = r;
    std::int32_t xs[5] = {l, 0, 0, 0, r};
    if (p.centred) {
        const std::int32_t cx = row_.centre(column);
        xs[kXl] = cx - a_;
        xs[kCx] = cx;
        xs[kXr] = cx + b_;
    }
    for (int i = 0; i < p.horizontals; ++i) {
        const Plan::H& h = p.h[i];
        horizontal(h.y, xs[h.x1], xs[h.x2]);
    }
    for (int i = 0; i < p.verticals; ++i) {
        const Plan::V& v = p.v[i];
        const std::int32_t x = xs[v.x];
        dc_.moveTo(x, ys_[v.y1]);
        dc_.lineTo(x, ys_[v.y2]);
    }
}

void BoxPainter::horizontal(int y, std::int32_t x1, std::int32_t x2) {
    Span& s = spans_[y];
    if (s.open && x1 <= s.x2 && x1 >= s.x1) {
        s.x2 = std::max(s.x2, x2);
        return;
    }
    if (s.open) draw(y);
    s = {true, x1, x2};
}

void BoxPainter::draw(int y) {
    Span& s = spans_[y];
    dc_.moveTo(s.x1, ys_[y]);
    dc_.lineTo(s.x2, ys_[y]);
    s.open = false;
}

void BoxPainter::finish() {
    for (int y = 0; y < 5; ++y)
        if (spans_[y].open) draw(y);
}

}  // namespace folvek
