// The inline tags <B> <I> <U> </B> </I> </U> and walking a line by visible character.
// Tags stay in the stored text; they are never drawn and never count as characters.
#pragma once

#include <cstdint>

namespace folvek {

enum StyleFlag : std::uint16_t { kBold = 1, kItalic = 2, kUnderline = 4 };

// Tag codes: 1..3 open bold/italic/underline, 11..13 close them, 0 no tag.
int tagAt(const char* p);
inline int tagLength(int code) {
    return code > 10 ? 4 : 3;
}
int applyTag(const char* p, std::uint16_t& style);
int visibleLength(const char* line);
char visibleCharAt(const char* line, int n);
const char* skipVisible(const char* line, int n, std::uint16_t& style);

}  // namespace folvek
