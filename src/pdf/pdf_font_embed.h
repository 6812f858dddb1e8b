// Writing a used font into the PDF: the subset of its glyphs that the pages drew (HarfBuzz's
// subsetter, glyph ids kept), a one-byte CMap from Windows-1251 bytes to those glyphs, the
// widths, and a ToUnicode map so that every byte extracts as its Unicode character.
#pragma once

#include <string>

#include "pdf_font.h"
#include "pdf_objects.h"

namespace folvek {

// Writes the Type0 font (numbered `font.objectNumber`, given one when 0) and the objects it refers
// to. False with `error` set when the subset cannot be made.
bool embedFont(PdfObjects& objects, PdfFont& font, std::string* error);

}  // namespace folvek
