// Drawing a text run on the column grid.
#include <algorithm>
#include <cstdint>

#include "page_renderer.h"

namespace folvek {

void drawRun(const DocumentRecord& record, DeviceContext& dc, std::int32_t x, std::int32_t y,
             const char* text, int len) {
    int spaces = 0;
    while (spaces < len && text[spaces] == ' ') ++spaces;
    const char* rest = text + spaces;
    const int r = len - spaces;
    if (r <= 0) return;
    const long double cw = record.charWidth;
    const long double lead = spaces * cw;
    long double left = lead + x;
    Rect rect;
    rect.top = y;
    rect.right = static_cast<std::int32_t>(x + lead + r * cw);
    rect.bottom = y - record.lineHeight;
    if (spaces > 0) {
        // A proportional font may be wider than the grid: let the text start earlier, into
        // the room of the dropped spaces, so that its right end stays on its column.
        const long double excess = dc.textExtent(rest, r).cx - r * cw;
        if (excess > 0) left -= std::min(excess, lead);
    }
    rect.left = static_cast<std::int32_t>(left);
    dc.drawText(rest, r, rect, kDtSingleLine | kDtNoClip);
}

}  // namespace folvek
