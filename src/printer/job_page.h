// A printer job's pages as the printer would have printed them: text runs at the printer's
// positions and raster pictures at their own dot density, in the job's own coordinates. The
// interpreters of the printer languages produce them; the renderer draws them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek::printer {

// Positions and sizes in 1/21600 inch: every step the languages use (1/60, 1/72, 1/80, 1/90,
// 1/120, 1/180, 1/216, 1/240, 1/300, 1/360, 1/600, 1/720 inch and the point) is a whole number
// of units, so moves add up exactly.
using JobUnits = std::int32_t;
constexpr JobUnits kUnitsPerInch = 21600;

enum class JobLanguage : std::uint8_t { None, EscP, EscP2, Proprinter, Pcl5, PclXl };

// Style of a text run; several may be set at once.
enum JobStyle : std::uint16_t {
    kJobBold = 1,
    kJobItalic = 2,
    kJobUnderline = 4,
    kJobDoubleStrike = 8,
    kJobSuperscript = 16,  // the run's cellHeight and y already make it small and raised
    kJobSubscript = 32,    // (or lowered): the bit only says what it is
    kJobProportional = 64,
    kJobOverline = 128,
};

// Characters printed one after another at one pitch and style. Character i stands at
// x + i * advance; y is the baseline. Each character's cell is advance wide and cellHeight
// tall (double width and double height are already in them); a printer's character box in
// the language's own terms is what the renderer scales its font into.
struct JobTextRun {
    JobUnits x = 0;
    JobUnits y = 0;
    JobUnits advance = 0;     // distance from one character to the next
    JobUnits cellHeight = 0;  // a capital plus descender, four fifths of the font's em
    std::uint16_t style = 0;  // JobStyle bits
    std::u32string text;      // Unicode, decoded through the job's own character table
};

// A 1-bit picture: width x height dots at dpiX x dpiY, its top-left corner at (x, y).
// Rows are top first, each rowBytes long, most significant bit leftmost, 1 = ink.
struct JobRaster {
    JobUnits x = 0;
    JobUnits y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dpiX = 0;
    std::int32_t dpiY = 0;
    std::int32_t rowBytes = 0;
    std::vector<std::uint8_t> bits;
};

// A filled black rectangle (PCL's rectangle fill, a rule).
struct JobRule {
    JobUnits x = 0, y = 0, width = 0, height = 0;
};

// One sheet of the job's own form: width is the carriage (or the PCL logical page), height the
// form length; items may lie partly outside, the renderer clips them.
struct JobPage {
    JobUnits width = 0;
    JobUnits height = 0;
    std::vector<JobTextRun> runs;
    std::vector<JobRaster> rasters;
    std::vector<JobRule> rules;
};

// What the interpreter saw, for choosing the layout and for --info.
struct JobFeatures {
    bool positions = false;    // absolute or relative moves, tab stops set, margins
    bool graphics = false;     // bit images or raster pictures
    bool formLength = false;   // a page length was set
    bool widthsMixed = false;  // text in more than one pitch, or double width/height
};

struct JobDocument {
    JobLanguage language = JobLanguage::None;
    JobFeatures features;
    std::vector<JobPage> pages;
    std::vector<std::string> warnings;  // bad input met and clipped; each said once
};

}  // namespace folvek::printer
