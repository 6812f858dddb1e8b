// The PCL 5 reader's state and the printer's behaviour: the cursor on the logical page, margins,
// line and character spacing, the two fonts, raster pictures and rectangle fills, and the
// sheets they go onto. interpretPcl runs one over a whole job.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "job_interpreter.h"
#include "page_builder.h"
#include "pcl_font.h"
#include "pcl_page.h"
#include "pcl_raster.h"
#include "pcl_scanner.h"
#include "pcl_soft_font.h"

namespace folvek::printer {

class PclInterpreter {
  public:
    PclInterpreter(JobDocument& document, const JobOptions& options);
    void run(std::string_view job);

  private:
    // What a macro call or an overlay saves and restores.
    struct Environment {
        PclFont fonts[2];
        int active = 0;
        bool underline = false, floating = false, wrap = false, perforationSkip = true;
        JobUnits hmi = 0, vmi = 0, left = 0, right = 0, top = 0, textLength = 0;
        JobUnits rectWidth = 0, rectHeight = 0;
        std::int64_t x = 0, y = 0;
        int lineTermination = 0, unitsPerInch = 300, patternId = 0;
    };
    struct Macro {
        std::string body;
        bool permanent = false;
    };

    static constexpr std::size_t kMaxMacroBytes = std::size_t{8} << 20;
    static constexpr int kMaxMacroDepth = 3;  // a macro may run macros two levels deep
    static constexpr std::size_t kMaxMacroWork = std::size_t{64} << 20;

    // Reads commands until the scanner's end; `source` is what the scanner reads.
    void execute(PclScanner& scanner, std::string_view source);
    // Macros (ESC &f#Y, ESC &f#X): definition, execution, call and the overlay.
    void macroControl(int operation);
    void runMacro(int id);
    void applyOverlay();
    Environment saveEnvironment() const;
    void restoreEnvironment(const Environment& e);

    // Bytes and commands.
    void text(unsigned char b);
    void printChar(char32_t c);
    void printGlyph(const PclSoftFont& font, unsigned char code);
    const PclSoftFont* softFont();
    void escape(unsigned char c);
    void field(const PclCommand& f);
    void fieldAmpersand(const PclCommand& f);
    void fieldPosition(const PclCommand& f);     // ESC &a
    void fieldPageControl(const PclCommand& f);  // ESC &l
    void fieldTextArea(const PclCommand& f);     // ESC &l
    void fieldFont(const PclCommand& f, int which);
    void fieldStar(const PclCommand& f);
    void fieldRaster(const PclCommand& f);
    void fieldRectangle(const PclCommand& f);
    void universalExit(PclScanner& scanner);
    void jobLanguage(PclScanner& scanner);

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
    PclSoftFonts softFonts_;

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

    std::map<int, Macro> macros_;
    std::size_t macroBytes_ = 0;
    int macroId_ = 0;
    bool defining_ = false;
    std::size_t defineStart_ = 0;
    int overlayId_ = -1;  // the macro run at the end of every page, -1 for none
    int macroDepth_ = 0;
    std::size_t macroWork_ = 0;  // bytes of macros run so far
    bool inOverlay_ = false;

    // What the text printed so far looked like, to tell mixed widths.
    JobUnits firstAdvance_ = 0, firstHeight_ = 0;
};

}  // namespace folvek::printer
