#include "style_tags.h"

namespace folvek {

int tagAt(const char* p) {
    if (p[0] != '<' || p[1] == '\0' || p[2] == '\0') return 0;
    if (p[1] == '/' && p[3] == '\0') return 0;
    if (p[1] == 'B' && p[2] == '>') return 1;
    if (p[1] == '/' && p[2] == 'B' && p[3] == '>') return 11;
    if (p[1] == 'I' && p[2] == '>') return 2;
    if (p[1] == '/' && p[2] == 'I' && p[3] == '>') return 12;
    if (p[1] == 'U' && p[2] == '>') return 3;
    if (p[1] == '/' && p[2] == 'U' && p[3] == '>') return 13;
    return 0;
}

int applyTag(const char* p, std::uint16_t& style) {
    int code = tagAt(p);
    switch (code) {
        case 1:
            style |= kBold;
            break;
        case 2:
            style |= kItalic;
            break;
        case 3:
            style |= kUnderline;
            break;
        case 11:
            style &= ~kBold;
            break;
        case 12:
            style &= ~kItalic;
            break;
        case 13:
            style &= ~kUnderline;
            break;
        default:
            break;
    }
    return code;
}

int visibleLength(const char* line) {
    if (!line) return 0;
    int n = 0;
    for (const char* p = line; *p;) {
        if (*p == '<') {
            int code = tagAt(p);
            if (code) {
                p += tagLength(code);
                continue;
            }
        }
        ++n;
        ++p;
    }
    return n;
}

char visibleCharAt(const char* line, int n) {
    if (!line) return '\0';
    // Counted in int: a 16-bit count would wrap and find column n - 65536.
    const int want = n;
    int seen = 0;
    for (const char* p = line; *p;) {
        if (*p == '<') {
            int code = tagAt(p);
            if (code) {
                p += tagLength(code);
                continue;
            }
        }
        if (seen == want) return *p;
        ++seen;
        ++p;
    }
    return '\0';
}

const char* skipVisible(const char* line, int n, std::uint16_t& style) {
    if (!line) return nullptr;
    const int want = n;
    int seen = 0;
    const char* p = line;
    while (*p) {
        if (*p == '<') {
            int code = applyTag(p, style);
            if (code) {
                p += tagLength(code);
                continue;
            }
        }
        if (seen == want) return p;
        ++seen;
        ++p;
    }
    return seen == want ? p : nullptr;
}

}  // namespace folvek
