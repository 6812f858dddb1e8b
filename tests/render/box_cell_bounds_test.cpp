// Whatever its arms, a box character's lines stay inside its own cell: a cell with one arm and
// no vertical line (a look-alike frame's end) must not reach back to the page's left edge.
#include <gtest/gtest.h>

#include "box_painter.h"
#include "recording_device.h"

namespace folvek {
namespace {

TEST(BoxCellBounds, EveryArmCombinationStaysInItsCell) {
    const RowGeometry row{30, 12, 400, 20};
    const std::int32_t column = 10;
    const std::int32_t left = row.edge(column), right = row.edge(column + 1);
    for (int code = 1; code < 256; ++code) {
        test::RecordingDevice dc;
        {
            BoxPainter boxes(dc, row);
            boxes.cell(column, static_cast<std::uint8_t>(code));
        }
        for (const test::Segment& s : dc.segments) {
            for (const int x : {s.x1, s.x2}) {
                EXPECT_GE(x, left) << "code " << code << " " << s;
                EXPECT_LE(x, right) << "code " << code << " " << s;
            }
            for (const int y : {s.y1, s.y2}) {
                EXPECT_GE(y, row.bottom()) << "code " << code << " " << s;
                EXPECT_LE(y, row.rowTop) << "code " << code << " " << s;
            }
        }
    }
}

}  // namespace
}  // namespace folvek
