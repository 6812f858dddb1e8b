// The boxes of joined frame lines: groups that meet only further down are one box, each box
// where its first line starts, and a box inside another left out.
#include <gtest/gtest.h>

#include "char_grid.h"
#include "frame_boxes.h"

namespace folvek {
namespace {

GridArms armsOf(std::initializer_list<std::u16string> rows) {
    CharGrid g;
    for (const auto& r : rows) g.addRow(r);
    return gridArms(g);
}

// First row, last row, first column, last column.
std::vector<std::int64_t> corners(const GridSpan& s) {
    return {s.firstRow, s.lastRow, s.firstColumn, s.lastColumn};
}

TEST(FrameBoxes, LinesThatMeetLowerDownAreOneBox) {
    // Two bars that start apart and meet at the bottom; beside them a smaller box starting on
    // the same row, and one that starts a row higher on the right.
    const GridArms arms = armsOf({
        u"              ┌──┐",
        u"┌─┐   │   │   │  │",
        u"│ │   │   │   └──┘",
        u"└─┘   │ ┌┐│",
        u"      │ └┘│",
        u"      └───┘",
    });
    const std::vector<GridSpan> boxes = frameBoxes(arms);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(corners(boxes[0]), (std::vector<std::int64_t>{0, 2, 14, 17}));
    // The larger of the two starting on row 1 first; the small box inside it is left out.
    EXPECT_EQ(corners(boxes[1]), (std::vector<std::int64_t>{1, 5, 6, 10}));
    EXPECT_EQ(corners(boxes[2]), (std::vector<std::int64_t>{1, 3, 0, 2}));
}

TEST(FrameBoxes, ThreeGroupsJoinedByOneRuleAndBoxesStartingOnOneRow) {
    // One rule joins three bars from above; of the boxes starting on one row the larger comes
    // first, those of one size in the order of their first lines.
    const GridArms arms = armsOf({
        u"┌─┐  │ │ │ ┌─┐",
        u"└─┘  │ │ │ └─┘",
        u"     ├─┴─┤",
        u"     └───┘",
    });
    const std::vector<GridSpan> boxes = frameBoxes(arms);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(corners(boxes[0]), (std::vector<std::int64_t>{0, 3, 5, 9}));
    EXPECT_EQ(corners(boxes[1]), (std::vector<std::int64_t>{0, 1, 0, 2}));
    EXPECT_EQ(corners(boxes[2]), (std::vector<std::int64_t>{0, 1, 11, 13}));
}

}  // namespace
}  // namespace folvek
