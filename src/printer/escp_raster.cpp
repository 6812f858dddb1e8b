// ESC/P2 raster graphics: ESC . (band of rows at its own density, plain or run-length coded)
// and ESC i (raster lines of graphics mode at the ESC ( D resolution, 1 or 2 bits a dot).
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {

// Reads `size` bytes of image data: compression 0 as they stand, 1 run-length coded (a count
// below 128 is followed by count + 1 bytes, one above by a byte repeated 257 - count times).
// False when the job ends first (what was read is kept, the rest is blank).
bool EscPReader::unpack(int compression, std::size_t size, std::vector<std::uint8_t>& out) {
    out.assign(size, 0);
    std::size_t done = 0;
    if (compression == 0) {
        const std::size_t n = std::min(size, in_.size() - pos_);
        std::copy_n(in_.data() + pos_, n, out.begin());
        skip(n);
        return n == size;
    }
    while (done < size) {
        if (!have(2)) {
            pos_ = in_.size();
            return false;
        }
        const std::uint8_t count = next();
        if (count < 128) {
            const std::size_t run = count + 1u;
            const std::size_t n = std::min(run, size - done);
            const std::size_t got = std::min(n, in_.size() - pos_);
            std::copy_n(in_.data() + pos_, got, out.begin() + static_cast<std::ptrdiff_t>(done));
            if (!have(run)) {
                pos_ = in_.size();
                return false;
            }
            skip(run);
            done += n;
        } else {
            const std::uint8_t b = next();
            const std::size_t n = std::min<std::size_t>(257u - count, size - done);
            std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(done), n, b);
            done += n;
        }
    }
    return true;
}

// ESC . c v h m nL nH: m rows of n dots at 3600/v x 3600/h dpi.
void EscPReader::rasterDot() {
    if (!need(6)) return;
    const std::uint8_t c = next(), v = next(), h = next(), m = next();
    const std::size_t n = word();
    const std::size_t rowBytes = (n + 7) / 8;
    if (c > 1) {
        builder_.warn("TIFF-coded raster graphics (ESC . 2) are not drawn");
        return;
    }
    if (!unpack(c, rowBytes * m, packed_))
        builder_.warn("graphics data runs past the end of the job");
    if (v == 0 || h == 0 || n == 0 || m == 0) {
        builder_.warn("raster graphics of no density were skipped");
        return;
    }
    const std::int32_t dpiX = 3600 / h, dpiY = 3600 / v;
    if (dpiX == 0 || dpiY == 0) return;
    placeRaster(dpiX, dpiY, static_cast<std::int32_t>(n), m, static_cast<std::int32_t>(rowBytes),
                packed_.data());
    advanceX(static_cast<std::int64_t>(n) * kUnitsPerInch / dpiX);
}

// ESC i r c b nL nH m: m raster lines of n bytes, b bits a dot; every colour plane prints black.
void EscPReader::rasterLines() {
    if (!need(6)) return;
    skip(1);  // colour
    const std::uint8_t c = next(), bits = next();
    const std::size_t bytes = word();
    const std::uint8_t m = next();
    if (c > 1) {
        builder_.warn("TIFF-coded raster graphics (ESC i) are not drawn");
        return;
    }
    if (!unpack(c, bytes * m, packed_)) builder_.warn("graphics data runs past the end of the job");
    if (bytes == 0 || m == 0) return;
    std::size_t dots = bytes * 8;
    if (bits == 2) {
        // Two bits a dot (the dot size): any nonzero size is ink.
        dots = bytes * 4;
        const std::size_t outBytes = (dots + 7) / 8;
        scratch_.assign(outBytes * m, 0);
        for (std::size_t r = 0; r < m; ++r)
            for (std::size_t d = 0; d < dots; ++d)
                if ((packed_[r * bytes + d / 4] >> (6 - 2 * (d % 4))) & 3)
                    scratch_[r * outBytes + d / 8] |= static_cast<std::uint8_t>(0x80 >> (d % 8));
        placeRaster(st_.rasterDpiX, st_.rasterDpiY, static_cast<std::int32_t>(dots), m,
                    static_cast<std::int32_t>(outBytes), scratch_.data());
    } else {
        placeRaster(st_.rasterDpiX, st_.rasterDpiY, static_cast<std::int32_t>(dots), m,
                    static_cast<std::int32_t>(bytes), packed_.data());
    }
    advanceX(static_cast<std::int64_t>(dots) * kUnitsPerInch / st_.rasterDpiX);
}

}  // namespace folvek::printer
