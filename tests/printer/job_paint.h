// For tests: a job page's pictures and rules painted into a 1-bit canvas at a chosen dpi, PBM
// files read and written, and two canvases compared with a tolerance of a few pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "job_page.h"

namespace folvek::printer::test {

struct BitCanvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> px;  // one byte per pixel, 1 = ink, rows top first

    BitCanvas() = default;
    BitCanvas(int w, int h) : width(w), height(h), px(std::size_t(w) * std::size_t(h), 0) {}
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && px[std::size_t(y) * width + x];
    }
    void set(int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) px[std::size_t(y) * width + x] = 1;
    }
    long inkCount() const;
};

// The page's pictures and rules at dpi, on a canvas of the page's size (text is not drawn).
BitCanvas paintPage(const JobPage& page, int dpi);
BitCanvas paintPage(const JobPage& page, int dpi, int width, int height);
BitCanvas paintPage(const JobPage& page, int dpiX, int dpiY, int width, int height);

// A raw PBM (P4) file; an empty canvas when it cannot be read.
BitCanvas readPbm(const std::string& path);
bool writePbm(const BitCanvas& canvas, const std::string& path);

// The ink of `a` that has no ink of `b` within `tolerance` pixels (both ways summed): what one
// canvas shows and the other does not.
long mismatches(const BitCanvas& a, const BitCanvas& b, int tolerance);

// The smallest tolerance (0 to maxTolerance) at which no pixel differs, or -1.
int tightestTolerance(const BitCanvas& a, const BitCanvas& b, int maxTolerance);

}  // namespace folvek::printer::test
