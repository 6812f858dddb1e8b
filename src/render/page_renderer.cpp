// Laying out one sheet: which lines it shows, where its text starts, where the pictures go,
// and the order of drawing (background picture, page number, top picture, text, frame,
// foreground picture).
#include "page_renderer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "job_sheet.h"
#include "page_locator.h"
#include "picture_draw.h"
#include "row_painter.h"

namespace folvek {

namespace {

// Line i of the document, or null past its end; the cursor is not moved.
const char* lineText(const DocumentRecord& record, std::int64_t i) {
    if (i < 0 || static_cast<std::uint64_t>(i) >= record.lines.size()) return nullptr;
    return record.lines.textAt(static_cast<std::size_t>(i));
}

struct SheetLayout {
    std::int32_t page = 1;
    PageStart start;
    std::int32_t capacity = 0;
    std::int32_t textTop = 0;
    bool topShown = false;
    bool bottomShown = false;
    std::int32_t textLines = 0;  // lines of the logical page, for a background picture at its end
};

// Lines from the page's first line up to a form feed, the end or the room left by the top picture.
std::int32_t countTextLines(const DocumentRecord& record, const SheetLayout& s) {
    std::int64_t limit = record.linesPerPage;
    if (s.topShown) limit -= record.topPicture.height / std::max(record.lineHeight, 1);
    std::int32_t n = 0;
    if (s.start.firstLine > INT32_MAX) return 0;
    for (const char* line = lineText(record, s.start.firstLine);
         line && line[0] != '\f' && n < limit; line = lineText(record, s.start.firstLine + n))
        ++n;
    return n;
}

std::int32_t bottomPictureY(const DocumentRecord& record, const SheetLayout& s,
                            std::int32_t rowsDrawn) {
    const std::int32_t h = record.botPicture.height;
    if (!record.inTextEnd)
        return static_cast<std::int32_t>(-record.pageHeight * 10.0L + h + record.BottomMargin);
    if (!record.asBackground) return -rowsDrawn * record.lineHeight - s.textTop;
    return std::min(-s.textTop, h - s.textTop - s.textLines * record.lineHeight);
}

// Box codes of the strip `text` (cut from line i into `buf`) into `out`, aligned with the
// strip; null when the line holds no box character.
const std::uint8_t* boxesOf(const DocumentRecord& record, std::int32_t i, const char* text,
                            const char* buf, std::uint8_t* out) {
    // The codes of the strip's bytes and its NUL, nothing past them.
    const std::size_t offset = static_cast<std::size_t>(text - buf);
    const std::size_t n = std::min(std::strlen(text) + 1, std::size_t{1025} - offset);
    return record.lines.boxCodes(static_cast<std::size_t>(i), offset, out, n) ? out : nullptr;
}

// One line cut to the sheet's strip, with its box codes. A row looks at three lines and the
// next row at two of the same, so each line is cut once for all three.
struct CutLine {
    std::int64_t index = -2;  // the line held; -2: none
    const char* text = nullptr;
    const std::uint8_t* codes = nullptr;
    char buf[1025];
    std::uint8_t boxes[1025];
};

const CutLine& cutLine(const DocumentRecord& record, CutLine (&slots)[3], std::int64_t index,
                       std::int64_t row, std::int32_t strip) {
    CutLine* slot = nullptr;
    for (CutLine& c : slots) {
        if (c.index == index) return c;
        if (c.index < row - 1 || c.index > row + 1) slot = &c;
    }
    slot->index = index;
    std::uint16_t scratch = 0;
    const char* line = lineText(record, index);
    slot->text = line ? cutStrip(record, line, strip, slot->buf, scratch, nullptr) : nullptr;
    slot->codes = slot->text ? boxesOf(record, static_cast<std::int32_t>(index), slot->text,
                                       slot->buf, slot->boxes)
                             : nullptr;
    return *slot;
}

// Draws the rows of the sheet; returns how many were drawn.
std::int32_t drawRows(const DocumentRecord& record, DeviceContext& dc, const SheetLayout& s) {
    static thread_local CutLine slots[3];
    static thread_local char cur[1025];
    static thread_local std::uint8_t curBoxes[1025];
    for (CutLine& c : slots) c.index = -2;
    // Without continuation sheets a row's own strip is the whole line, as its neighbours see
    // it; with them, its strip also carries the style and the byte before it.
    const bool wrapped = record.isWrap && record.charsPerLine > 0;
    std::int32_t k = 0;
    for (std::int64_t index = s.start.firstLine; k < s.capacity && index <= INT32_MAX - 1;
         ++k, ++index) {
        const char* line = lineText(record, index);
        if (!line || line[0] == '\f') break;
        RowInput row;
        row.style = record.lines.styleAt(static_cast<std::size_t>(index));
        const CutLine& above = cutLine(record, slots, index - 1, index, s.start.strip);
        row.above = above.text;
        row.aboveBoxes = above.codes;
        const CutLine& below = cutLine(record, slots, index + 1, index, s.start.strip);
        row.below = below.text;
        row.belowBoxes = below.codes;
        if (wrapped) {
            row.text = cutStrip(record, line, s.start.strip, cur, row.style, &row.prefixByte);
            row.boxes = boxesOf(record, static_cast<std::int32_t>(index), row.text, cur, curBoxes);
        } else {
            const CutLine& self = cutLine(record, slots, index, index, s.start.strip);
            row.text = self.text;
            row.boxes = self.codes;
        }
        row.doubleBars = record.lines.doubleBarsImplied();
        row.rowTop = -k * record.lineHeight - s.textTop;
        paintRow(record, dc, row);
    }
    return k;
}

}  // namespace

SheetText sheetText(DocumentRecord& record, std::int32_t page, PageLocator& locator) {
    return sheetText(record, page, locator.locate(record, page));
}

SheetText sheetText(const DocumentRecord& record, std::int32_t page, const PageStart& start) {
    SheetText t;
    t.start = start;
    t.capacity = record.capacity(page);
    t.topShown = record.topPicture.height != 0 && (record.InAll1 || page == 1);
    t.textTop = static_cast<std::int32_t>(record.TopMargin);
    if (record.IsNumPage && record.pageCount > 1) t.textTop += 2 * record.lineHeight;
    if (t.topShown) t.textTop += record.topPicture.height;
    return t;
}

int drawPage(DocumentRecord& record, DeviceContext& dc, std::int32_t page, bool printing,
             PageLocator& locator) {
    if (page == 0) page = record.curPage;
    if (page > record.pageCount) page = record.pageCount;
    if (page < 1) page = 1;
    // A job that lays itself out has pages of its own: no lines are walked to find them.
    if (record.jobLaidOut()) return drawJobSheet(record, dc, page, printing);
    return drawSheet(record, dc, page, locator.locate(record, page), printing);
}

int drawSheet(const DocumentRecord& record, DeviceContext& dc, std::int32_t page,
              const PageStart& start, bool printing) {
    if (record.jobLaidOut()) return drawJobSheet(record, dc, page, printing);
    dc.saveState();
    dc.setLoEnglish();
    if (!printing) dc.scaleViewport(record.Zoom, 2, record.Zoom, 2);
    if (record.curFont) dc.selectFont(*record.curFont);
    dc.setTransparentText();
    const int previousPen = dc.currentPenWidth();
    dc.selectPen(record.PenWidth);

    SheetLayout s;
    s.page = page;
    const SheetText text = sheetText(record, page, start);
    s.start = text.start;
    s.capacity = text.capacity;
    s.topShown = text.topShown;
    s.bottomShown = record.botPicture.height != 0 && (record.InAll2 || page == record.pageCount);
    s.textTop = text.textTop;
    if (s.bottomShown && record.asBackground && record.inTextEnd)
        s.textLines = countTextLines(record, s);

    const auto left = static_cast<std::int32_t>(record.LeftMargin);
    if (s.bottomShown && record.asBackground)
        drawAt(record.botPicture, dc, left, bottomPictureY(record, s, 0));
    if (record.IsNumPage && record.pageCount > 1) {
        char number[32];
        const int len = std::snprintf(number, sizeof number, "- %d -", page);
        const auto x = static_cast<std::int32_t>(
            (record.pageWidth * 10.0L - len * static_cast<long double>(record.charWidth)) * 0.5L);
        drawRun(record, dc, x, static_cast<std::int32_t>(-record.TopMargin), number, len);
    }
    if (s.topShown) drawAt(record.topPicture, dc, left, record.topPicture.height - s.textTop);
    const std::int32_t rows = drawRows(record, dc, s);
    if (!printing) {
        dc.moveTo(record.pageWidth * 10, 0);
        dc.lineTo(record.pageWidth * 10, -record.pageHeight * 10);
        dc.lineTo(0, -record.pageHeight * 10);
    }
    if (s.bottomShown && !record.asBackground)
        drawAt(record.botPicture, dc, left, bottomPictureY(record, s, rows));

    dc.selectPen(previousPen);
    return dc.restoreState(-1) ? 1 : 0;
}

int drawPage(DocumentRecord& record, DeviceContext& dc, std::int32_t page, bool printing) {
    PageLocator once;
    return drawPage(record, dc, page, printing, once);
}

}  // namespace folvek
