// Joining a page's path segments: the pieces of one bar or one rule become one segment, and
// nothing that was drawn apart is drawn together.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "pdf_segments.h"

namespace folvek {
namespace {

std::vector<std::tuple<long, long, long, long>> sorted(const std::vector<PathSegment>& s) {
    std::vector<std::tuple<long, long, long, long>> out;
    for (const PathSegment& p : s) out.emplace_back(p.x0, p.y0, p.x1, p.y1);
    std::sort(out.begin(), out.end());
    return out;
}

TEST(PathSegments, PiecesThatContinueEachOtherBecomeOne) {
    const std::vector<PathSegment> in = {
        {20, -300, 20, -450}, {50, -300, 50, -450},   {20, -450, 20, -600},  // a bar, row by row
        {50, -500, 50, -600},                                                // a gap in column 50
        {0, -100, 300, -100}, {200, -100, 500, -100},                        // overlapping rules
        {0, -130, 300, -130},                                                // a second line
        {0, -200, 100, -200}, {100, -200, 250, -200},                        // cell by cell
        {0, 0, 10, 10},                                                      // not axis-parallel
    };
    PathJoiner joiner;
    for (const PathSegment& p : in) joiner.add(p);
    EXPECT_EQ(sorted(joiner.segments()), (sorted({{20, -300, 20, -600},
                                                  {50, -300, 50, -450},
                                                  {50, -500, 50, -600},
                                                  {0, -100, 500, -100},
                                                  {0, -130, 300, -130},
                                                  {0, -200, 250, -200},
                                                  {0, 0, 10, 10}})));
}

TEST(PathSegments, APieceInsideABarOrOverlappingItsEndJoinsIt) {
    PathJoiner joiner;
    for (const PathSegment& p : std::vector<PathSegment>{{20, -300, 20, -450},
                                                         {70, -300, 70, -450},
                                                         {20, -400, 20, -450},   // ends at its end
                                                         {70, -400, 70, -500}})  // runs past it
        joiner.add(p);
    EXPECT_EQ(sorted(joiner.segments()), (sorted({{20, -300, 20, -450}, {70, -300, 70, -500}})));
}

TEST(PathSegments, BarsOutOfOrderOrApartStayApart) {
    PathJoiner joiner;
    for (const PathSegment& p : std::vector<PathSegment>{{20, 0, 20, -150},
                                                         {50, 0, 50, -150},
                                                         {50, -150, 50, -300},  // row 2
                                                         {20, -160, 20, -300},  // leaves a gap
                                                         {0, -5, 10, -5},
                                                         {20, -5, 30, -5}})  // a gap too
        joiner.add(p);
    EXPECT_EQ(joiner.segments().size(), 5u);
    joiner.clear();
    EXPECT_TRUE(joiner.empty());
}

TEST(PathSegments, WrittenAsOneSubpathEach) {
    std::string out;
    appendSegments(out, {{20, -300, 20, -600}, {5, 0, 15, 0}});
    EXPECT_EQ(out, "2 -30 m 2 -60 l\n0.5 0 m 1.5 0 l\n");
}

}  // namespace
}  // namespace folvek
