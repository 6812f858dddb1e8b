// Decoding PCL raster rows and collecting them into pictures. Rows are kept in blocks that
// start at the first row with ink and end after a long blank stretch, so a page of scattered
// pictures does not become one page-sized bitmap; rows below the sheet are dropped.
#include "pcl_raster.h"

#include <algorithm>
#include <cstring>

#include "page_builder.h"

namespace folvek::printer {
namespace {

constexpr std::int64_t kBlankRowsSplit = 64;  // a blank stretch this long ends a block
constexpr std::int32_t kMaxRowDots = 65536;   // widest row kept, whatever the job says

// Reads the extension bytes of a count or offset: each 255 adds and asks for one more.
std::size_t extend(std::string_view data, std::size_t& i, std::size_t value) {
    while (i < data.size()) {
        const auto b = static_cast<unsigned char>(data[i++]);
        value += b;
        if (b != 255) break;
    }
    return value;
}

void runLength(std::string_view data, std::vector<std::uint8_t>& row) {
    std::size_t out = 0;
    for (std::size_t i = 0; i + 1 < data.size() && out < row.size(); i += 2) {
        const std::size_t count = static_cast<unsigned char>(data[i]) + std::size_t{1};
        const std::size_t n = std::min(count, row.size() - out);
        std::memset(row.data() + out, static_cast<unsigned char>(data[i + 1]), n);
        out += n;
    }
}

void packBits(std::string_view data, std::vector<std::uint8_t>& row) {
    std::size_t out = 0, i = 0;
    while (i < data.size() && out < row.size()) {
        const auto control = static_cast<signed char>(data[i++]);
        if (control >= 0) {
            const std::size_t count = std::min<std::size_t>(control + 1, data.size() - i);
            const std::size_t n = std::min(count, row.size() - out);
            std::memcpy(row.data() + out, data.data() + i, n);
            out += n;
            i += count;
        } else if (control != -128 && i < data.size()) {
            const std::size_t n = std::min<std::size_t>(1 - control, row.size() - out);
            std::memset(row.data() + out, static_cast<unsigned char>(data[i++]), n);
            out += n;
        }
    }
}

void deltaRow(std::string_view data, std::vector<std::uint8_t>& row) {
    std::size_t out = 0, i = 0;
    while (i < data.size()) {
        const auto control = static_cast<unsigned char>(data[i++]);
        const std::size_t count = (control >> 5) + std::size_t{1};
        std::size_t offset = control & 31;
        if (offset == 31) offset = extend(data, i, offset);
        out += offset;
        for (std::size_t k = 0; k < count && i < data.size(); ++k, ++out, ++i)
            if (out < row.size()) row[out] = static_cast<unsigned char>(data[i]);
        if (out >= row.size()) return;
    }
}

void replacementDelta(std::string_view data, std::vector<std::uint8_t>& row) {
    std::size_t out = 0, i = 0;
    while (i < data.size()) {
        const auto control = static_cast<unsigned char>(data[i++]);
        const bool run = (control & 0x80) != 0;
        std::size_t offset = run ? (control >> 5) & 3 : (control >> 3) & 15;
        if (offset == (run ? 3u : 15u)) offset = extend(data, i, offset);
        std::size_t count = run ? (control & 31) : (control & 7);
        if (count == (run ? 31u : 7u)) count = extend(data, i, count);
        count += run ? 2 : 1;
        out += offset;
        if (run) {
            if (i >= data.size()) return;
            const auto value = static_cast<unsigned char>(data[i++]);
            for (std::size_t k = 0; k < count && out < row.size(); ++k) row[out++] = value;
            if (out >= row.size()) return;
            continue;
        }
        for (std::size_t k = 0; k < count && i < data.size(); ++k, ++out, ++i)
            if (out < row.size()) row[out] = static_cast<unsigned char>(data[i]);
        if (out >= row.size()) return;
    }
}

bool blank(const std::uint8_t* row, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        if (row[i]) return false;
    return true;
}

}  // namespace

bool pclDecodeRow(int mode, std::string_view data, std::vector<std::uint8_t>& row) {
    switch (mode) {
        case 0:
            std::fill(row.begin(), row.end(), 0);
            if (!data.empty())
                std::memcpy(row.data(), data.data(), std::min(data.size(), row.size()));
            return true;
        case 1:
            std::fill(row.begin(), row.end(), 0);
            runLength(data, row);
            return true;
        case 2:
            std::fill(row.begin(), row.end(), 0);
            packBits(data, row);
            return true;
        case 3:
            deltaRow(data, row);
            return true;
        case 9:
            replacementDelta(data, row);
            return true;
        default:
            return false;
    }
}

void PclRaster::setResolution(double dpi) {
    // The printers round to the resolutions they have.
    constexpr int kResolutions[] = {75, 100, 150, 200, 300, 600};
    int chosen = 75;
    for (int r : kResolutions)
        if (dpi >= r) chosen = r;
    dpi_ = chosen;
}

void PclRaster::setSourceWidth(double dots) {
    sourceWidth_ = dots <= 0 ? 0 : static_cast<std::int32_t>(std::min<double>(dots, kMaxRowDots));
}

void PclRaster::setSourceHeight(double rows) {
    sourceHeight_ = rows <= 0 ? 0 : static_cast<std::int32_t>(std::min<double>(rows, 1e9));
}

void PclRaster::resetSettings() {
    dpi_ = 75;
    compression_ = 0;
    sourceWidth_ = sourceHeight_ = 0;
}

void PclRaster::start(JobUnits x, JobUnits y, JobUnits maxWidth, JobUnits pageBottom) {
    if (active_) end();
    active_ = true;
    x_ = x;
    y_ = y;
    pageBottom_ = pageBottom;
    const JobUnits dot = kUnitsPerInch / dpi_;
    std::int32_t width = std::max<std::int32_t>(1, maxWidth / dot);
    if (sourceWidth_ > 0) width = std::min(width, sourceWidth_);
    width_ = std::min(width, kMaxRowDots);
    rowBytes_ = (width_ + 7) / 8;
    seed_.assign(static_cast<std::size_t>(rowBytes_), 0);
    rowIndex_ = 0;
    block_.clear();
    blockRows_ = trailingBlank_ = 0;
}

std::int64_t PclRaster::rowTop(std::int64_t index) const {
    return y_ + index * (kUnitsPerInch / dpi_);
}

JobUnits PclRaster::nextRowY() const {
    return static_cast<JobUnits>(std::min<std::int64_t>(rowTop(rowIndex_), pageBottom_));
}

void PclRaster::transfer(std::string_view data) {
    if (!active_) return;
    if (compression_ == 5) {
        adaptive(data);
        return;
    }
    if (!pclDecodeRow(compression_, data, seed_)) {
        builder_.warn("raster rows in an unknown compression mode were left out");
        std::fill(seed_.begin(), seed_.end(), 0);
    }
    addRow(seed_);
}

// Adaptive compression: each entry is a mode byte and a two-byte length; modes 0 to 3 carry one
// row, 4 stands for that many blank rows and 5 for that many copies of the last row.
void PclRaster::adaptive(std::string_view data) {
    std::size_t i = 0;
    while (i + 3 <= data.size()) {
        const int mode = static_cast<unsigned char>(data[i]);
        const std::size_t length = static_cast<unsigned char>(data[i + 1]) * std::size_t{256} +
                                   static_cast<unsigned char>(data[i + 2]);
        i += 3;
        if (mode <= 3) {
            const std::size_t n = std::min(length, data.size() - i);
            pclDecodeRow(mode, data.substr(i, n), seed_);
            i += n;
            addRow(seed_);
        } else if (mode == 4 || mode == 5) {
            if (mode == 4) std::fill(seed_.begin(), seed_.end(), 0);
            const std::int64_t pageRows = pageBottom_ / (kUnitsPerInch / dpi_) + 1;
            for (std::size_t k = 0; k < length && rowIndex_ <= pageRows; ++k) addRow(seed_);
        } else {
            builder_.warn("raster rows in an unknown compression mode were left out");
            return;
        }
    }
}

void PclRaster::skipRows(double rows) {
    if (!active_ || rows <= 0) return;
    std::fill(seed_.begin(), seed_.end(), 0);
    const std::int64_t pageRows = pageBottom_ / (kUnitsPerInch / dpi_) + 1;
    const auto n = static_cast<std::int64_t>(std::min<double>(rows, static_cast<double>(pageRows)));
    if (blockRows_ > 0) {
        if (n + trailingBlank_ > kBlankRowsSplit) {
            flush();
        } else {
            for (std::int64_t k = 0; k < n; ++k) addRow(seed_);
            return;
        }
    }
    rowIndex_ = std::min(rowIndex_ + n, pageRows + 1);
}

void PclRaster::addRow(const std::vector<std::uint8_t>& row) {
    const std::int64_t index = rowIndex_++;
    if (sourceHeight_ > 0 && index >= sourceHeight_) return;
    const std::int64_t top = rowTop(index);
    if (top >= pageBottom_ || top < 0) {
        if (!blank(row.data(), row.size()))
            builder_.warn("raster rows beyond the edge of the page were clipped");
        return;
    }
    const bool isBlank = blank(row.data(), row.size());
    if (isBlank) {
        if (blockRows_ == 0) return;
        if (trailingBlank_ >= kBlankRowsSplit) {
            flush();
            return;
        }
        ++trailingBlank_;
    } else {
        trailingBlank_ = 0;
        hadInk_ = true;
        if (blockRows_ == 0) blockStart_ = index;
    }
    block_.insert(block_.end(), row.begin(), row.end());
    ++blockRows_;
}

void PclRaster::flush() {
    const std::int64_t rows = blockRows_ - trailingBlank_;
    if (rows > 0) {
        const auto top = static_cast<JobUnits>(rowTop(blockStart_));
        builder_.addDots(x_, top, dpi_, dpi_, width_, static_cast<std::int32_t>(rows), rowBytes_,
                         block_.data());
    }
    block_.clear();
    blockRows_ = trailingBlank_ = 0;
}

JobUnits PclRaster::end() {
    if (!active_) return y_;
    flush();
    active_ = false;
    return nextRowY();
}

}  // namespace folvek::printer
