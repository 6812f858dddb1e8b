// Bitmap fonts a PCL job downloads (ESC *c#D, ESC )s#W header, ESC *c#E, ESC (s#W glyphs): the
// Windows LaserJet drivers print their text this way, with character codes that name the
// font's own glyphs rather than letters, so the glyphs themselves are what gets printed.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

struct PclGlyph {
    std::int32_t left = 0, top = 0;  // from the cursor to the bitmap's top-left, dots
    std::int32_t width = 0, height = 0, rowBytes = 0;
    std::int32_t advanceQuarterDots = 0;  // proportional fonts
    std::vector<std::uint8_t> bits;
};

struct PclSoftFont {
    bool proportional = false;
    bool permanent = false;  // kept through a reset (ESC *c5F)
    std::int32_t dpi = 300;
    std::int32_t pitchQuarterDots = 0;  // the advance of a fixed-pitch font (and the space)
    std::map<int, PclGlyph> glyphs;
};

class PclSoftFonts {
  public:
    // Bounds on what a job may download: fonts, and bytes of glyphs in all of them.
    static constexpr std::size_t kMaxFonts = 256;
    static constexpr std::size_t kMaxBytes = std::size_t{32} << 20;

    void setFontId(double id);
    void setCharCode(double code);
    // Returns false when the data is not a bitmap font or glyph we draw (or beyond the bounds).
    bool header(std::string_view data);
    bool glyph(std::string_view data);
    // ESC *c#F: 0 deletes all, 1 the temporary ones, 2 the current font, 3 the current
    // character, 4 and 5 make the current font temporary or permanent.
    void control(int operation);
    void clear();
    // A reset deletes the temporary fonts.
    void reset();

    const PclSoftFont* find(int id) const;
    int fontId() const { return fontId_; }

  private:
    std::map<int, PclSoftFont> fonts_;
    int fontId_ = 0, charCode_ = 0;
    std::size_t bytes_ = 0;
    // A glyph whose bitmap goes on in continuation blocks.
    PclGlyph* open_ = nullptr;
    std::size_t openFilled_ = 0;
};

// The advance of a glyph (or of a code the font lacks) in JobUnits.
JobUnits pclSoftAdvance(const PclSoftFont& font, const PclGlyph* glyph);

}  // namespace folvek::printer
