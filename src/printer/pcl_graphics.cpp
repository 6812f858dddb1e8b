// PCL 5 graphics commands: positions in PCL units, raster pictures and rectangle fills. A solid
// fill is a rule; a shaded or cross-hatched fill is drawn as the printer draws it, a 300-dot
// pattern clipped to the rectangle; white and user-defined fills are not drawn.
#include <algorithm>
#include <cmath>
#include <vector>

#include "pcl_interpreter.h"

namespace folvek::printer {
namespace {

constexpr JobUnits kDecipoint = kUnitsPerInch / 720;
constexpr int kPatternDpi = 300;
constexpr JobUnits kPatternDot = kUnitsPerInch / kPatternDpi;
constexpr std::int64_t kMaxPatternDots = std::int64_t{100} * 1000 * 1000;
// Every pattern repeats each 16 dots across and down (the dither each 8).
constexpr int kPatternPeriod = 16;

// An 8 x 8 ordered dither: a dot is inked when its threshold is below the shade.
constexpr int kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// The printers' shading levels for a requested percentage.
int shadeLevel(int percent) {
    if (percent <= 0) return 0;
    if (percent <= 2) return 2;
    if (percent <= 10) return 10;
    if (percent <= 20) return 20;
    if (percent <= 35) return 30;
    if (percent <= 55) return 45;
    if (percent <= 80) return 70;
    if (percent <= 99) return 90;
    return 100;
}

// Ink of a fill pattern at a dot of the sheet: kind 2 shading (value a level), 3 cross-hatch
// (1 horizontal, 2 vertical, 3 and 4 diagonal, 5 square, 6 diagonal cross).
bool patternInk(int kind, int value, std::int64_t x, std::int64_t y) {
    if (kind == 2) return kBayer[y & 7][x & 7] < value * 64 / 100;
    constexpr int kLine = 2;
    const auto m = [](std::int64_t a) {
        return static_cast<int>(((a % kPatternPeriod) + kPatternPeriod) % kPatternPeriod);
    };
    const bool h = m(y) < kLine, v = m(x) < kLine;
    const bool d1 = m(x + y) < kLine, d2 = m(x - y) < kLine;
    switch (value) {
        case 1:
            return h;
        case 2:
            return v;
        case 3:
            return d1;
        case 4:
            return d2;
        case 5:
            return h || v;
        case 6:
            return d1 || d2;
        default:
            return false;
    }
}

}  // namespace

void PclInterpreter::fieldStar(const PclCommand& f) {
    const double v = f.value;
    const double unit = static_cast<double>(kUnitsPerInch) / unitsPerInch_;
    switch (f.group) {
        case 'p':
            if (f.param == 'X') moveX(v * unit, f.signedValue);
            if (f.param == 'Y') moveY(v * unit, f.signedValue);
            return;
        case 't':
            if (f.param == 'R' && v > 0 && !raster_.active()) raster_.setResolution(v);
            return;
        case 'r':
        case 'b':
            fieldRaster(f);
            return;
        case 'c':
            fieldRectangle(f);
            return;
        default:
            return;
    }
}

void PclInterpreter::fieldRaster(const PclCommand& f) {
    const double v = f.value;
    if (f.group == 'r') {
        switch (f.param) {
            case 'A': {
                const bool atCursor = v == 1 || v == 3;
                const std::int64_t x = atCursor ? x_ : 0;
                raster_.start(sheetX(x), sheetY(y_),
                              static_cast<JobUnits>(geometry_.logicalWidth - x),
                              geometry_.paperHeight);
                return;
            }
            case 'S':
                if (!raster_.active()) raster_.setSourceWidth(v);
                return;
            case 'T':
                if (!raster_.active()) raster_.setSourceHeight(v);
                return;
            case 'B':
                endRaster();
                return;
            case 'C':
                endRaster();
                raster_.setCompression(0);
                return;
            default:  // F presentation: rows run across the logical page in every job we read
                return;
        }
    }
    switch (f.param) {
        case 'M':
            if (v >= 0 && v <= 9) raster_.setCompression(static_cast<int>(v));
            return;
        case 'W':
            if (!raster_.active())
                raster_.start(sheetX(0), sheetY(y_), geometry_.logicalWidth, geometry_.paperHeight);
            raster_.transfer(f.data);
            if (raster_.hadInk()) document_.features.graphics = true;
            return;
        case 'Y':
            if (!raster_.active()) {
                moveY(v * kUnitsPerInch / raster_.resolution(), true);
                return;
            }
            raster_.skipRows(v);
            return;
        default:
            return;
    }
}

void PclInterpreter::fieldRectangle(const PclCommand& f) {
    const double v = std::max(0.0, f.value);
    const double unit = static_cast<double>(kUnitsPerInch) / unitsPerInch_;
    const double limit = 100.0 * kUnitsPerInch;
    switch (f.param) {
        case 'A':
            rectWidth_ = static_cast<JobUnits>(std::min(v * unit, limit));
            return;
        case 'B':
            rectHeight_ = static_cast<JobUnits>(std::min(v * unit, limit));
            return;
        case 'H':
            rectWidth_ = static_cast<JobUnits>(std::min(v * kDecipoint, limit));
            return;
        case 'V':
            rectHeight_ = static_cast<JobUnits>(std::min(v * kDecipoint, limit));
            return;
        case 'G':
            patternId_ = static_cast<int>(std::min(v, 32767.0));
            return;
        case 'P':
            fillRectangle(f.intValue());
            return;
        case 'D':  // the ID of the font to download or delete
            softFonts_.setFontId(f.value);
            return;
        case 'E':  // the character code of the glyph to download
            softFonts_.setCharCode(f.value);
            return;
        case 'F':
            softFonts_.control(f.intValue());
            fontChanged(active_);
            return;
        default:
            return;
    }
}

// The rectangle's top-left corner is the cursor; it is clipped to the logical page and leaves
// the cursor where it was.
void PclInterpreter::fillRectangle(int fill) {
    endRaster();
    const std::int64_t left = x_, top = y_;
    const std::int64_t right = std::min<std::int64_t>(left + rectWidth_, geometry_.logicalWidth);
    const std::int64_t bottom = std::min<std::int64_t>(top + rectHeight_, geometry_.logicalHeight);
    if (right <= left || bottom <= top) return;
    const int level = shadeLevel(patternId_);
    if (fill == 0 || (fill == 2 && level == 100)) {
        builder_.addRule(sheetX(left), sheetY(top), static_cast<JobUnits>(right - left),
                         static_cast<JobUnits>(bottom - top));
        document_.features.graphics = true;
        return;
    }
    if ((fill != 2 && fill != 3) || (fill == 2 && level == 0) || (fill == 3 && patternId_ < 1) ||
        (fill == 3 && patternId_ > 6))
        return;
    // The pattern in 300-dot rows, anchored to the sheet so that fills side by side meet.
    const std::int64_t x0 = sheetX(left) / kPatternDot, y0 = sheetY(top) / kPatternDot;
    const std::int64_t x1 = sheetX(right) / kPatternDot, y1 = sheetY(bottom) / kPatternDot;
    const auto width = static_cast<std::int32_t>(x1 - x0);
    if (width <= 0 || y1 <= y0) return;
    const std::int32_t rowBytes = (width + 7) / 8;
    // Patterns cost time per dot: a job that shades more than a dozen whole sheets gets
    // the rest of its fills left out.
    patternDots_ += std::int64_t{width} * (y1 - y0);
    if (patternDots_ > kMaxPatternDots) {
        builder_.warn("shaded fills beyond what paper holds were not drawn");
        return;
    }
    const int value = fill == 2 ? level : patternId_;
    // A row of the fill is two bytes in turn, and its rows repeat from the 17th on.
    std::uint8_t period[kPatternPeriod][2] = {};
    for (int r = 0; r < kPatternPeriod; ++r)
        for (int half = 0; half < 2; ++half)
            for (int i = 0; i < 8; ++i)
                if (patternInk(fill, value, x0 + 8 * half + i, y0 + r))
                    period[r][half] |= static_cast<std::uint8_t>(0x80 >> i);
    const auto lastMask = static_cast<std::uint8_t>(0xFF << ((8 - width % 8) % 8));
    constexpr std::int64_t kChunk = 256;
    std::vector<std::uint8_t> bits;
    for (std::int64_t y = y0; y < y1; y += kChunk) {
        const std::int64_t rows = std::min(kChunk, y1 - y);
        bits.resize(static_cast<std::size_t>(rows * rowBytes));
        for (std::int64_t r = 0; r < rows; ++r) {
            const std::uint8_t* pair = period[(y - y0 + r) % kPatternPeriod];
            std::uint8_t* row = bits.data() + r * rowBytes;
            for (std::int32_t j = 0; j < rowBytes; ++j) row[j] = pair[j & 1];
            row[rowBytes - 1] &= lastMask;
        }
        builder_.addDots(static_cast<JobUnits>(x0 * kPatternDot),
                         static_cast<JobUnits>(y * kPatternDot), kPatternDpi, kPatternDpi, width,
                         static_cast<std::int32_t>(rows), rowBytes, bits.data());
    }
    document_.features.graphics = true;
}

}  // namespace folvek::printer
