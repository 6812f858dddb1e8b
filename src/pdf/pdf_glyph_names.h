// Glyph names for the codes of a simple font's /Encoding: the names every PDF and PostScript
// reader maps back to Unicode, so that the text survives a trip through PostScript.
#pragma once

#include <string>

namespace folvek {

// The Adobe Glyph List name of printable ASCII ("space", "A", "zero"), "uniXXXX" for any other
// character of the Basic Multilingual Plane, ".notdef" for U+FFFD.
std::string glyphName(char16_t unicode);

}  // namespace folvek
