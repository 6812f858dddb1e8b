// Joining a page's segments and writing them as a path.
#include "pdf_segments.h"

#include <algorithm>
#include <utility>

#include "pdf_number.h"

namespace folvek {

namespace {

// Each axis-parallel segment as (line, from, to) with from <= to; a point is horizontal.
struct Run {
    bool vertical;
    std::int64_t at, from, to;
    bool operator<(const Run& o) const {
        if (vertical != o.vertical) return vertical < o.vertical;
        if (at != o.at) return at < o.at;
        return from < o.from;
    }
};

}  // namespace

void joinSegments(std::vector<PathSegment>& segments) {
    std::vector<Run> runs;
    std::vector<PathSegment> other;
    runs.reserve(segments.size());
    for (const PathSegment& s : segments) {
        if (s.y0 == s.y1)
            runs.push_back({false, s.y0, std::min(s.x0, s.x1), std::max(s.x0, s.x1)});
        else if (s.x0 == s.x1)
            runs.push_back({true, s.x0, std::min(s.y0, s.y1), std::max(s.y0, s.y1)});
        else
            other.push_back(s);
    }
    std::sort(runs.begin(), runs.end());
    segments.clear();
    for (std::size_t i = 0; i < runs.size();) {
        Run r = runs[i++];
        while (i < runs.size() && runs[i].vertical == r.vertical && runs[i].at == r.at &&
               runs[i].from <= r.to)
            r.to = std::max(r.to, runs[i++].to);
        segments.push_back(r.vertical ? PathSegment{r.at, r.to, r.at, r.from}
                                      : PathSegment{r.from, r.at, r.to, r.at});
    }
    segments.insert(segments.end(), other.begin(), other.end());
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
