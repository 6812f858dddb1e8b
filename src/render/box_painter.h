// Drawing the box-drawing characters of a row from their arms: every arm runs from the cell's
// centre to its edge, so neighbouring cells meet exactly; double arms are two parallel lines
// joined as a draughtsman joins them (no line runs into the inside of a double corner).
#pragma once

#include <cstdint>

#include "device_context.h"
#include "line_art.h"

namespace folvek {

namespace box_plan {
struct Plans;
}

class BoxPainter {
  public:
    BoxPainter(DeviceContext& dc, const RowGeometry& row);
    ~BoxPainter() { finish(); }

    void cell(std::int32_t column, std::uint8_t code);
    // Draws the horizontal lines still being collected.
    void finish();

    // Distance between the two lines of a double arm.
    static std::int32_t doubleGap(const RowGeometry& row);

  private:
    struct Span {
        bool open = false;
        std::int32_t x1 = 0, x2 = 0;
    };
    void horizontal(int y, std::int32_t x1, std::int32_t x2);
    void draw(int y);

    DeviceContext& dc_;
    RowGeometry row_;
    std::int32_t a_, b_;  // the double lines lie a_ before and b_ after the centre line
    std::int32_t ys_[5];  // bottom, lower line, middle, upper line, top of the row
    Span spans_[5];       // horizontal lines of the row by level, joined across cells
    const box_plan::Plans& plans_;
    std::int32_t lastColumn_ = -2, lastRight_ = 0;
};

}  // namespace folvek
