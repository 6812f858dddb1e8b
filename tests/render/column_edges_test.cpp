// The table of column positions gives exactly what truncating the position each time gives: at
// fractional widths where truncation matters, after a switch of geometry, before column 0 and
// past the columns it keeps, and on threads that draw pages with other geometries at once.
#include <gtest/gtest.h>

#include <thread>

#include "column_edges.h"
#include "line_art.h"

namespace folvek {
namespace {

std::int32_t edgeByHand(long double left, long double width, std::int32_t c) {
    return static_cast<std::int32_t>(left + c * width);
}
std::int32_t centreByHand(long double left, long double width, std::int32_t c) {
    return static_cast<std::int32_t>(left + c * width + width * 0.5L);
}

void expectSameAsByHand(long double left, long double width) {
    for (std::int32_t c : {-3, -1, 0, 1, 2, 7, 99, 131, 255, 4096, 65535, 65536, 70000}) {
        ColumnPositions& p = ColumnPositions::of(left, width);
        EXPECT_EQ(p.edge(c), edgeByHand(left, width, c)) << left << " " << width << " " << c;
        EXPECT_EQ(p.centre(c), centreByHand(left, width, c)) << left << " " << width << " " << c;
    }
}

TEST(ColumnPositions, ExactlyTheTruncatedPositions) {
    // 10, 12 and 17.1 characters an inch in hundredths; a width of a third; margins with and
    // without fractions.
    expectSameAsByHand(0, 10);
    expectSameAsByHand(25, 100.0L / 12);
    expectSameAsByHand(37.5L, 100.0 / 17.1);
    expectSameAsByHand(12.25L, 1.0L / 3);
    // Back to the first geometry: nothing of the others is left in the table.
    expectSameAsByHand(0, 10);
    // A column asked for first far out, then near.
    ColumnPositions& p = ColumnPositions::of(3, 7.2L);
    EXPECT_EQ(p.edge(5000), edgeByHand(3, 7.2L, 5000));
    EXPECT_EQ(p.edge(4), 31);    // 3 + 28.8
    EXPECT_EQ(p.centre(4), 35);  // 3 + 28.8 + 3.6
}

TEST(ColumnPositions, RowsGivenTheTableAgreeWithRowsWithout) {
    RowGeometry plain{20, 100.0 / 17.1, 500, 17};
    RowGeometry tabled = plain;
    tabled.columns = &ColumnPositions::of(plain.leftMargin, plain.charWidth);
    for (std::int32_t c = -2; c < 300; ++c) {
        ASSERT_EQ(tabled.edge(c), plain.edge(c)) << c;
        ASSERT_EQ(tabled.centre(c), plain.centre(c)) << c;
    }
}

TEST(ColumnPositions, EachThreadKeepsItsOwnGeometry) {
    bool otherAgreed = true;
    std::thread other([&] {
        for (int round = 0; round < 2000; ++round) {
            ColumnPositions& p = ColumnPositions::of(5, 100.0L / 12);
            otherAgreed &= p.edge(round % 300) == edgeByHand(5, 100.0L / 12, round % 300);
        }
    });
    for (int round = 0; round < 2000; ++round) {
        ColumnPositions& p = ColumnPositions::of(0, 10);
        ASSERT_EQ(p.edge(round % 300), 10 * (round % 300));
    }
    other.join();
    EXPECT_TRUE(otherAgreed);
}

}  // namespace
}  // namespace folvek
