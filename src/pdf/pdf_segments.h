// The line segments of a page's path. Frames arrive row by row, so a table's vertical bar comes
// as one short segment per row; joining the pieces that continue each other as they arrive
// makes the page's content a fraction of the size, to write and to compress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

struct PathSegment {
    std::int64_t x0, y0, x1, y1;  // tenths of a unit
};

// Collects a page's segments. A vertical segment that starts where one of the row above ends,
// in the same column, lengthens it; a horizontal one that continues the last segment on the
// same line lengthens that. Anything else is kept as it came, so what the stroke covers never
// changes. Rows are told apart by their bars coming again from the left.
class PathJoiner {
  public:
    void add(PathSegment s);
    bool empty() const { return segments_.empty(); }
    void clear();
    const std::vector<PathSegment>& segments() const { return segments_; }

  private:
    struct Bar {
        std::int64_t x;
        std::size_t index;  // into segments_
    };
    std::vector<PathSegment> segments_;
    std::vector<Bar> above_, row_;  // each in the order the bars came, left to right
    std::size_t nextAbove_ = 0;
};

// Appends each segment as its own subpath, "x0 y0 m x1 y1 l".
void appendSegments(std::string& out, const std::vector<PathSegment>& segments);

}  // namespace folvek
