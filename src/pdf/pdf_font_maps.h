// The maps written beside an embedded font, from the Windows-1251 bytes the pages drew: the
// one-byte CMap from each byte to its glyph id (the CID of a Type0 font, the subset keeping the
// glyph ids), the ToUnicode map from each byte to its character, and a CID font's widths. Maps
// come in blocks of at most 100 entries, as a CMap's begincidchar and beginbfchar allow.
#pragma once

#include <string>

#include "pdf_font.h"

namespace folvek {

// The character a byte prints as through `uni` (a byte -> Unicode table): control characters
// (DEL too) print as blanks.
char16_t printedUnicode(const char16_t* uni, int byte);

// The encoding CMap named `name`: each used byte to its glyph id.
std::string encodingCMap(const PdfFont& f, const std::string& name);

// The ToUnicode CMap: each used byte to the character it prints as.
std::string toUnicodeCMap(const PdfFont& f);

// The /W array of a CID font: each used glyph once, with its advance in thousandths of an em.
std::string cidWidths(const PdfFont& f);

}  // namespace folvek
