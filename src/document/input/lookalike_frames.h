// Frames in Windows-1251 text written with the look-alikes that DOS box characters become when
// a report is converted to 1251 (by this program's own rewrite and by converters like it):
// '-' and '=' for the horizontals, '|' and 0xA6 for the verticals, 0xE3 and 0xAC at the top
// corners and '+' at every other corner, tee and cross. The plain line rules cannot join all of
// them (a two-row box loses its sides), so each such frame gets the box codes that its DOS
// original would have had, worked out from which neighbours its cells reach.
#pragma once

#include <cstddef>

namespace folvek {

class LineStore;

// Files box codes for the frames of lines [from, end) that hold a look-alike top corner. Frames
// of '+' '-' '=' '|' alone keep the line rules: nothing is filed for them. True when the lines
// end apart from any frame: the last one can hold no frame cell and the last frame ended more
// lines before the end than a page break can span. Lines appended then, walked on their own,
// get the codes that one walk over all the lines would have given them.
bool fileLookalikeFrames(LineStore& lines, std::size_t from);

// True when no byte of these can be a cell of a look-alike frame nor reach one in the lines
// above and below: none of '|', '+', 0xA6 and the top corners.
bool holdsNoFrameCell(const char* text, std::size_t len);

}  // namespace folvek
