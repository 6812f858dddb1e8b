// The line segments of a page's path. Frames arrive row by row, so a table's vertical bar comes
// as one short segment per row; joining the pieces that continue each other before the path is
// written makes the page's content a fraction of the size, to write and to compress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

struct PathSegment {
    std::int64_t x0, y0, x1, y1;  // tenths of a unit
};

// Joins horizontal segments on one line and vertical ones on one column that touch or overlap;
// other segments stay as they are. What the stroke covers does not change.
void joinSegments(std::vector<PathSegment>& segments);

// Appends each segment as its own subpath, "x0 y0 m x1 y1 l".
void appendSegments(std::string& out, const std::vector<PathSegment>& segments);

}  // namespace folvek
