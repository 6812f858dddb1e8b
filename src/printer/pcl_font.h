// The primary and secondary fonts of a PCL 5 job as the font selection commands describe them,
// and what the page model needs of them: the character table, the advance, the size and the
// style bits.
#pragma once

#include <cstdint>

#include "char_tables.h"
#include "job_page.h"

namespace folvek::printer {

struct PclFont {
    int symbolSet = 0;          // value * 32 + letter - 64 (10U: 341); 0 before the job sets one
    bool proportional = false;  // ESC (s1P
    double pitch = 10;          // characters per inch of a fixed-pitch font
    double points = 12;         // height of a proportional font
    int style = 0;              // posture + 4 * width + 32 * structure
    int weight = 0;             // -7 thin .. 0 medium .. 7 black
    int typeface = 3;           // Courier
    int softFont = -1;          // the downloaded font selected by its ID, -1 for none
};

// The symbol set number of a value and its terminating letter (10 and U for 10U).
int pclSymbolSet(double value, unsigned char letter);

// The character table that prints a symbol set the way the job means it; `fallback` (the table
// the printer was set up with) for sets none of our tables covers.
CharTable pclCharTable(int symbolSet, CharTable fallback);

// The fixed-pitch advance of a font; a proportional font gets half its point size, the mean
// width of its letters, since the job carries no metrics of it.
JobUnits pclFontAdvance(const PclFont& font);
// The character box height the renderer scales its font into: a capital with its descender,
// four fifths of the point size (a fixed-pitch font's follows from its pitch, 12 points at 10
// characters per inch), as the ESC/P reader gives it.
JobUnits pclFontHeight(const PclFont& font);
// JobStyle bits of the font: bold from the stroke weight, italic from the posture.
std::uint16_t pclFontStyle(const PclFont& font);

}  // namespace folvek::printer
