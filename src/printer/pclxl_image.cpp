// PCL XL images decoded block by block into 1-bit dots: a pixel is ink when its gray level is
// below half, which keeps the pure black and white that printer drivers send as they are.
#include "pclxl_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "page_builder.h"
#include "pcl_raster.h"

namespace folvek::printer {
namespace {

// No image row is wider than this many pixels, nor one block larger than this: far beyond
// any page a driver sends, small enough to keep memory bounded.
constexpr std::int64_t kMaxSourceWidth = 100000;
constexpr std::int64_t kMaxSourceHeight = 1000000;
constexpr std::size_t kMaxBlockBytes = std::size_t{64} << 20;
constexpr std::int32_t kMaxDpi = 5760;

}  // namespace

bool PxlImage::begin(const PxlImageHeader& header, const PxlColors& colors) {
    active_ = false;
    h_ = header;
    if (h_.sourceWidth <= 0 || h_.sourceHeight <= 0) {
        builder_.warn("a PCL XL image without a size was not printed");
        return false;
    }
    if (h_.sourceWidth > kMaxSourceWidth || h_.sourceHeight > kMaxSourceHeight) {
        builder_.warn("a PCL XL image larger than any page was not printed");
        return false;
    }
    if (h_.bits != 1 && h_.bits != 4 && h_.bits != 8) {
        builder_.warn("a PCL XL image of an unknown color depth was not printed");
        return false;
    }
    const double dx = h_.sourceWidth * double(kUnitsPerInch) / std::max(h_.destWidth, 1.0);
    const double dy = h_.sourceHeight * double(kUnitsPerInch) / std::max(h_.destHeight, 1.0);
    if (!(dx >= 0.5 && dx <= kMaxDpi && dy >= 0.5 && dy <= kMaxDpi) || h_.destWidth <= 0 ||
        h_.destHeight <= 0) {
        builder_.warn("a PCL XL image scaled beyond what a printer draws was not printed");
        return false;
    }
    dpiX_ = static_cast<std::int32_t>(std::lround(dx));
    dpiY_ = static_cast<std::int32_t>(std::lround(dy));
    // A density that is no whole number of dots an inch: the image is scaled to the device's
    // dots, each dot taking the source pixel under its centre.
    scaled_ = std::abs(dx - dpiX_) > 1e-3 || std::abs(dy - dpiY_) > 1e-3;
    if (scaled_) {
        const std::int32_t dpi = h_.deviceDpi > 0 ? h_.deviceDpi : 300;
        outWidth_ = std::max<std::int64_t>(1, std::lround(h_.destWidth * dpi / kUnitsPerInch));
        outHeight_ = std::max<std::int64_t>(1, std::lround(h_.destHeight * dpi / kUnitsPerInch));
        if (outWidth_ > kMaxSourceWidth || outHeight_ > kMaxSourceHeight ||
            (outWidth_ + 7) / 8 * outHeight_ > static_cast<std::int64_t>(kMaxBlockBytes)) {
            builder_.warn("a PCL XL image larger than any page was not printed");
            return false;
        }
        sourceColumn_.resize(static_cast<std::size_t>(outWidth_));
        for (std::int64_t o = 0; o < outWidth_; ++o)
            sourceColumn_[static_cast<std::size_t>(o)] =
                static_cast<std::int32_t>((2 * o + 1) * h_.sourceWidth / (2 * outWidth_));
        dpiX_ = dpiY_ = dpi;
    }
    const int channels = h_.indexed ? 1 : colors.channels;
    bitsPerPixel_ = h_.bits * channels;
    rowBytes_ = static_cast<std::size_t>((h_.sourceWidth * bitsPerPixel_ + 7) / 8);
    // Gray levels of every pixel value: through the palette, or the value scaled to 255.
    levels_.clear();
    if (channels == 1) {
        const int values = 1 << h_.bits;
        for (int v = 0; v < values; ++v) {
            if (h_.indexed && !colors.palette.empty())
                levels_.push_back(static_cast<std::size_t>(v) < colors.palette.size()
                                      ? colors.palette[static_cast<std::size_t>(v)]
                                      : 255);
            else
                levels_.push_back(v * 255 / (values - 1));
        }
    }
    seed_.assign(rowBytes_, 0);
    nextLine_ = 0;
    active_ = true;
    return true;
}

bool PxlImage::inkAt(const std::uint8_t* row, std::int64_t x) const {
    if (!levels_.empty()) {
        int v = 0;
        if (h_.bits == 8) {
            v = row[x];
        } else {
            const std::int64_t bit = x * h_.bits;
            v = (row[bit >> 3] >> (8 - h_.bits - (bit & 7))) & ((1 << h_.bits) - 1);
        }
        return levels_[static_cast<std::size_t>(v)] < 128;
    }
    // RGB, direct: the gray a monochrome printer prints for it.
    int c[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const std::int64_t i = x * 3 + k;
        if (h_.bits == 8) {
            c[k] = row[i];
        } else {
            const std::int64_t bit = i * h_.bits;
            const int max = (1 << h_.bits) - 1;
            c[k] = ((row[bit >> 3] >> (8 - h_.bits - (bit & 7))) & max) * 255 / max;
        }
    }
    return c[0] * 30 + c[1] * 59 + c[2] * 11 < 128 * 100;
}

void PxlImage::emit(std::int64_t startLine, std::int64_t rows, const std::vector<std::uint8_t>& raw,
                    std::size_t stride) {
    const auto width = static_cast<std::int32_t>(h_.sourceWidth);
    const std::int32_t outBytes = (width + 7) / 8;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(outBytes) * rows, 0);
    const bool plain = h_.bits == 1 && levels_.size() == 2;
    const bool ink0 = plain && levels_[0] < 128, ink1 = plain && levels_[1] < 128;
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::uint8_t* in = raw.data() + static_cast<std::size_t>(r) * stride;
        std::uint8_t* out = bits.data() + static_cast<std::size_t>(r) * outBytes;
        if (plain) {  // one bit a pixel: the bytes as they are, inverted or solid
            for (std::int32_t j = 0; j < outBytes; ++j)
                out[j] = ink1 ? (ink0 ? 0xFF : in[j]) : (ink0 ? std::uint8_t(~in[j]) : 0);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x)
            if (inkAt(in, x)) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
    if (scaled_) {
        emitScaled(startLine, rows, bits, outBytes);
        return;
    }
    const double perRow = h_.destHeight / double(h_.sourceHeight);
    const JobUnits y = h_.y + static_cast<JobUnits>(std::lround(startLine * perRow));
    builder_.addDots(h_.x, y, dpiX_, dpiY_, width, static_cast<std::int32_t>(rows), outBytes,
                     bits.data());
}

void PxlImage::emitScaled(std::int64_t startLine, std::int64_t rows,
                          const std::vector<std::uint8_t>& bits, std::int32_t rowBytes) {
    const std::int64_t srcH = h_.sourceHeight;
    // The device rows whose centres fall on the source rows of this block.
    const std::int64_t first = (2 * startLine * outHeight_ + srcH - 1) / (2 * srcH);
    const std::int64_t last =
        std::min(outHeight_, (2 * (startLine + rows) * outHeight_ + srcH - 1) / (2 * srcH));
    if (last <= first) return;
    const auto outBytes = static_cast<std::int32_t>((outWidth_ + 7) / 8);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(outBytes) * (last - first), 0);
    for (std::int64_t oy = first; oy < last; ++oy) {
        const std::int64_t sy = std::clamp<std::int64_t>(
            (2 * oy + 1) * srcH / (2 * outHeight_) - startLine, 0, rows - 1);
        const std::uint8_t* in = bits.data() + static_cast<std::size_t>(sy) * rowBytes;
        std::uint8_t* o = out.data() + static_cast<std::size_t>(oy - first) * outBytes;
        for (std::int64_t ox = 0; ox < outWidth_; ++ox) {
            const std::int32_t sx = sourceColumn_[static_cast<std::size_t>(ox)];
            if (in[sx >> 3] & (0x80 >> (sx & 7)))
                o[ox >> 3] |= static_cast<std::uint8_t>(0x80 >> (ox & 7));
        }
    }
    const JobUnits y = h_.y + static_cast<JobUnits>(first * kUnitsPerInch / dpiY_);
    builder_.addDots(h_.x, y, dpiX_, dpiY_, static_cast<std::int32_t>(outWidth_),
                     static_cast<std::int32_t>(last - first), outBytes, out.data());
}

void PxlImage::block(std::int64_t startLine, std::int64_t rows, int compression, int padBytes,
                     std::string_view data) {
    if (!active_) return;
    if (startLine < 0) startLine = nextLine_;
    if (startLine >= h_.sourceHeight || rows <= 0) return;
    if (rows > h_.sourceHeight - startLine) {
        builder_.warn("PCL XL image rows past the image's height were not printed");
        rows = h_.sourceHeight - startLine;
    }
    nextLine_ = startLine + rows;
    if (padBytes < 1 || padBytes > 4) padBytes = 4;
    const std::size_t padded = (rowBytes_ + padBytes - 1) / padBytes * padBytes;
    if (padded * static_cast<std::size_t>(rows) > kMaxBlockBytes) {
        builder_.warn("a PCL XL image block larger than memory allows was not printed");
        return;
    }
    std::vector<std::uint8_t> raw;
    std::size_t stride = padded;
    switch (compression) {
        case 0:
            raw.assign(padded * static_cast<std::size_t>(rows), 0);
            if (data.size() < raw.size())
                builder_.warn("a PCL XL image block was shorter than its rows");
            std::memcpy(raw.data(), data.data(), std::min(data.size(), raw.size()));
            break;
        case 1:  // PackBits over the whole block, rows padded as when uncompressed
            raw.assign(padded * static_cast<std::size_t>(rows), 0);
            pclDecodeRow(2, data, raw);
            break;
        case 3: {  // each row: its byte count (2 bytes) and delta commands against the seed
            stride = rowBytes_;
            raw.assign(rowBytes_ * static_cast<std::size_t>(rows), 0);
            std::size_t at = 0;
            for (std::int64_t r = 0; r < rows; ++r) {
                if (data.size() - at < 2) {
                    builder_.warn("a PCL XL image block was shorter than its rows");
                    rows = r;
                    break;
                }
                const std::size_t n = static_cast<std::uint8_t>(data[at]) |
                                      std::size_t{static_cast<std::uint8_t>(data[at + 1])} << 8;
                at += 2;
                const std::size_t take = std::min(n, data.size() - at);
                pclDecodeRow(3, data.substr(at, take), seed_);
                at += take;
                std::copy(seed_.begin(), seed_.end(),
                          raw.begin() + static_cast<std::ptrdiff_t>(r * rowBytes_));
            }
            break;
        }
        default:
            builder_.warn(
                "a PCL XL image in a compression that is not read (JPEG) was not printed");
            return;
    }
    if (rows > 0) emit(startLine, rows, raw, stride);
}

}  // namespace folvek::printer
