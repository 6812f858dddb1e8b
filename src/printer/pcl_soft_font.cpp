// Reading downloaded PCL bitmap fonts: the 64-byte font header (format 0, or 20 with its own
// resolution) and LaserJet character descriptors (format 4), plain or row-compressed, with
// continuation blocks for glyphs larger than one command carries.
#include "pcl_soft_font.h"

#include <algorithm>
#include <cmath>

namespace folvek::printer {
namespace {

constexpr std::int32_t kMaxGlyphDots = 16384;

int word(std::string_view d, std::size_t at) {
    return static_cast<unsigned char>(d[at]) << 8 | static_cast<unsigned char>(d[at + 1]);
}
int signedWord(std::string_view d, std::size_t at) {
    const int w = word(d, at);
    return w >= 0x8000 ? w - 0x10000 : w;
}

// Class 2 rows: a repeat count, then run lengths of white and black dots in turn.
void decompress(std::string_view data, PclGlyph& g) {
    std::size_t i = 0;
    std::int32_t row = 0;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(g.rowBytes));
    while (i < data.size() && row < g.height) {
        const int repeat = static_cast<unsigned char>(data[i++]) + 1;
        std::fill(line.begin(), line.end(), 0);
        std::int32_t x = 0;
        bool black = false;
        while (x < g.width && i < data.size()) {
            const int run = static_cast<unsigned char>(data[i++]);
            if (black)
                for (int k = 0; k < run && x + k < g.width; ++k)
                    line[static_cast<std::size_t>((x + k) / 8)] |=
                        static_cast<std::uint8_t>(0x80 >> ((x + k) % 8));
            x += run;
            black = !black;
        }
        for (int r = 0; r < repeat && row < g.height; ++r, ++row)
            std::copy(line.begin(), line.end(),
                      g.bits.begin() + static_cast<std::ptrdiff_t>(row) * g.rowBytes);
    }
}

}  // namespace

void PclSoftFonts::setFontId(double id) {
    fontId_ = static_cast<int>(std::clamp(id, 0.0, 32767.0));
}

void PclSoftFonts::setCharCode(double code) {
    charCode_ = static_cast<int>(std::clamp(code, 0.0, 65535.0));
}

bool PclSoftFonts::header(std::string_view d) {
    open_ = nullptr;
    if (d.size() < 64) return false;
    const int format = static_cast<unsigned char>(d[2]);
    if (format != 0 && format != 20) return false;
    if (fonts_.size() >= kMaxFonts && !fonts_.count(fontId_)) return false;
    PclSoftFont font;
    font.proportional = d[13] != 0;
    font.pitchQuarterDots = word(d, 16);
    if (format == 20 && d.size() >= 68) font.dpi = std::clamp(word(d, 64), 75, 1200);
    if (auto old = fonts_.find(fontId_); old != fonts_.end())
        for (const auto& [code, g] : old->second.glyphs) bytes_ -= g.bits.size();
    fonts_[fontId_] = std::move(font);
    return true;
}

bool PclSoftFonts::glyph(std::string_view d) {
    if (d.size() < 2 || d[0] != 4) return false;
    if (d[1] != 0) {  // continuation of the glyph before
        if (!open_) return false;
        const std::string_view more = d.substr(2);
        const std::size_t n = std::min(more.size(), open_->bits.size() - openFilled_);
        std::copy(more.begin(), more.begin() + static_cast<std::ptrdiff_t>(n),
                  open_->bits.begin() + static_cast<std::ptrdiff_t>(openFilled_));
        openFilled_ += n;
        return true;
    }
    open_ = nullptr;
    auto font = fonts_.find(fontId_);
    if (font == fonts_.end() || d.size() < 16) return false;
    const int descriptor = static_cast<unsigned char>(d[2]);
    const int klass = static_cast<unsigned char>(d[3]);
    if (descriptor < 14 || (klass != 1 && klass != 2)) return false;
    PclGlyph g;
    g.left = signedWord(d, 6);
    g.top = signedWord(d, 8);
    g.width = word(d, 10);
    g.height = word(d, 12);
    g.advanceQuarterDots = word(d, 14);
    if (g.width <= 0 || g.height <= 0 || g.width > kMaxGlyphDots || g.height > kMaxGlyphDots)
        return false;
    g.rowBytes = (g.width + 7) / 8;
    const std::size_t size = static_cast<std::size_t>(g.rowBytes) * g.height;
    if (bytes_ + size > kMaxBytes) return false;
    g.bits.assign(size, 0);
    const std::string_view data = d.substr(std::min<std::size_t>(d.size(), 2 + descriptor));
    PclGlyph& stored = font->second.glyphs[charCode_];
    bytes_ -= std::min(bytes_, stored.bits.size());
    if (klass == 2) {
        decompress(data, g);
    } else {
        const std::size_t n = std::min(data.size(), size);
        std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n), g.bits.begin());
        openFilled_ = n;
    }
    bytes_ += size;
    stored = std::move(g);
    if (klass == 1 && openFilled_ < size) open_ = &stored;
    return true;
}

void PclSoftFonts::control(int operation) {
    open_ = nullptr;
    if (operation == 0) {
        clear();
    } else if (operation == 1) {
        reset();
    } else if (operation == 4 || operation == 5) {
        if (auto f = fonts_.find(fontId_); f != fonts_.end()) f->second.permanent = operation == 5;
    } else if (operation == 2) {
        if (auto f = fonts_.find(fontId_); f != fonts_.end()) {
            for (const auto& [code, g] : f->second.glyphs) bytes_ -= g.bits.size();
            fonts_.erase(f);
        }
    } else if (operation == 3) {
        if (auto f = fonts_.find(fontId_); f != fonts_.end()) {
            if (auto g = f->second.glyphs.find(charCode_); g != f->second.glyphs.end()) {
                bytes_ -= g->second.bits.size();
                f->second.glyphs.erase(g);
            }
        }
    }
}

void PclSoftFonts::clear() {
    fonts_.clear();
    bytes_ = 0;
    open_ = nullptr;
}

void PclSoftFonts::reset() {
    open_ = nullptr;
    for (auto f = fonts_.begin(); f != fonts_.end();) {
        if (f->second.permanent) {
            ++f;
            continue;
        }
        for (const auto& [code, g] : f->second.glyphs) bytes_ -= g.bits.size();
        f = fonts_.erase(f);
    }
}

const PclSoftFont* PclSoftFonts::find(int id) const {
    const auto f = fonts_.find(id);
    return f == fonts_.end() ? nullptr : &f->second;
}

JobUnits pclSoftAdvance(const PclSoftFont& font, const PclGlyph* glyph) {
    const std::int32_t quarters =
        font.proportional && glyph ? glyph->advanceQuarterDots : font.pitchQuarterDots;
    return static_cast<JobUnits>(std::int64_t{quarters} * kUnitsPerInch / (4 * font.dpi));
}

}  // namespace folvek::printer
