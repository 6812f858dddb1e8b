#include "pcl_frame.h"

#include <cstring>

namespace folvek {

namespace {

constexpr char kUel[] = "\x1b%-12345X";
constexpr std::size_t kUelLen = sizeof kUel - 1;

// Steps over the universal exit and the job language's @PJL lines at p.
const unsigned char* skipJobLanguage(const unsigned char* p, const unsigned char* end) {
    for (;;) {
        if (std::size_t(end - p) >= kUelLen && std::memcmp(p, kUel, kUelLen) == 0) {
            p += kUelLen;
            continue;
        }
        if (end - p >= 4 && std::memcmp(p, "@PJL", 4) == 0) {
            const void* nl = std::memchr(p, '\n', std::size_t(end - p));
            if (!nl) return end;
            p = static_cast<const unsigned char*>(nl) + 1;
            continue;
        }
        if (p < end && (*p == '\r' || *p == '\n')) {
            ++p;
            continue;
        }
        return p;
    }
}

bool blank(unsigned char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\f' || c == '\t' || c == 0 || c == 0x1a;
}

}  // namespace

bool framedByPclReset(const unsigned char* head, std::size_t headLen, const unsigned char* tail,
                      std::size_t tailLen) {
    const unsigned char* p = skipJobLanguage(head, head + headLen);
    if (head + headLen - p < 2 || p[0] != 0x1b || p[1] != 'E') return false;
    // The end: the last ESC E, then nothing but blanks, exits and @PJL lines.
    const unsigned char* end = tail + tailLen;
    for (const unsigned char* q = end - 2; q >= tail && end - q >= 2; --q) {
        if (q[0] != 0x1b || q[1] != 'E') continue;
        const unsigned char* r = q + 2;
        for (;;) {
            const unsigned char* next = skipJobLanguage(r, end);
            while (next < end && blank(*next)) ++next;
            if (next == r) break;
            r = next;
        }
        return r == end;
    }
    return false;
}

}  // namespace folvek
