// Writing a used font into the PDF: the subset of its glyphs that the pages drew (HarfBuzz's
// subsetter, glyph ids kept), the widths, and a ToUnicode map so that every byte extracts as its
// Unicode character. The font is a simple font whose Windows-1251 bytes name their glyphs in its
// encoding, so that the text survives conversion to PostScript; a face whose glyphs cannot all
// be named that way is a Type0 font over a one-byte CMap from the bytes to its glyphs.
#pragma once

#include <string>

#include "pdf_font.h"
#include "pdf_objects.h"

namespace folvek {

// Writes the font (numbered `font.objectNumber`, given one when 0) and the objects it refers
// to. False with `error` set when the subset cannot be made.
bool embedFont(PdfObjects& objects, PdfFont& font, std::string* error);

}  // namespace folvek
