// The inline tags <B> <I> <U> </B> </I> </U> and walking a line by visible character.
// Tags stay in the stored text; they are never drawn and never count as characters.
#pragma once

#include <cstdint>

namespace folvek {

enum StyleFlag : std::uint16_t { kBold = 1, kItalic = 2, kUnderline = 4 };

// What tagAt finds at a byte: no tag (0, so that it tests false), an opening tag, or a closing
// one (ten more than the opening tag of the same style).
enum TagCode : int {
    kNoTag = 0,
    kOpenBold = 1,
    kOpenItalic = 2,
    kOpenUnderline = 3,
    kCloseBold = 11,
    kCloseItalic = 12,
    kCloseUnderline = 13,
};
TagCode tagAt(const char* p);
// Bytes the tag takes: "<B>" or "</B>".
inline int tagLength(int code) {
    return code >= kCloseBold ? 4 : 3;
}
// The tag at p applied to `style`; returns what tagAt returns.
int applyTag(const char* p, std::uint16_t& style);
int visibleLength(const char* line);
// Same result as visibleLength, but only the '<' bytes are inspected: for whole-document passes.
std::int32_t fastVisibleLength(const char* line);
char visibleCharAt(const char* line, int n);
const char* skipVisible(const char* line, int n, std::uint16_t& style);

}  // namespace folvek
