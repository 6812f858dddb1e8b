// Where each line of a box character stops. For an arm on one side, each of its lines stops at
// the nearest line of the arm that turns off on the same side of it; when none turns off there
// it runs on through the centre if the arm opposite continues it, else it turns the corner at
// the far line of the arm on the other side. A single arm goes as far as either of those.
#include "box_painter.h"

#include <algorithm>
#include <cmath>

#include "box_cells.h"

namespace folvek {

namespace {

enum Level { kUpper = 0, kCentre = 1, kLower = 2 };

}  // namespace

std::int32_t BoxPainter::doubleGap(const RowGeometry& row) {
    const long double cell = std::min<long double>(row.charWidth, row.lineHeight);
    return std::max<std::int32_t>(2, static_cast<std::int32_t>(std::lround(cell / 3)));
}

BoxPainter::BoxPainter(DeviceContext& dc, const RowGeometry& row) : dc_(dc), row_(row) {
    const std::int32_t gap = doubleGap(row);
    a_ = gap / 2;
    b_ = gap - a_;
}

void BoxPainter::cell(std::int32_t column, std::uint8_t code) {
    const int up = boxArm(code, BoxArm::Up), down = boxArm(code, BoxArm::Down);
    const int left = boxArm(code, BoxArm::Left), right = boxArm(code, BoxArm::Right);
    const std::int32_t cx = row_.centre(column), cy = row_.mid();
    const std::int32_t xl = cx - a_, xr = cx + b_, yu = cy + a_, yd = cy - b_;
    const std::int32_t l = row_.edge(column), r = row_.edge(column + 1);
    const std::int32_t top = row_.rowTop, bottom = row_.bottom();

    // Horizontal arm towards `side` (-1 left, +1 right): where its line on the side of the
    // vertical arm `near` stops, with `far` the vertical arm on its other side.
    auto hStop = [&](int side, int near, int far, int opposite) {
        if (near) return near == 2 ? (side < 0 ? xl : xr) : cx;
        if (opposite) return cx;
        if (far) return far == 2 ? (side < 0 ? xr : xl) : cx;
        return cx;
    };
    auto vStop = [&](int side, int near, int far, int opposite) {  // side: +1 up, -1 down
        if (near) return near == 2 ? (side > 0 ? yu : yd) : cy;
        if (opposite) return cy;
        if (far) return far == 2 ? (side > 0 ? yd : yu) : cy;
        return cy;
    };

    // Horizontal lines: [left edge, stop] and [stop, right edge] on each of the three levels.
    std::int32_t leftEnd[3] = {}, rightEnd[3] = {};
    bool hasLeft[3] = {}, hasRight[3] = {};
    if (left == 2) {
        hasLeft[kUpper] = hasLeft[kLower] = true;
        leftEnd[kUpper] = hStop(-1, up, down, right);
        leftEnd[kLower] = hStop(-1, down, up, right);
    } else if (left == 1) {
        hasLeft[kCentre] = true;
        leftEnd[kCentre] = std::max(hStop(-1, up, down, right), hStop(-1, down, up, right));
    }
    if (right == 2) {
        hasRight[kUpper] = hasRight[kLower] = true;
        rightEnd[kUpper] = hStop(+1, up, down, left);
        rightEnd[kLower] = hStop(+1, down, up, left);
    } else if (right == 1) {
        hasRight[kCentre] = true;
        rightEnd[kCentre] = std::min(hStop(+1, up, down, left), hStop(+1, down, up, left));
    }
    for (int level : {kUpper, kCentre, kLower}) {
        if (hasLeft[level] && hasRight[level] && leftEnd[level] >= rightEnd[level]) {
            horizontal(level, l, r);
            continue;
        }
        if (hasLeft[level]) horizontal(level, l, leftEnd[level]);
        if (hasRight[level]) horizontal(level, rightEnd[level], r);
    }

    // Vertical lines: [stop, top] and [bottom, stop] at the left, centre and right positions.
    std::int32_t upEnd[3] = {}, downEnd[3] = {};
    bool hasUp[3] = {}, hasDown[3] = {};
    if (up == 2) {
        hasUp[0] = hasUp[2] = true;
        upEnd[0] = vStop(+1, left, right, down);
        upEnd[2] = vStop(+1, right, left, down);
    } else if (up == 1) {
        hasUp[1] = true;
        upEnd[1] = std::min(vStop(+1, left, right, down), vStop(+1, right, left, down));
    }
    if (down == 2) {
        hasDown[0] = hasDown[2] = true;
        downEnd[0] = vStop(-1, left, right, up);
        downEnd[2] = vStop(-1, right, left, up);
    } else if (down == 1) {
        hasDown[1] = true;
        downEnd[1] = std::max(vStop(-1, left, right, up), vStop(-1, right, left, up));
    }
    const std::int32_t xs[3] = {xl, cx, xr};
    for (int i = 0; i < 3; ++i) {
        if (hasUp[i] && hasDown[i] && downEnd[i] >= upEnd[i]) {
            vertical(xs[i], top, bottom);
            continue;
        }
        if (hasUp[i]) vertical(xs[i], top, upEnd[i]);
        if (hasDown[i]) vertical(xs[i], downEnd[i], bottom);
    }
}

void BoxPainter::horizontal(int level, std::int32_t x1, std::int32_t x2) {
    if (x1 == x2) return;
    Span& s = spans_[level];
    if (s.open && x1 <= s.x2 && x1 >= s.x1) {
        s.x2 = std::max(s.x2, x2);
        return;
    }
    if (s.open) {
        const std::int32_t y = row_.mid() + (level == kUpper ? a_ : level == kLower ? -b_ : 0);
        dc_.moveTo(s.x1, y);
        dc_.lineTo(s.x2, y);
    }
    s = {true, x1, x2};
}

void BoxPainter::vertical(std::int32_t x, std::int32_t top, std::int32_t bottom) {
    if (top == bottom) return;
    dc_.moveTo(x, top);
    dc_.lineTo(x, bottom);
}

void BoxPainter::finish() {
    for (int level : {kUpper, kCentre, kLower}) {
        Span& s = spans_[level];
        if (!s.open) continue;
        const std::int32_t y = row_.mid() + (level == kUpper ? a_ : level == kLower ? -b_ : 0);
        dc_.moveTo(s.x1, y);
        dc_.lineTo(s.x2, y);
        s.open = false;
    }
}

}  // namespace folvek
