// One page of a printer job in the job's own units: pictures clipped to the form, rules, and the
// text runs, whose box-drawing characters are drawn from their arms on the printer's grid and
// joined to the rows above and below.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "box_painter.h"
#include "job_glyphs.h"
#include "job_places.h"
#include "job_sheet.h"

namespace folvek {

namespace {

using printer::JobPage;
using printer::JobRaster;
using printer::JobTextRun;
using printer::JobUnits;

// The cell's top lies this far above the baseline and its bottom below, in cells; a box
// character's lines cross in the cell's middle.
constexpr long double kCellAbove = kJobCellAbove, kCellBelow = kJobCellBelow;
constexpr long double kBoxMiddle = kCellAbove - 0.5L;
// Box rows further apart than this many cells do not join.
constexpr double kJoinReach = 2.5;

int toInt(long double v) {
    constexpr long double lo = std::numeric_limits<int>::min() / 2;
    constexpr long double hi = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(v, lo, hi));
}

class JobPainter {
  public:
    JobPainter(const JobPage& page, DeviceContext& dc, std::int64_t ox, std::int64_t oy, int pen,
               double emPerCell)
        : page_(page), dc_(dc), ox_(ox), oy_(oy), pen_(pen), emPerCell_(emPerCell) {}

    int x(long double jobX) const { return toInt(ox_ + jobX); }
    int y(long double jobY) const { return toInt(-(oy_ + jobY)); }

    void raster(const JobRaster& r);
    void rule(const printer::JobRule& r);
    void run(const JobTextRun& r, const LogFont& base);
    void collectBoxRows();

  private:
    JobUnits boxPitch(const JobTextRun& r) const;
    void block(BlockKind kind, long double left, long double width, const JobTextRun& r);

    const JobPage& page_;
    DeviceContext& dc_;
    std::int64_t ox_, oy_;
    int pen_;
    double emPerCell_;
    std::vector<JobUnits> boxRows_;  // baselines of the runs that hold box characters, sorted
};

void JobPainter::raster(const JobRaster& r) {
    if (r.width <= 0 || r.height <= 0 || r.dpiX <= 0 || r.dpiY <= 0 ||
        r.rowBytes < (r.width + 7) / 8 ||
        r.bits.size() < std::size_t(r.rowBytes) * std::size_t(r.height))
        return;
    const long double dotW = static_cast<long double>(printer::kUnitsPerInch) / r.dpiX;
    const long double dotH = static_cast<long double>(printer::kUnitsPerInch) / r.dpiY;
    // Only the rows and columns on the form are drawn.
    const long double firstRow = r.y < 0 ? std::ceil(-r.y / dotH) : 0;
    const long double endRow =
        std::min<long double>(r.height, std::floor((page_.height - r.y) / dotH));
    const long double columns =
        std::min<long double>(r.width, std::floor((page_.width - r.x) / dotW));
    if (page_.height <= 0) return;
    if (endRow <= firstRow || columns <= 0) return;
    const auto row0 = static_cast<std::int32_t>(firstRow);
    BitmapView view;
    view.width = static_cast<std::int32_t>(page_.width > 0 ? columns : r.width);
    view.height = static_cast<std::int32_t>(endRow) - row0;
    view.rowBytes = r.rowBytes;
    view.bits = r.bits.data() + std::size_t(row0) * std::size_t(r.rowBytes);
    const long double top = r.y + row0 * dotH;
    dc_.drawBitmap(x(r.x), y(top), toInt(view.width * dotW), toInt(-(view.height * dotH)), view);
}

void JobPainter::rule(const printer::JobRule& r) {
    const long double x1 = std::max<long double>(0, r.x), y1 = std::max<long double>(0, r.y);
    const long double x2 = std::min<long double>(page_.width, (long double)r.x + r.width);
    const long double y2 = std::min<long double>(page_.height, (long double)r.y + r.height);
    if (x2 <= x1 || y2 <= y1) return;
    dc_.fillRect(Rect{x(x1), y(y1), x(x2), y(y2)});
}

void JobPainter::collectBoxRows() {
    for (const JobTextRun& r : page_.runs)
        for (char32_t c : r.text)
            if (boxCodeOfUnicode(c)) {
                boxRows_.push_back(r.y);
                break;
            }
    std::sort(boxRows_.begin(), boxRows_.end());
    boxRows_.erase(std::unique(boxRows_.begin(), boxRows_.end()), boxRows_.end());
}

// The height of a box cell: the distance to the nearest row of box characters above or below,
// so that rows of one frame meet; a row on its own keeps its cell.
JobUnits JobPainter::boxPitch(const JobTextRun& r) const {
    const JobUnits cell = std::max<JobUnits>(1, r.cellHeight);
    const auto reach = static_cast<JobUnits>(cell * kJoinReach);
    JobUnits best = 0;
    const auto it = std::lower_bound(boxRows_.begin(), boxRows_.end(), r.y);
    const auto consider = [&](JobUnits d) {
        if (d > cell / 4 && d <= reach && (best == 0 || d < best)) best = d;
    };
    if (it != boxRows_.end()) {
        auto next = it;
        while (next != boxRows_.end() && *next - r.y <= cell / 4) ++next;
        if (next != boxRows_.end()) consider(*next - r.y);
    }
    if (it != boxRows_.begin()) consider(r.y - *(it - 1));
    return best ? best : cell;
}

void JobPainter::block(BlockKind kind, long double left, long double width, const JobTextRun& r) {
    const long double cell = std::max<JobUnits>(1, r.cellHeight);
    long double top = r.y - kCellAbove * cell, bottom = r.y + kCellBelow * cell;
    long double l = left, w = width;
    switch (kind) {
        case BlockKind::Upper:
            bottom = (top + bottom) / 2;
            break;
        case BlockKind::Lower:
            top = (top + bottom) / 2;
            break;
        case BlockKind::Left:
            w = width / 2;
            break;
        case BlockKind::Right:
            l = left + width / 2;
            w = width / 2;
            break;
        case BlockKind::Light:
        case BlockKind::Medium:
        case BlockKind::Dark: {
            // Shades as a dot pattern stretched over the cell.
            static const std::uint8_t light[4] = {0x88, 0x00, 0x22, 0x00};
            static const std::uint8_t medium[4] = {0xAA, 0x55, 0xAA, 0x55};
            static const std::uint8_t dark[4] = {0x77, 0xFF, 0xDD, 0xFF};
            BitmapView v;
            v.width = 8;
            v.height = 4;
            v.rowBytes = 1;
            v.bits = kind == BlockKind::Light ? light : kind == BlockKind::Medium ? medium : dark;
            dc_.drawBitmap(x(l), y(top), toInt(w), toInt(-(bottom - top)), v);
            return;
        }
        default:
            break;
    }
    dc_.fillRect(Rect{x(l), y(top), x(l + w), y(bottom)});
}

void JobPainter::run(const JobTextRun& r, const LogFont& base) {
    if (r.text.empty() || r.advance <= 0) return;
    const JobUnits cell = std::max<JobUnits>(1, r.cellHeight);
    // Characters past the form's right edge or a run wholly off the form are not printed.
    if (r.y - cell > page_.height || r.y < 0) return;
    std::size_t n = r.text.size();
    if (page_.width > 0) {
        const long double room = (static_cast<long double>(page_.width) - r.x) / r.advance;
        if (room < 1) return;
        n = std::min<std::size_t>(n, static_cast<std::size_t>(std::floor(room)));
    }
    std::string bytes(n, ' ');
    bool anyText = false, anyBox = false;
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = r.text[i];
        if (boxCodeOfUnicode(c)) {
            anyBox = true;
        } else if (const BlockKind k = blockKindOf(c); k != BlockKind::None) {
            block(k, r.x + static_cast<long double>(i) * r.advance, r.advance, r);
        } else if (c > U' ') {
            bytes[i] = static_cast<char>(ansiByteOf(c));
            anyText = true;
        }
    }
    if (anyText) {
        const LogFont f = jobRunFont(base, r, emPerCell_);
        dc_.selectFont(f);
        dc_.drawCells(bytes.data(), static_cast<int>(bytes.size()), x(r.x), y(r.y), r.advance);
        if (r.style & printer::kJobOverline) {
            const long double top = r.y - kCellAbove * cell;
            dc_.fillRect(Rect{x(r.x), y(top), x(r.x + static_cast<long double>(n) * r.advance),
                              y(top + std::max<long double>(1, cell / 14.0L))});
        }
    }
    if (anyBox) {
        const JobUnits pitch = boxPitch(r);
        RowGeometry row;
        row.leftMargin = static_cast<long double>(ox_) + r.x;
        row.charWidth = r.advance;
        row.lineHeight = std::max<JobUnits>(2, pitch);
        const long double middle = r.y - kBoxMiddle * cell;
        row.rowTop = y(middle - row.lineHeight / 2);
        dc_.selectPen(pen_);
        BoxPainter boxes(dc_, row);
        for (std::size_t i = 0; i < n; ++i)
            if (const std::uint8_t code = boxCodeOfUnicode(r.text[i]))
                boxes.cell(static_cast<std::int32_t>(i), code);
    }
}

}  // namespace

void drawJobPage(const JobPage& page, const LogFont& baseFont, double emPerCell, DeviceContext& dc,
                 std::int64_t originX, std::int64_t originY, int penWidth) {
    JobPainter painter(page, dc, originX, originY, penWidth, emPerCell);
    for (const JobRaster& r : page.rasters) painter.raster(r);
    for (const printer::JobRule& r : page.rules) painter.rule(r);
    painter.collectBoxRows();
    for (const JobTextRun& r : page.runs) painter.run(r, baseFont);
}

}  // namespace folvek
