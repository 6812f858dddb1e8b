// The starting style of every line: the flags in effect before its first byte, carried from
// the base font through every tag of the lines above it (across page breaks too).
#include "style_scan.h"

#include <cstring>

#include "document_record.h"
#include "style_tags.h"

namespace folvek {

std::uint16_t baseStyleFlags(const LogFont& font) {
    std::uint16_t flags = 0;
    if (font.weight != 400) flags |= kBold;
    if (font.italic) flags |= kItalic;
    if (font.underline) flags |= kUnderline;
    return flags;
}

void applyLineTags(const char* text, std::size_t len, std::uint16_t& flags) {
    const char* end = text + len;
    const char* p = text;
    // Tags are rare; jump from '<' to '<'.
    while (p < end && (p = static_cast<const char*>(std::memchr(p, '<', end - p))) != nullptr) {
        int code = applyTag(p, flags);
        p += code ? tagLength(code) : 1;
    }
}

void DocumentRecord::scanStyles() {
    std::uint16_t flags = baseStyleFlags(logFont);
    const std::size_t n = lines.size();
    for (std::size_t i = 0; i < n; ++i) {
        lines.setStyleAt(i, flags);
        const char* text = lines.textAt(i);
        applyLineTags(text, std::strlen(text), flags);
    }
    // A walk over the whole store leaves the cursor on the last line.
    lines.last();
}

}  // namespace folvek
