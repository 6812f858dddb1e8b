// PCL XL downloaded fonts: their headers and characters as the job sends them, and text set in
// them. Bitmap characters are drawn as dots at the font's own resolution; text in outline
// (TrueType) fonts is not drawn, and the caller warns once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

class JobPageBuilder;

class PxlFonts {
  public:
    explicit PxlFonts(JobPageBuilder& builder) : builder_(builder) {}

    // BeginFontHeader, ReadFontHeader (its data, possibly in several blocks), EndFontHeader.
    void beginHeader(std::string name);
    void headerData(std::string_view bytes);
    void endHeader();
    // BeginChar names the font the ReadChar blocks that follow belong to.
    void beginChars(std::string name) { charFont_ = std::move(name); }
    void readChar(std::uint32_t code, std::string_view bytes);
    void setFont(const std::string& name) { current_ = name; }
    void newPage() { drawn_ = 0; }

    // One character of the current font with its reference point at (x, y) on the page;
    // returns its width in JobUnits (used when the job gives no spacing), or -1 when the
    // current font is not one of bitmaps.
    JobUnits drawChar(std::uint32_t code, JobUnits x, JobUnits y);

  private:
    struct Glyph {
        std::int32_t left = 0, top = 0, width = 0, height = 0;
        std::vector<std::uint8_t> bits;
    };
    struct Font {
        bool bitmap = false;
        std::int32_t dpiX = 300, dpiY = 300;
        std::map<std::uint32_t, Glyph> glyphs;
    };

    JobPageBuilder& builder_;
    std::map<std::string, Font> fonts_;
    std::string headerName_, header_, charFont_, current_;
    std::size_t bytes_ = 0;  // glyph bitmaps kept, bounded
    std::size_t drawn_ = 0;  // glyph bytes drawn on this page, bounded
};

}  // namespace folvek::printer
