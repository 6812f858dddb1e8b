// The page builder: text runs joined character by character, dots painted into one canvas per
// density and page and cut into pictures at the page's end, bounds kept against hostile jobs.
#include "page_builder.h"

#include <algorithm>
#include <bit>

namespace folvek::printer {
namespace {

// Dots are painted on canvases at least this wide, whatever the form: the widest carriage.
constexpr JobUnits kMinCanvasWidth = 14 * kUnitsPerInch;
// More characters than any real page holds (overstrike loops aside).
constexpr std::int64_t kMaxCharsPerPage = 400000;
constexpr std::int32_t kMaxDpi = 5760;

std::int64_t toDots(JobUnits u, std::int32_t dpi) {
    const std::int64_t v = std::int64_t{u} * dpi;
    // Rounded to the nearest dot, toward minus infinity at halves, for negative values too.
    return (v >= 0 ? v + kUnitsPerInch / 2 : v - kUnitsPerInch / 2 + 1) / kUnitsPerInch;
}

JobUnits toUnits(std::int64_t dots, std::int32_t dpi) {
    return static_cast<JobUnits>((dots * kUnitsPerInch + dpi / 2) / dpi);
}

}  // namespace

struct JobPageBuilder::Canvas {
    std::int32_t dpiX = 0, dpiY = 0;
    std::int32_t bytesPerRow = 0;  // the canvas is bytesPerRow * 8 dots wide
    std::int32_t rowCount = 0;
    std::vector<std::vector<std::uint8_t>> rows;  // up to the lowest inked row; empty: no ink
};

JobPageBuilder::JobPageBuilder(JobDocument& document, const JobOptions& options)
    : document_(document), options_(options) {
    width_ = options.carriageWidth > 0 ? options.carriageWidth : 8 * kUnitsPerInch;
    height_ = options.pageLength > 0 ? options.pageLength : 11 * kUnitsPerInch;
    startPage();
}

JobPageBuilder::~JobPageBuilder() = default;

void JobPageBuilder::startPage() {
    page_ = JobPage{};
    page_.width = width_;
    page_.height = height_;
    canvases_.clear();
    rasterDots_ = 0;
    pageChars_ = 0;
}

void JobPageBuilder::setPageSize(JobUnits width, JobUnits height) {
    if (width > 0) width_ = width;
    if (height > 0) height_ = height;
    page_.width = width_;
    page_.height = height_;
}

void JobPageBuilder::addChar(JobUnits x, JobUnits y, JobUnits advance, JobUnits cellHeight,
                             std::uint16_t style, char32_t c) {
    if (dropping_) return;
    const JobUnits w = std::max(page_.width, kMinCanvasWidth);
    if (x < -kUnitsPerInch || x > w + kUnitsPerInch || y < -kUnitsPerInch ||
        y > page_.height + kUnitsPerInch) {
        warn("text beyond the paper was not printed");
        return;
    }
    if (++pageChars_ > kMaxCharsPerPage) {
        warn("a page with more characters than paper holds was cut short");
        return;
    }
    if (!page_.runs.empty()) {
        JobTextRun& r = page_.runs.back();
        if (r.y == y && r.advance == advance && r.cellHeight == cellHeight && r.style == style &&
            std::int64_t{r.x} + std::int64_t{advance} * std::int64_t(r.text.size()) == x) {
            r.text.push_back(c);
            return;
        }
    }
    JobTextRun r;
    r.x = x;
    r.y = y;
    r.advance = advance;
    r.cellHeight = cellHeight;
    r.style = style;
    r.text.push_back(c);
    page_.runs.push_back(std::move(r));
}

JobPageBuilder::Canvas& JobPageBuilder::canvasFor(std::int32_t dpiX, std::int32_t dpiY) {
    for (auto& c : canvases_)
        if (c->dpiX == dpiX && c->dpiY == dpiY) return *c;
    auto c = std::make_unique<Canvas>();
    c->dpiX = dpiX;
    c->dpiY = dpiY;
    const JobUnits w = std::max(page_.width, kMinCanvasWidth);
    c->bytesPerRow = static_cast<std::int32_t>((toDots(w, dpiX) + 7) / 8);
    c->rowCount = static_cast<std::int32_t>(std::max<std::int64_t>(1, toDots(page_.height, dpiY)));
    canvases_.push_back(std::move(c));
    return *canvases_.back();
}

void JobPageBuilder::addDots(JobUnits x, JobUnits y, std::int32_t dpiX, std::int32_t dpiY,
                             std::int32_t width, std::int32_t rows, std::int32_t rowBytes,
                             const std::uint8_t* bits) {
    if (dropping_ || width <= 0 || rows <= 0 || rowBytes <= 0 || !bits) return;
    if (dpiX <= 0 || dpiY <= 0 || dpiX > kMaxDpi || dpiY > kMaxDpi) {
        warn("graphics at an impossible density were not printed");
        return;
    }
    Canvas& cv = canvasFor(dpiX, dpiY);
    const std::int64_t col0 = toDots(x, dpiX);
    const std::int64_t row0 = toDots(y, dpiY);
    const std::int32_t usedBytes = std::min(rowBytes, (width + 7) / 8);
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xFF << ((8 - width % 8) % 8));
    const std::int64_t canvasDots = std::int64_t{cv.bytesPerRow} * 8;
    bool clipped = false;
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::int64_t cr = row0 + r;
        if (cr < 0 || cr >= cv.rowCount) {
            clipped = true;
            continue;
        }
        const std::uint8_t* src = bits + std::int64_t{r} * rowBytes;
        std::vector<std::uint8_t>* dest = nullptr;
        for (std::int32_t j = 0; j < usedBytes; ++j) {
            std::uint8_t b = src[j];
            if (j == usedBytes - 1 && (j + 1) * 8 > width) b &= lastMask;
            if (!b) continue;
            std::int64_t bit = col0 + std::int64_t{j} * 8;
            if (bit >= canvasDots) {
                clipped = true;
                break;
            }
            if (bit < 0) {
                clipped = true;
                if (bit <= -8) continue;
                b = static_cast<std::uint8_t>(b << -bit);
                bit = 0;
                if (!b) continue;
            }
            if (!dest) {
                if (static_cast<std::size_t>(cr) >= cv.rows.size())
                    cv.rows.resize(static_cast<std::size_t>(cr) + 1);
                dest = &cv.rows[static_cast<std::size_t>(cr)];
                if (dest->empty()) {
                    if (rasterDots_ + canvasDots > options_.maxRasterDotsPerPage) {
                        warn("graphics beyond the memory one page may take were not printed");
                        return;
                    }
                    rasterDots_ += canvasDots;
                    dest->assign(static_cast<std::size_t>(cv.bytesPerRow), 0);
                }
            }
            const auto db = static_cast<std::size_t>(bit >> 3);
            const int shift = static_cast<int>(bit & 7);
            (*dest)[db] |= static_cast<std::uint8_t>(b >> shift);
            if (shift && db + 1 < dest->size())
                (*dest)[db + 1] |= static_cast<std::uint8_t>(b << (8 - shift));
        }
    }
    if (clipped) warn("graphics beyond the paper were clipped");
}

void JobPageBuilder::addRule(JobUnits x, JobUnits y, JobUnits width, JobUnits height) {
    if (dropping_) return;
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t{x} + width, std::max(page_.width, kMinCanvasWidth));
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, page_.height);
    const JobUnits left = std::max(x, 0), top = std::max(y, 0);
    if (right <= left || bottom <= top) return;
    if (page_.rules.size() >= static_cast<std::size_t>(kMaxCharsPerPage)) {
        warn("a page with more rules than paper holds was cut short");
        return;
    }
    page_.rules.push_back(JobRule{left, top, static_cast<JobUnits>(right - left),
                                  static_cast<JobUnits>(bottom - top)});
}

// Each canvas becomes a picture per band of inked rows; bands part where at least a sixth of an
// inch stays blank, and each is cropped to its ink.
void JobPageBuilder::flushCanvases() {
    for (auto& cp : canvases_) {
        Canvas& cv = *cp;
        const std::int32_t gap = std::max(1, cv.dpiY / 6);
        const auto rowCount = static_cast<std::int32_t>(cv.rows.size());
        std::int32_t r = 0;
        while (r < rowCount) {
            if (cv.rows[static_cast<std::size_t>(r)].empty()) {
                ++r;
                continue;
            }
            const std::int32_t top = r;
            std::int32_t end = r + 1, blank = 0;
            for (std::int32_t k = r + 1; k < rowCount && blank < gap; ++k) {
                if (cv.rows[static_cast<std::size_t>(k)].empty()) {
                    ++blank;
                } else {
                    blank = 0;
                    end = k + 1;
                }
            }
            std::int32_t b0 = cv.bytesPerRow, b1 = 0;
            for (std::int32_t k = top; k < end; ++k) {
                const auto& row = cv.rows[static_cast<std::size_t>(k)];
                if (row.empty()) continue;
                std::int32_t a = 0, z = cv.bytesPerRow;
                while (a < z && !row[static_cast<std::size_t>(a)]) ++a;
                while (z > a && !row[static_cast<std::size_t>(z - 1)]) --z;
                if (a < z) b0 = std::min(b0, a), b1 = std::max(b1, z);
            }
            r = end;
            if (b0 >= b1) continue;
            std::uint8_t firstOr = 0, lastOr = 0;
            for (std::int32_t k = top; k < end; ++k) {
                const auto& row = cv.rows[static_cast<std::size_t>(k)];
                if (row.empty()) continue;
                firstOr |= row[static_cast<std::size_t>(b0)];
                lastOr |= row[static_cast<std::size_t>(b1 - 1)];
            }
            const std::int32_t first = b0 * 8 + std::countl_zero(firstOr);
            const std::int32_t last = (b1 - 1) * 8 + 7 - std::countr_zero(lastOr);
            JobRaster pic;
            pic.dpiX = cv.dpiX;
            pic.dpiY = cv.dpiY;
            pic.x = toUnits(first, cv.dpiX);
            pic.y = toUnits(top, cv.dpiY);
            pic.width = last - first + 1;
            pic.rowBytes = (pic.width + 7) / 8;
            pic.height = end - top;
            pic.bits.assign(static_cast<std::size_t>(pic.rowBytes) * pic.height, 0);
            const int shift = first % 8;
            for (std::int32_t k = top; k < end; ++k) {
                const auto& row = cv.rows[static_cast<std::size_t>(k)];
                if (row.empty()) continue;
                std::uint8_t* out = pic.bits.data() + std::int64_t{k - top} * pic.rowBytes;
                const std::uint8_t* in = row.data() + first / 8;
                const std::int32_t avail = b1 - first / 8;  // bytes of the row from `in` on
                for (std::int32_t j = 0; j < pic.rowBytes; ++j) {
                    const unsigned hi = j < avail ? in[j] : 0, lo = j + 1 < avail ? in[j + 1] : 0;
                    out[j] = static_cast<std::uint8_t>(((hi << 8 | lo) << shift) >> 8);
                }
                if (pic.width % 8)
                    out[pic.rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - pic.width % 8));
            }
            page_.rasters.push_back(std::move(pic));
        }
    }
    canvases_.clear();
    rasterDots_ = 0;
}

void JobPageBuilder::endPage() {
    flushCanvases();
    if (!dropping_ && document_.pages.size() >= static_cast<std::size_t>(options_.maxPages)) {
        warn("pages beyond the limit were not printed");
        dropping_ = true;
    }
    if (!dropping_) document_.pages.push_back(std::move(page_));
    startPage();
}

void JobPageBuilder::finish() {
    if (!pageEmpty()) endPage();
}

void JobPageBuilder::warn(const std::string& message) {
    auto& w = document_.warnings;
    if (std::find(w.begin(), w.end(), message) == w.end()) w.push_back(message);
}

bool JobPageBuilder::pageEmpty() const {
    return page_.runs.empty() && page_.rules.empty() && page_.rasters.empty() && rasterDots_ == 0;
}

bool JobPageBuilder::pageLimitReached() const {
    return dropping_ || document_.pages.size() >= static_cast<std::size_t>(options_.maxPages);
}

}  // namespace folvek::printer
