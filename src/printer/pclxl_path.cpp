// Paths filled by scan lines: a dot is ink when its centre lies inside the path by the fill
// rule. Strokes are a quadrilateral per segment and a square at each joint, so that the thin
// lines and frames drivers draw come out their own width.
#include "pclxl_path.h"

#include <algorithm>
#include <cmath>

#include "page_builder.h"

namespace folvek::printer {
namespace {

// More points than any page's drawing holds, and no painted box larger than a big sheet.
constexpr std::size_t kMaxPoints = 200000;
constexpr double kMaxSideInches = 50;
constexpr int kCurveSteps = 24;
constexpr std::int64_t kMaxBitmapBytes = std::int64_t{64} << 20;

}  // namespace

void PxlPath::clear() {
    subpaths_.clear();
    points_ = 0;
}

void PxlPath::moveTo(Point p) {
    current_ = p;
    if (!subpaths_.empty() && subpaths_.back().points.size() == 1) subpaths_.pop_back();
    subpaths_.push_back(Subpath{{p}, false});
}

void PxlPath::lineTo(Point p) {
    if (subpaths_.empty() || subpaths_.back().closed) moveTo(current_);
    if (points_ < kMaxPoints) {
        subpaths_.back().points.push_back(p);
        ++points_;
    }
    current_ = p;
}

void PxlPath::curveTo(Point c1, Point c2, Point end) {
    const Point s = current_;
    for (int i = 1; i <= kCurveSteps; ++i) {
        const double t = double(i) / kCurveSteps, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        lineTo(Point{a * s.x + b * c1.x + c * c2.x + d * end.x,
                     a * s.y + b * c1.y + c * c2.y + d * end.y});
    }
}

void PxlPath::close() {
    if (subpaths_.empty()) return;
    subpaths_.back().closed = true;
    current_ = subpaths_.back().points.front();
}

void PxlPath::paint(JobPageBuilder& builder, const std::vector<Polygon>& polygons, bool evenOdd,
                    bool each, std::int32_t dpi, std::int64_t& work) {
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
    for (const Polygon& p : polygons)
        for (const Point& q : p) {
            x0 = std::min(x0, q.x), y0 = std::min(y0, q.y);
            x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
        }
    if (x0 > x1) return;
    const double limit = kMaxSideInches * dpi;
    if (x1 - x0 > limit || y1 - y0 > limit || std::abs(x0) > limit || std::abs(y0) > limit) {
        builder.warn("a PCL XL drawing larger than any sheet was not printed");
        return;
    }
    const auto left = static_cast<std::int64_t>(std::floor(x0));
    const auto top = static_cast<std::int64_t>(std::floor(y0));
    const auto width = static_cast<std::int32_t>(std::ceil(x1) - left + 1);
    const auto height = static_cast<std::int32_t>(std::ceil(y1) - top + 1);
    const std::int32_t rowBytes = (width + 7) / 8;
    if (std::int64_t{rowBytes} * height > kMaxBitmapBytes) {
        builder.warn("a PCL XL drawing larger than memory allows was not printed");
        return;
    }
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes) * height, 0);
    std::vector<std::pair<double, int>> cross;
    const auto scan = [&](const std::vector<const Polygon*>& group) -> bool {
        double gy0 = 1e18, gy1 = -1e18;
        for (const Polygon* p : group)
            for (const Point& q : *p) gy0 = std::min(gy0, q.y), gy1 = std::max(gy1, q.y);
        const auto r0 = static_cast<std::int32_t>(std::max(0.0, std::floor(gy0) - double(top)));
        const auto r1 =
            static_cast<std::int32_t>(std::min(double(height), std::ceil(gy1) - double(top) + 1));
        std::int64_t edges = 0;
        for (const Polygon* p : group) edges += static_cast<std::int64_t>(p->size());
        const std::int64_t cost = std::int64_t{std::max(0, r1 - r0)} * edges;
        if (cost > work) {
            builder.warn("PCL XL drawings beyond the work one page may take were not printed");
            work = 0;
            return false;
        }
        work -= cost;
        for (std::int32_t r = r0; r < r1; ++r) {
            const double y = double(top + r) + 0.5;
            cross.clear();
            for (const Polygon* p : group) {
                const std::size_t n = p->size();
                for (std::size_t i = 0; i < n; ++i) {
                    const Point& a = (*p)[i];
                    const Point& b = (*p)[(i + 1) % n];
                    if ((a.y <= y) == (b.y <= y)) continue;
                    const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
                    cross.emplace_back(x, b.y > a.y ? 1 : -1);
                }
            }
            std::sort(cross.begin(), cross.end());
            int winding = 0;
            for (std::size_t i = 0; i + 1 < cross.size(); ++i) {
                winding = evenOdd ? winding ^ 1 : winding + cross[i].second;
                if (winding == 0) continue;
                // Dots whose centres lie between this crossing and the next.
                const auto from = static_cast<std::int64_t>(std::ceil(cross[i].first - 0.5));
                const auto to = static_cast<std::int64_t>(std::ceil(cross[i + 1].first - 0.5));
                for (std::int64_t x = std::max(from, left); x < to && x - left < width; ++x) {
                    const std::int64_t c = x - left;
                    bits[static_cast<std::size_t>(r) * rowBytes + c / 8] |=
                        static_cast<std::uint8_t>(0x80 >> (c % 8));
                }
            }
        }
        return true;
    };
    if (each) {
        for (const Polygon& p : polygons)
            if (!scan({&p})) break;
    } else {
        std::vector<const Polygon*> all;
        for (const Polygon& p : polygons) all.push_back(&p);
        scan(all);
    }
    const auto units = [dpi](std::int64_t dots) {
        return static_cast<JobUnits>(dots * kUnitsPerInch / dpi);
    };
    builder.addDots(units(left), units(top), dpi, dpi, width, height, rowBytes, bits.data());
}

void PxlPath::fill(JobPageBuilder& builder, bool evenOdd, std::int32_t dpi,
                   std::int64_t& work) const {
    std::vector<Polygon> polygons;
    const double k = double(dpi) / kUnitsPerInch;
    for (const Subpath& s : subpaths_) {
        if (s.points.size() < 3) continue;
        Polygon p;
        for (const Point& q : s.points) p.push_back(Point{q.x * k, q.y * k});
        polygons.push_back(std::move(p));
    }
    if (!polygons.empty()) paint(builder, polygons, evenOdd, false, dpi, work);
}

void PxlPath::stroke(JobPageBuilder& builder, double penWidth, std::int32_t dpi,
                     std::int64_t& work) const {
    const double k = double(dpi) / kUnitsPerInch;
    const double half = std::max(penWidth * k, 1.0) / 2;
    std::vector<Polygon> polygons;
    for (const Subpath& s : subpaths_) {
        const std::size_t n = s.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const Point a{s.points[i].x * k, s.points[i].y * k};
            polygons.push_back(Polygon{{a.x - half, a.y - half},
                                       {a.x + half, a.y - half},
                                       {a.x + half, a.y + half},
                                       {a.x - half, a.y + half}});
            if (i + 1 == n && !s.closed) break;
            const Point& e = s.points[(i + 1) % n];
            const Point b{e.x * k, e.y * k};
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (len <= 0) continue;
            const double nx = -(b.y - a.y) / len * half, ny = (b.x - a.x) / len * half;
            polygons.push_back(Polygon{{a.x + nx, a.y + ny},
                                       {b.x + nx, b.y + ny},
                                       {b.x - nx, b.y - ny},
                                       {a.x - nx, a.y - ny}});
        }
    }
    if (!polygons.empty()) paint(builder, polygons, false, true, dpi, work);
}

}  // namespace folvek::printer
