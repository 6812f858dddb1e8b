// Bit images: ESC * in every density, ESC K/L/Y/Z and ESC ^, columns of 8, 9, 24 or 48 dots
// turned into rows and painted at the head's position; the head moves past them.
#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

struct Density {
    std::int32_t dpiX;
    int bytesPerColumn;  // 1: 8 dots, 3: 24 dots, 6: 48 dots
};

// ESC * m: 8-dot modes 0-7, 24-dot modes 32-40, 48-dot modes 71-73.
bool densityOf(int m, Density& d) {
    static constexpr std::int32_t k8[8] = {60, 120, 120, 240, 80, 72, 90, 144};
    if (m >= 0 && m < 8) {
        d = {k8[m], 1};
        return true;
    }
    switch (m) {
        case 32:
            d = {60, 3};
            return true;
        case 33:
            d = {120, 3};
            return true;
        case 38:
            d = {90, 3};
            return true;
        case 39:
            d = {180, 3};
            return true;
        case 40:
            d = {360, 3};
            return true;
        case 71:
            d = {180, 6};
            return true;
        case 72:
        case 73:
            d = {360, 6};
            return true;
        default:
            return false;
    }
}

// An 8 x 8 block of bits, most significant bit first, turned so that rows become columns.
void transpose8(std::uint8_t* b) {
    std::uint64_t x = 0;
    for (int i = 0; i < 8; ++i) x = x << 8 | b[i];
    std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x = x ^ t ^ (t << 28);
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(x >> (56 - 8 * i));
}

// A 9-pin printer's dot is about as wide as its pin, 1/72 inch: at 144 or 240 columns an inch
// it covers the next column too, and drivers leave out every other column of a row (the
// printer cannot fire a pin that fast). Each dot is drawn over `extra` columns to its right, so
// that such a row prints solid as on paper and not as a dashed line.
void widenDots(std::uint8_t* row, std::size_t rowBytes, std::size_t columns, int extra) {
    for (int e = 0; e < extra; ++e) {
        std::uint8_t carry = 0;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const std::uint8_t b = row[i];
            row[i] = static_cast<std::uint8_t>(b | (b >> 1) | carry);
            carry = static_cast<std::uint8_t>((b & 1) << 7);
        }
    }
    if (const std::size_t tail = columns % 8)
        row[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF00 >> tail);
}

}  // namespace

void EscPReader::bitImage(int mode) {
    if (!need(2)) return;
    const std::size_t columns = word();
    Density d{};
    if (!densityOf(mode, d)) {
        // Its data length follows the mode's dot height as the printer families number them.
        builder_.warn("a bit image of an unknown density was skipped");
        d = {60, mode < 32 ? 1 : mode < 64 ? 3 : 6};
        const std::size_t n =
            std::min(columns * static_cast<std::size_t>(d.bytesPerColumn), in_.size() - pos_);
        skip(n);
        return;
    }
    // 8-dot modes print every third pin of a 24-pin head (1/60 inch), 1/72 on 9 pins.
    const std::int32_t pinDpi = d.bytesPerColumn == 1   ? (model_.pins24 ? 60 : 72)
                                : d.bytesPerColumn == 3 ? 180
                                                        : 360;
    printColumns(d.dpiX, 8 * d.bytesPerColumn, d.bytesPerColumn, pinDpi, columns);
}

// ESC ^ m nL nH: 9-dot columns of two bytes each (the ninth dot is the top bit of the second).
void EscPReader::nineDotImage() {
    if (!need(3)) return;
    const std::uint8_t m = next();
    const std::size_t columns = word();
    printColumns(m & 1 ? 120 : 60, 9, 2, model_.pins24 ? 60 : 72, columns);
}

// Columns of pins, top pin in the most significant bit of each column's first byte, become
// rows of dots; each pin row covers the canvas rows its dot covers.
void EscPReader::printColumns(std::int32_t dpiX, int pinRows, int bytesPerColumn,
                              std::int32_t pinDpi, std::size_t columns) {
    doc_.features.graphics = true;
    std::size_t size = columns * static_cast<std::size_t>(bytesPerColumn);
    if (size > in_.size() - pos_) {
        builder_.warn("graphics data runs past the end of the job");
        columns = (in_.size() - pos_) / static_cast<std::size_t>(bytesPerColumn);
        size = in_.size() - pos_;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(in_.data() + pos_);
    skip(size);
    if (columns == 0) return;
    const std::int32_t canvasDpi =
        model_.graphicsDpiY() % pinDpi == 0 ? model_.graphicsDpiY() : pinDpi;
    const int repeat = canvasDpi / pinDpi;
    const std::size_t rowBytes = (columns + 7) / 8;
    const std::size_t stride = static_cast<std::size_t>(repeat) * rowBytes;  // one pin row
    scratch_.assign(rowBytes * static_cast<std::size_t>(pinRows) * static_cast<std::size_t>(repeat),
                    0);
    bool ink = false;
    // Eight columns at a time: byte k of each is an 8 x 8 block of dots, transposed into
    // pin rows 8k to 8k + 7.
    std::uint8_t block[8];
    const auto bpc = static_cast<std::size_t>(bytesPerColumn);
    for (std::size_t g = 0; g < rowBytes; ++g) {
        const std::size_t first = g * 8, count = std::min<std::size_t>(8, columns - first);
        for (std::size_t k = 0; k < bpc; ++k) {
            std::uint8_t any = 0;
            for (std::size_t i = 0; i < 8; ++i) {
                block[i] = i < count ? data[(first + i) * bpc + k] : 0;
                any |= block[i];
            }
            if (!any) continue;
            ink = true;
            transpose8(block);
            for (std::size_t p = 0; p < 8 && 8 * k + p < static_cast<std::size_t>(pinRows); ++p)
                scratch_[(8 * k + p) * stride + g] = block[p];
        }
    }
    if (ink) {
        // A dot 1/120 inch wide at least on 9 pins.
        const int extra = model_.pins24 ? 0 : (dpiX + 119) / 120 - 1;
        if (extra > 0)
            for (int p = 0; p < pinRows; ++p)
                widenDots(scratch_.data() + static_cast<std::size_t>(p) * stride, rowBytes, columns,
                          extra);
        for (int p = 0; p < pinRows; ++p) {
            const std::size_t first =
                static_cast<std::size_t>(p) * static_cast<std::size_t>(repeat) * rowBytes;
            for (int r = 1; r < repeat; ++r)
                std::copy_n(scratch_.begin() + static_cast<std::ptrdiff_t>(first), rowBytes,
                            scratch_.begin() + static_cast<std::ptrdiff_t>(
                                                   first + static_cast<std::size_t>(r) * rowBytes));
        }
        placeRaster(dpiX, canvasDpi, static_cast<std::int32_t>(columns), pinRows * repeat,
                    static_cast<std::int32_t>(rowBytes), scratch_.data());
    }
    advanceX(static_cast<std::int64_t>(columns) * (kUnitsPerInch / dpiX));
}

// The head moves right past printed dots; far past any carriage it stops.
void EscPReader::advanceX(std::int64_t dx) {
    st_.x = static_cast<JobUnits>(std::min<std::int64_t>(st_.x + dx, 40 * kUnitsPerInch));
}

void EscPReader::placeRaster(std::int32_t dpiX, std::int32_t dpiY, std::int32_t width,
                             std::int32_t rows, std::int32_t rowBytes, const std::uint8_t* bits) {
    doc_.features.graphics = true;
    builder_.addDots(st_.x, st_.y, dpiX, dpiY, width, rows, rowBytes, bits);
    noteRight(static_cast<JobUnits>(std::min<std::int64_t>(
        std::int64_t{st_.x} + std::int64_t{width} * kUnitsPerInch / dpiX, 40 * kUnitsPerInch)));
}

}  // namespace folvek::printer
