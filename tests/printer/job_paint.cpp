// Painting job pages into bit canvases for pixel comparisons in tests.
#include "job_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace folvek::printer::test {
namespace {

int toPixel(double units, int dpi) {
    return static_cast<int>(
        std::ceil(units * dpi / kUnitsPerInch - 0.5));  // first centre at or after
}

void fill(BitCanvas& c, int x0, int y0, int x1, int y1) {
    for (int y = std::max(y0, 0); y < std::min(y1, c.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, c.width); ++x) c.set(x, y);
}

// Pixels [p0, p1) whose centres a dot's span covers; a span narrower than a pixel paints the
// pixel its middle falls in.
void span(double u0, double u1, int dpi, int& p0, int& p1) {
    p0 = toPixel(u0, dpi);
    p1 = toPixel(u1, dpi);
    if (p1 <= p0) {
        p0 = static_cast<int>(std::floor((u0 + u1) / 2 * dpi / kUnitsPerInch));
        p1 = p0 + 1;
    }
}

bool inkNear(const BitCanvas& c, int x, int y, int t) {
    for (int dy = -t; dy <= t; ++dy)
        for (int dx = -t; dx <= t; ++dx)
            if (c.at(x + dx, y + dy)) return true;
    return false;
}

}  // namespace

long BitCanvas::inkCount() const {
    long n = 0;
    for (auto p : px) n += p;
    return n;
}

BitCanvas paintPage(const JobPage& page, int dpi) {
    return paintPage(page, dpi, toPixel(page.width, dpi), toPixel(page.height, dpi));
}

BitCanvas paintPage(const JobPage& page, int dpi, int width, int height) {
    return paintPage(page, dpi, dpi, width, height);
}

BitCanvas paintPage(const JobPage& page, int dpiX, int dpiY, int width, int height) {
    BitCanvas c(width, height);
    for (const JobRaster& r : page.rasters) {
        const double dx = double(kUnitsPerInch) / r.dpiX, dy = double(kUnitsPerInch) / r.dpiY;
        for (int row = 0; row < r.height; ++row) {
            int y0, y1;
            span(r.y + row * dy, r.y + (row + 1) * dy, dpiY, y0, y1);
            const std::uint8_t* bits = r.bits.data() + std::size_t(row) * r.rowBytes;
            for (int col = 0; col < r.width; ++col) {
                if (!(bits[col / 8] & (0x80 >> (col % 8)))) continue;
                int x0, x1;
                span(r.x + col * dx, r.x + (col + 1) * dx, dpiX, x0, x1);
                fill(c, x0, y0, x1, y1);
            }
        }
    }
    for (const JobRule& r : page.rules)
        fill(c, toPixel(r.x, dpiX), toPixel(r.y, dpiY), toPixel(r.x + r.width, dpiX),
             toPixel(r.y + r.height, dpiY));
    return c;
}

BitCanvas readPbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0;
    in >> magic;
    auto skip = [&] {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string line;
            std::getline(in, line);
            in >> std::ws;
        }
    };
    skip();
    in >> w;
    skip();
    in >> h;
    if (magic != "P4" || w <= 0 || h <= 0 || !in) return {};
    in.get();  // the one whitespace byte before the data
    const int rowBytes = (w + 7) / 8;
    std::vector<char> data(std::size_t(rowBytes) * h);
    in.read(data.data(), std::streamsize(data.size()));
    if (!in) return {};
    BitCanvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<unsigned char>(data[std::size_t(y) * rowBytes + x / 8]) &
                (0x80 >> (x % 8)))
                c.set(x, y);
    return c;
}

bool writePbm(const BitCanvas& c, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P4\n%d %d\n", c.width, c.height);
    const int rowBytes = (c.width + 7) / 8;
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes));
    for (int y = 0; y < c.height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < c.width; ++x)
            if (c.at(x, y)) row[std::size_t(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

long mismatches(const BitCanvas& a, const BitCanvas& b, int tolerance) {
    long n = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) && !inkNear(b, x, y, tolerance)) ++n;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.at(x, y) && !inkNear(a, x, y, tolerance)) ++n;
    return n;
}

int tightestTolerance(const BitCanvas& a, const BitCanvas& b, int maxTolerance) {
    for (int t = 0; t <= maxTolerance; ++t)
        if (mismatches(a, b, t) == 0) return t;
    return -1;
}

}  // namespace folvek::printer::test
