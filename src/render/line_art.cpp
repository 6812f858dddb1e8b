// The line rules. A byte joins to its neighbours only when the pattern around it says it is
// part of a frame; otherwise (a minus in running text) it is printed.
#include "line_art.h"

namespace folvek {

namespace {

constexpr std::uint8_t kNotSign = 0xAC;
constexpr std::uint8_t kGhe = 0xE3;
constexpr std::uint8_t kBrokenBar = 0xA6;

// Joins vertically: connecting, but a minus only ever carries a horizontal line.
bool reachesAcross(std::uint8_t b) {
    return isLineChar(b) && b != '-';
}

}  // namespace

bool isLineChar(std::uint8_t b) {
    return b == '+' || b == '-' || b == '=' || b == '|' || b == kBrokenBar;
}

LineClass lineClass(std::uint8_t b) {
    switch (b) {
        case '+':
        case 'L':
        case kNotSign:
            return LineClass::Corner;
        case '-':
        case '=':
        case 'T':
        case kGhe:
            return LineClass::Horizontal;
        case '|':
        case kBrokenBar:
            return LineClass::Vertical;
        default:
            return LineClass::None;
    }
}

void LineArt::apply(const CellView& cell) {
    switch (lineClass(cell.self)) {
        case LineClass::Horizontal:
            horizontal(cell);
            break;
        case LineClass::Corner:
            corner(cell);
            break;
        case LineClass::Vertical:
            vertical(cell);
            break;
        case LineClass::None:
            run_.append(static_cast<char>(cell.self));
            afterText(cell.column);
            break;
    }
}

void LineArt::horizontal(const CellView& cell) {
    if (stroke_) return;  // the open stroke runs on through this cell
    if (isLineChar(cell.next1) &&
        (cell.next1 == cell.self || cell.self == kGhe || isLineChar(prefix_))) {
        // A vertical coming up from below meets the line at the cell centre.
        stroke_ = reachesAcross(cell.below) ? 1 : 2;
        start_ = cell.column;
        run_.flush();
        return;
    }
    run_.append(static_cast<char>(cell.self));
}

void LineArt::corner(const CellView& cell) {
    const bool joined = stroke_ || (isLineChar(cell.next1) && cell.next1 != '+');
    const bool shaped = cell.self != 'L' || cell.next1 == 0 || isLineChar(cell.next2);
    if (!joined || !shaped) {
        run_.append(static_cast<char>(cell.self));
        return;
    }
    const std::int32_t x = row_.centre(cell.column);
    const std::int32_t y1 = reachesAcross(cell.above) ? row_.rowTop : row_.mid();
    const std::int32_t y2 = reachesAcross(cell.below) ? row_.bottom() : row_.mid();
    if (y1 != y2) segment(x, y1, x, y2);
    if (!stroke_) {
        stroke_ = 1;
        start_ = cell.column;
        run_.flush();
    }
}

void LineArt::vertical(const CellView& cell) {
    run_.flush();
    const std::int32_t c = cell.column;
    std::int32_t y1 = row_.rowTop;
    if (cell.above == '-' || cell.above == 'T' || cell.above == kGhe) y1 = row_.midAbove();
    std::int32_t y2 = row_.bottom();
    if (cell.below == '-' || cell.below == '=') {
        y2 = row_.midBelow();
    } else if (c > 0 && cell.prev1 == '=' && cell.next1 == '=' &&
               (cell.below == 0 || (!isLineChar(cell.below) && cell.below != 'L'))) {
        y2 = row_.mid();  // ends where the double line passes
    }
    const std::int32_t x = row_.centre(c);
    segment(x, y1, x, y2);

    if (!stroke_ && (cell.next1 == '-' || cell.next1 == '=') && isLineChar(cell.next2)) {
        stroke_ = 1;
        start_ = c;
    }
    if (stroke_ && isLineChar(cell.next1) && cell.next1 != '-' && cell.next1 != '=') {
        std::int32_t end = centreOfPrevious(c);
        if (c > 0 && cell.prev1 == '-') {
            end = static_cast<std::int32_t>(end + row_.charWidth);
            if (c > 1 && cell.prev2 == '=') end = static_cast<std::int32_t>(end - row_.charWidth);
        }
        close(end);
    }
}

void LineArt::afterText(std::int32_t column) {
    if (stroke_) close(centreOfPrevious(column));
}

void LineArt::beforeBox(std::int32_t column, bool leftArm) {
    if (stroke_) close(leftArm ? row_.edge(column) : centreOfPrevious(column));
}

bool LineArt::endOfStrip(std::int32_t columns) {
    if (!stroke_) return false;
    close(centreOfPrevious(columns));
    return true;
}

void LineArt::close(std::int32_t endX) {
    const std::int32_t x1 = static_cast<std::int32_t>(row_.leftMargin + start_ * row_.charWidth +
                                                      (stroke_ == 2 ? 0 : row_.charWidth * 0.5L));
    segment(x1, row_.mid(), endX, row_.mid());
    stroke_ = 0;
}

void LineArt::segment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    dc_.moveTo(x1, y1);
    dc_.lineTo(x2, y2);
}

}  // namespace folvek
