// A PCL XL path (lines, Bézier curves, rectangles, closed or open subpaths) and its painting:
// the brush fills it by the fill rule and the pen strokes it, both drawn as dots at the
// job's own resolution.
#pragma once

#include <cstdint>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

class JobPageBuilder;

class PxlPath {
  public:
    struct Point {
        double x = 0, y = 0;  // JobUnits on the page
    };

    void clear();
    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point c1, Point c2, Point end);
    void close();
    bool empty() const { return subpaths_.empty(); }
    // Where the next segment starts.
    Point current() const { return current_; }

    // Fills the path (even-odd or non-zero winding) or strokes it `penWidth` (JobUnits) wide,
    // in dots at dpi; a path larger than any sheet is left out with a warning.
    // `work` is what the page may still spend (rows times edges scanned); what would take more
    // is left out with a warning.
    void fill(JobPageBuilder& builder, bool evenOdd, std::int32_t dpi, std::int64_t& work) const;
    void stroke(JobPageBuilder& builder, double penWidth, std::int32_t dpi,
                std::int64_t& work) const;

  private:
    struct Subpath {
        std::vector<Point> points;
        bool closed = false;
    };
    using Polygon = std::vector<Point>;
    // Paints polygons (in dots) onto one bitmap, each polygon alone or all by one rule.
    static void paint(JobPageBuilder& builder, const std::vector<Polygon>& polygons, bool evenOdd,
                      bool each, std::int32_t dpi, std::int64_t& work);

    std::vector<Subpath> subpaths_;
    Point current_;
    std::size_t points_ = 0;
};

}  // namespace folvek::printer
