#include "style_tags.h"

#include <cstring>

namespace folvek {

TagCode tagAt(const char* p) {
    if (p[0] != '<' || p[1] == '\0' || p[2] == '\0') return kNoTag;
    if (p[1] == '/' && p[3] == '\0') return kNoTag;
    if (p[1] == 'B' && p[2] == '>') return kOpenBold;
    if (p[1] == '/' && p[2] == 'B' && p[3] == '>') return kCloseBold;
    if (p[1] == 'I' && p[2] == '>') return kOpenItalic;
    if (p[1] == '/' && p[2] == 'I' && p[3] == '>') return kCloseItalic;
    if (p[1] == 'U' && p[2] == '>') return kOpenUnderline;
    if (p[1] == '/' && p[2] == 'U' && p[3] == '>') return kCloseUnderline;
    return kNoTag;
}

int applyTag(const char* p, std::uint16_t& style) {
    const TagCode code = tagAt(p);
    switch (code) {
        case kOpenBold:
            style |= kBold;
            break;
        case kOpenItalic:
            style |= kItalic;
            break;
        case kOpenUnderline:
            style |= kUnderline;
            break;
        case kCloseBold:
            style &= ~kBold;
            break;
        case kCloseItalic:
            style &= ~kItalic;
            break;
        case kCloseUnderline:
            style &= ~kUnderline;
            break;
        case kNoTag:
            break;
    }
    return code;
}

namespace {

// Walks `line` by visible character, applying the tags it passes to *style when one is given,
// and stops before visible character `stopAt` or at the end. `seen` counts the visible
// characters passed (counted in int: a 16-bit count would wrap and find column n - 65536).
const char* walkVisible(const char* line, int stopAt, std::uint16_t* style, int& seen) {
    seen = 0;
    const char* p = line;
    while (*p) {
        if (*p == '<') {
            const int code = style ? applyTag(p, *style) : tagAt(p);
            if (code) {
                p += tagLength(code);
                continue;
            }
        }
        if (seen == stopAt) return p;
        ++seen;
        ++p;
    }
    return p;
}

}  // namespace

int visibleLength(const char* line) {
    if (!line) return 0;
    int seen = 0;
    walkVisible(line, -1, nullptr, seen);
    return seen;
}

char visibleCharAt(const char* line, int n) {
    if (!line || n < 0) return '\0';
    int seen = 0;
    const char* p = walkVisible(line, n, nullptr, seen);
    return seen == n ? *p : '\0';
}

const char* skipVisible(const char* line, int n, std::uint16_t& style) {
    if (!line) return nullptr;
    int seen = 0;
    const char* p = walkVisible(line, n, &style, seen);
    return seen == n ? p : nullptr;
}

// Visible length of a line: its bytes less its tags. Same result as visibleLength, but it
// only inspects the '<' bytes, which keeps wrapped pagination of large reports fast.
std::int32_t fastVisibleLength(const char* line) {
    const std::size_t len = std::strlen(line);
    std::int32_t n = static_cast<std::int32_t>(len);
    const char* end = line + len;
    for (const char* p = line; p < end;) {
        p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (!p) break;
        const int code = tagAt(p);
        if (code) {
            n -= tagLength(code);
            p += tagLength(code);
        } else {
            ++p;
        }
    }
    return n;
}

}  // namespace folvek
