// Joining a page's segments as they come, and writing them as a path.
#include "pdf_segments.h"

#include <algorithm>
#include <utility>

#include "pdf_number.h"

namespace folvek {

void PathJoiner::clear() {
    segments_.clear();
    above_.clear();
    row_.clear();
    nextAbove_ = 0;
}

void PathJoiner::add(PathSegment s) {
    if (s.x0 == s.x1 && s.y0 != s.y1) {
        const std::int64_t x = s.x0, top = std::max(s.y0, s.y1), bottom = std::min(s.y0, s.y1);
        if (!row_.empty() && x <= row_.back().x) {  // back at the left: the next row
            above_.swap(row_);
            row_.clear();
            nextAbove_ = 0;
        }
        while (nextAbove_ < above_.size() && above_[nextAbove_].x < x) ++nextAbove_;
        if (nextAbove_ < above_.size() && above_[nextAbove_].x == x) {
            PathSegment& bar = segments_[above_[nextAbove_].index];
            if (bar.y1 <= top && bar.y1 >= bottom) {
                bar.y1 = std::min(bar.y1, bottom);
                row_.push_back({x, above_[nextAbove_].index});
                ++nextAbove_;
                return;
            }
        }
        row_.push_back({x, segments_.size()});
        segments_.push_back({x, top, x, bottom});
        return;
    }
    if (s.y0 == s.y1 && !segments_.empty()) {
        const std::int64_t left = std::min(s.x0, s.x1), right = std::max(s.x0, s.x1);
        PathSegment& last = segments_.back();
        if (last.y0 == s.y0 && last.y1 == s.y0 && last.x0 <= left && left <= last.x1) {
            last.x1 = std::max(last.x1, right);
            return;
        }
        segments_.push_back({left, s.y0, right, s.y0});
        return;
    }
    segments_.push_back(s);
}

void appendSegments(std::string& out, const std::vector<PathSegment>& segments) {
    for (const PathSegment& s : segments) {
        appendScaled(out, s.x0, 1);
        out.push_back(' ');
        appendScaled(out, s.y0, 1);
        out += " m ";
        appendScaled(out, s.x1, 1);
        out.push_back(' ');
        appendScaled(out, s.y1, 1);
        out += " l\n";
    }
}

}  // namespace folvek
