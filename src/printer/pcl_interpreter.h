// The PCL 5 reader's state and the printer's behaviour: the cursor on the logical page, margins,
// line and character spacing, the two fonts, raster pictures and rectangle fills, and the
// sheets they go onto. interpretPcl runs one over a whole job.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "job_interpreter.h"
#include "page_builder.h"
#include "pcl_font.h"
#include "pcl_page.h"
#include "pcl_raster.h"
#include "pcl_scanner.h"

namespace folvek::printer {

class PclInterpreter {
  public:
    PclInterpreter(JobDocument& document, const JobOptions& options);
    void run(std::string_view job);

  private:
    // Bytes and commands.
    void text(unsigned char b);
    void printChar(char32_t c);
    void escape(unsigned char c);
    void field(const PclCommand& f);
    void fieldAmpersand(const PclCommand& f);
    void fieldPageControl(const PclCommand& f);  // ESC &l
    void fieldFont(const PclCommand& f, int which);
    void fieldStar(const PclCommand& f);
    void fieldRaster(const PclCommand& f);
    void fieldRectangle(const PclCommand& f);
    void universalExit(PclScanner& scanner);

    // The printer's actions.
    void reset();
    void resetPage();  // margins, text area and cursor after a new paper or orientation
    void ejectPage();
    void ejectIfMarked();
    void carriageReturn();
    void lineFeed();
    void formFeed();
    void horizontalTab();
    void backspace();
    void endRaster();
    void fillRectangle(int fill);

    // The cursor. x from the logical page's left edge, y from its top; both in JobUnits.
    void moveX(double units, bool relative);
    void moveY(double units, bool relative);  // absolute: from the top margin
    void home();
    void positioned() { document_.features.positions = true; }
    JobUnits sheetX(std::int64_t x) const;
    JobUnits sheetY(std::int64_t y) const;

    // Fonts.
    PclFont& activeFont() { return fonts_[active_]; }
    void fontChanged(int which);
    CharTable tableOf(const PclFont& font) const;
    JobUnits roundToUnit(double units) const;

    JobDocument& document_;
    const JobOptions& options_;
    JobPageBuilder builder_;
    PclRaster raster_;

    PclPaper paper_;
    int pageSize_ = 26;
    int orientation_ = 0;
    PclPageGeometry geometry_;
    JobUnits registerLeft_ = 0, registerTop_ = 0;  // ESC &l#U / #Z offsets

    JobUnits topMargin_ = 0, textLength_ = 0, leftMargin_ = 0, rightMargin_ = 0;
    JobUnits vmi_ = 0, hmi_ = 0;
    std::int64_t x_ = 0, y_ = 0;
    bool floating_ = true;  // the cursor is at home and follows the top margin and VMI
    std::vector<std::pair<std::int64_t, std::int64_t>> stack_;

    PclFont fonts_[2];
    int active_ = 0;  // 0 primary (SI), 1 secondary (SO)
    bool underline_ = false;
    int lineTermination_ = 0;
    bool perforationSkip_ = true;
    bool wrap_ = false;
    int unitsPerInch_ = 300;  // PCL unit, ESC &u#D

    // Rectangle fill: size and pattern.
    JobUnits rectWidth_ = 0, rectHeight_ = 0;
    int patternId_ = 0;
    std::int64_t patternDots_ = 0;  // dots of shaded fills drawn so far

    // What the text printed so far looked like, to tell mixed widths.
    JobUnits firstAdvance_ = 0, firstHeight_ = 0;
};

}  // namespace folvek::printer
