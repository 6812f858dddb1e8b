// Downloaded PCL XL fonts. The font header and character data are big-endian, unlike the
// stream: a header of format 0 gives the scaling technology (254: bitmaps) and, in its "BR"
// segment, the bitmaps' resolution; a bitmap character (format 0, class 0) gives its left and
// top offsets from the reference point, its size and its rows, each padded to a byte.
#include "pclxl_fonts.h"

#include <algorithm>
#include <cmath>

#include "page_builder.h"

namespace folvek::printer {
namespace {

constexpr std::size_t kMaxHeaderBytes = 1 << 20;
constexpr std::size_t kMaxGlyphBytes = std::size_t{32} << 20;
constexpr std::size_t kMaxFonts = 256;
// Far more glyph bytes than a page of text draws (a full page of 6-point text is about 1 MB).
constexpr std::size_t kMaxDrawnPerPage = std::size_t{64} << 20;

std::uint32_t bigEndian(std::string_view b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

}  // namespace

void PxlFonts::beginHeader(std::string name) {
    headerName_ = std::move(name);
    header_.clear();
}

void PxlFonts::headerData(std::string_view bytes) {
    if (header_.size() + bytes.size() > kMaxHeaderBytes) {
        builder_.warn("a PCL XL font header larger than any font was left out");
        return;
    }
    header_.append(bytes);
}

void PxlFonts::endHeader() {
    if (fonts_.size() >= kMaxFonts && !fonts_.count(headerName_)) {
        builder_.warn("PCL XL fonts beyond the limit were left out");
        return;
    }
    Font font;
    font.bitmap = header_.size() >= 8 && static_cast<std::uint8_t>(header_[4]) == 254;
    // Segments after the 8-byte header: a two-letter name, a 4-byte size, the data.
    std::size_t at = 8;
    while (at + 6 <= header_.size()) {
        const std::string_view id = std::string_view(header_).substr(at, 2);
        const std::uint32_t size = bigEndian(header_, at + 2, 4);
        at += 6;
        if (size > header_.size() - at) break;
        if (id == "BR" && size >= 4) {
            font.dpiX = static_cast<std::int32_t>(bigEndian(header_, at, 2));
            font.dpiY = static_cast<std::int32_t>(bigEndian(header_, at + 2, 2));
        }
        at += size;
    }
    if (font.dpiX < 1 || font.dpiY < 1 || font.dpiX > 5760 || font.dpiY > 5760)
        font.dpiX = font.dpiY = 300;
    // A font sent again starts without characters: the old ones' bytes are free.
    if (const auto old = fonts_.find(headerName_); old != fonts_.end())
        for (const auto& [code, glyph] : old->second.glyphs)
            bytes_ -= std::min(bytes_, glyph.bits.size());
    fonts_[headerName_] = std::move(font);
    header_.clear();
}

void PxlFonts::readChar(std::uint32_t code, std::string_view bytes) {
    const auto f = fonts_.find(charFont_);
    if (f == fonts_.end() || !f->second.bitmap) return;
    if (bytes.size() < 10 || bytes[0] != 0 || bytes[1] != 0) {
        builder_.warn("a PCL XL character in a form that is not read was left out");
        return;
    }
    Glyph g;
    g.left = static_cast<std::int16_t>(bigEndian(bytes, 2, 2));
    g.top = static_cast<std::int16_t>(bigEndian(bytes, 4, 2));
    g.width = static_cast<std::int32_t>(bigEndian(bytes, 6, 2));
    g.height = static_cast<std::int32_t>(bigEndian(bytes, 8, 2));
    const std::size_t size = static_cast<std::size_t>((g.width + 7) / 8) * g.height;
    if (bytes.size() - 10 < size) {
        builder_.warn("a PCL XL character was shorter than its size");
        return;
    }
    // A character sent again replaces the old one, whose bytes are free from then on.
    const auto old = f->second.glyphs.find(code);
    const std::size_t freed = old == f->second.glyphs.end() ? 0 : old->second.bits.size();
    if (bytes_ - std::min(bytes_, freed) + size > kMaxGlyphBytes) {
        builder_.warn("PCL XL characters beyond the memory fonts may take were left out");
        return;
    }
    g.bits.assign(bytes.begin() + 10, bytes.begin() + 10 + static_cast<std::ptrdiff_t>(size));
    bytes_ = bytes_ - std::min(bytes_, freed) + size;
    f->second.glyphs[code] = std::move(g);
}

JobUnits PxlFonts::drawChar(std::uint32_t code, JobUnits x, JobUnits y) {
    const auto f = fonts_.find(current_);
    if (f == fonts_.end() || !f->second.bitmap) return -1;
    const Font& font = f->second;
    const auto g = font.glyphs.find(code);
    if (g == font.glyphs.end()) {
        builder_.warn("PCL XL text named characters its font does not hold");
        return 0;
    }
    const Glyph& c = g->second;
    drawn_ += c.bits.size();
    if (drawn_ > kMaxDrawnPerPage) {
        builder_.warn("a PCL XL page with more text than paper holds was cut short");
        return 0;
    }
    const double ux = double(kUnitsPerInch) / font.dpiX, uy = double(kUnitsPerInch) / font.dpiY;
    if (c.width > 0 && c.height > 0)
        builder_.addDots(x + static_cast<JobUnits>(std::lround(c.left * ux)),
                         y - static_cast<JobUnits>(std::lround(c.top * uy)), font.dpiX, font.dpiY,
                         c.width, c.height, (c.width + 7) / 8, c.bits.data());
    return static_cast<JobUnits>(std::lround(c.width * ux));
}

}  // namespace folvek::printer
