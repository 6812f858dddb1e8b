// Telling a PCL job from an Epson report by its frame: HP has every job writer send the reset
// ESC E first and last (inside the job language's lines, if any), while an Epson report that
// starts with ESC E (bold) turns bold off again with ESC F and does not end on ESC E.
#pragma once

#include <cstddef>

namespace folvek {

// `head` is the file's start, `tail` its last bytes (the same bytes for a short file).
bool framedByPclReset(const unsigned char* head, std::size_t headLen, const unsigned char* tail,
                      std::size_t tailLen);

}  // namespace folvek
