// The state of an Epson-style printer while it reads a job: the form and the print position,
// tab stops, pitch and print modes, character tables. ESC/P (9-pin and 24-pin), ESC/P2 and the
// IBM Proprinter dialect share it; what differs between them is kept in EscPModel.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "char_tables.h"
#include "job_page.h"

namespace folvek::printer {

// What the printer is: the dialect and whether its head has 9 or 24 pins (units of ESC 3,
// ESC J, ESC A and the dot height of bit images follow from it).
struct EscPModel {
    JobLanguage dialect = JobLanguage::EscP;
    bool pins24 = false;
    bool proprinter() const { return dialect == JobLanguage::Proprinter; }
    bool escp2() const { return dialect == JobLanguage::EscP2; }
    // Vertical movement units of ESC 3 / ESC J: 1/216 inch on 9 pins, 1/180 on 24.
    JobUnits feedUnit() const { return pins24 ? 120 : 100; }
    // The finest vertical step of bit images: dots are painted at this density.
    std::int32_t graphicsDpiY() const { return pins24 ? 360 : 216; }
};

// A character table slot of ESC t: italic (the upper half prints the lower half in italics)
// or a code page.
struct EscPTableSlot {
    bool italic = false;
    CharTable table = CharTable::Pc437;
};

struct EscPState {
    // Form, in units from the top of the sheet and from its left edge.
    JobUnits pageLength = 11 * kUnitsPerInch;
    JobUnits topMargin = 0;    // where printing starts after a form feed
    JobUnits bottomLimit = 0;  // a line feed past it starts the next sheet (0: page length)
    JobUnits leftMargin = 0;
    JobUnits rightMargin = 0;  // set by the reader from the carriage
    JobUnits x = 0, y = 0;     // y is the top of the head (the top of a character's box)
    JobUnits lineSpacing = kUnitsPerInch / 6;
    JobUnits storedSpacing = 0;  // Proprinter ESC A, applied by ESC 2
    JobUnits skipPerforation = 0;

    // Tab stops, absolute; empty and defaultTabs: every 8 characters from the left margin.
    std::vector<JobUnits> hTabs;
    bool defaultTabs = true;
    std::vector<JobUnits> vTabs;  // from the top of the sheet

    // Pitch and print modes.
    int cpi = 10;  // 10, 12 or 15
    bool condensed = false;
    bool proportional = false;
    bool doubleWidth = false;      // ESC W
    bool doubleWidthLine = false;  // SO: until the line ends
    bool doubleHeight = false;
    JobUnits hmi = 0;          // ESC c / ESC X pitch: the advance itself, 0 when unset
    JobUnits extraSpace = 0;   // ESC SP
    JobUnits pointHeight = 0;  // ESC X point size: the character box (4/5 of it), 0 when unset
    std::uint16_t style = 0;   // JobStyle bits
    std::uint8_t underlineMode = 0;

    // Character tables.
    std::array<EscPTableSlot, 4> slots{};
    int slot = 1;
    int international = 0;            // ESC R
    bool upperControlsPrint = false;  // ESC 6

    // ESC/P2 graphics.
    bool graphicsMode = false;             // ESC ( G
    JobUnits unit = kUnitsPerInch / 360;   // ESC ( U: ESC ( V/v/C/c, ESC $ and ESC \ in ESC/P2
    JobUnits unitH = kUnitsPerInch / 360;  // its horizontal unit: ESC ( $
    bool unitSet = false;
    std::int32_t rasterDpiX = 360, rasterDpiY = 360;    // ESC ( D
    std::array<std::uint8_t, 4> klyzModes{0, 1, 2, 3};  // ESC ? reassigns ESC K/L/Y/Z
};

}  // namespace folvek::printer
