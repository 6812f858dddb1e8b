// Drawing one text row: style tags switch fonts, pseudo-graphic bytes become lines, the rest
// is collected into runs that are drawn on the column grid.
#pragma once

#include <cstdint>

#include "device_context.h"
#include "document_record.h"

namespace folvek {

struct RowInput {
    const char* text = "";        // the strip to draw, NUL-terminated
    const char* above = nullptr;  // the same strip of the line above, null when there is none
    const char* below = nullptr;
    // Box codes (box_cells.h) of the bytes of text, above and below; null for a line without
    // box characters. A box character is drawn from its own arms.
    const std::uint8_t* boxes = nullptr;
    const std::uint8_t* aboveBoxes = nullptr;
    const std::uint8_t* belowBoxes = nullptr;
    bool doubleBars = false;      // 0xA6 is a double vertical (a text converted from 866)
    std::uint16_t style = 0;      // style in effect at the strip's start
    std::uint8_t prefixByte = 0;  // the byte before a continuation strip, else 0
    std::int32_t rowTop = 0;
};

void paintRow(const DocumentRecord& record, DeviceContext& dc, const RowInput& row);

// Cuts `line` (copied into buf, 1025 bytes) to strip `strip` of record.charsPerLine columns.
// Returns the strip's start inside buf; `style` gains the tags before it; `prefix` receives
// the byte before a continuation strip.
const char* cutStrip(const DocumentRecord& record, const char* line, std::int32_t strip, char* buf,
                     std::uint16_t& style, std::uint8_t* prefix);

}  // namespace folvek
