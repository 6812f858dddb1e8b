// The character loop of a row.
#include "row_painter.h"

#include <cstring>
#include <string>

#include "box_cells.h"
#include "box_painter.h"
#include "line_art.h"
#include "page_renderer.h"
#include "style_tags.h"

namespace folvek {

namespace {

const std::uint8_t kDoubleBarCode = boxCodeOf866(kDosDoubleBar);

class RowRun : public RunSink {
  public:
    RowRun(const DocumentRecord& record, DeviceContext& dc, std::int32_t rowTop)
        : pg_(record), dc_(dc), top_(rowTop) {}
    // Every byte stays in its own column: a byte kept while a line runs on through the cells
    // after it (the L of "--L-") is drawn where it stands, and a gap left by such cells is
    // filled with spaces.
    void append(char b) override { append(&b, 1); }
    // n bytes from `column` on.
    void append(const char* b, std::size_t n) {
        if (text_.empty()) start_ = column;
        const auto end = start_ + static_cast<std::int32_t>(text_.size());
        if (end < column) text_.append(static_cast<std::size_t>(column - end), ' ');
        text_.append(b, n);
    }
    void flush() override {
        if (text_.empty()) return;
        const auto r = static_cast<std::int32_t>(text_.size());
        const std::int32_t x = ColumnPositions::of(pg_.LeftMargin, pg_.charWidth).edge(start_);
        drawRun(pg_, dc_, x, top_, text_.data(), r);
        text_.clear();
    }
    std::int32_t column = 0;

  private:
    const DocumentRecord& pg_;
    DeviceContext& dc_;
    std::int32_t top_;
    std::int32_t start_ = 0;  // column of the run's first byte
    std::string text_;
};

// The visible characters of a neighbour line, collected once per row on first use, so that
// looking up the cell above or below does not re-walk the line for every column.
// A box character in a neighbour line shows the rules what meets this row: a bar when its
// arm comes towards the row (`toward`), a minus when only its horizontal line passes, else
// nothing; its look-alike byte alone would join what the frame does not (a bottom corner is
// a '+' reaching down).
class VisibleCells {
  public:
    VisibleCells(const char* line, const std::uint8_t* codes, bool doubleBars, BoxArm toward)
        : line_(line), codes_(codes), doubleBars_(doubleBars), toward_(toward) {}
    std::uint8_t at(std::int32_t c) {
        if (!line_) return 0;
        if (!built_) build();
        return c >= 0 && c < count_ ? cells_[c] : 0;
    }

  private:
    void build() {
        built_ = true;
        for (const char* p = line_; *p && count_ < kMax;) {
            if (*p == '<') {
                if (const int code = tagAt(p)) {
                    p += tagLength(code);
                    continue;
                }
            }
            std::uint8_t code = codes_ ? codes_[p - line_] : 0;
            std::uint8_t b = static_cast<std::uint8_t>(*p++);
            if (!code && doubleBars_ && b == kDoubleBarLookalike) code = kDoubleBarCode;
            if (code) {
                const bool across = boxArm(code, BoxArm::Left) || boxArm(code, BoxArm::Right);
                b = boxArm(code, toward_) ? '|' : across ? '-' : 0;
            }
            cells_[count_++] = b;
        }
    }
    static constexpr std::int32_t kMax = 1024;
    const char* line_;
    const std::uint8_t* codes_;
    bool doubleBars_;
    BoxArm toward_;
    bool built_ = false;
    std::int32_t count_ = 0;
    std::uint8_t cells_[kMax];
};

// Bytes that are text whatever surrounds them: no tag may start there and no line rule
// looks at them.
struct PlainBytes {
    bool is[256] = {};
    PlainBytes() {
        for (int b = 1; b < 256; ++b)
            is[b] = b != '<' && lineClass(static_cast<std::uint8_t>(b)) == LineClass::None;
    }
};
const PlainBytes kPlain;

}  // namespace

const char* cutStrip(const DocumentRecord& record, const char* line, std::int32_t strip, char* buf,
                     std::uint16_t& style, std::uint8_t* prefix) {
    // Only the line and its NUL: a row copies three lines, and filling the whole buffer each
    // time cost more than drawing short lines.
    if (!line) {
        buf[0] = '\0';
        return buf;
    }
    const std::size_t n = strnlen(line, 1024);
    std::memcpy(buf, line, n);
    buf[n] = '\0';
    if (!record.isWrap || record.charsPerLine <= 0) return buf;
    const char* start = skipVisible(buf, strip * record.charsPerLine, style);
    if (!start) return buf + std::strlen(buf);  // the line ends before the strip
    if (prefix && strip > 0 && start != buf) *prefix = static_cast<std::uint8_t>(start[-1]);
    std::uint16_t scratch = style;
    if (const char* end = skipVisible(start, record.charsPerLine, scratch)) buf[end - buf] = '\0';
    return start;
}

void paintRow(const DocumentRecord& record, DeviceContext& dc, const RowInput& row) {
    std::uint16_t style = row.style & 7;
    dc.selectFont(record.fonts[style]);
    RowRun run(record, dc, row.rowTop);
    RowGeometry geo{record.LeftMargin, record.charWidth, row.rowTop, record.lineHeight};
    geo.columns = &ColumnPositions::of(record.LeftMargin, record.charWidth);
    LineArt art(dc, geo, run, row.prefixByte);
    VisibleCells above(row.above, row.aboveBoxes, row.doubleBars, BoxArm::Down);
    VisibleCells below(row.below, row.belowBoxes, row.doubleBars, BoxArm::Up);
    BoxPainter boxes(dc, geo);

    const auto* const start = reinterpret_cast<const std::uint8_t*>(row.text);
    const auto* p = start;
    std::int32_t& c = run.column;
    while (*p) {
        if (kPlain.is[*p] && !(row.boxes && row.boxes[p - start])) {
            // A stretch of text goes to the run at once; an open stroke ends before it.
            const auto* q = p + 1;
            while (kPlain.is[*q] && !(row.boxes && row.boxes[q - start])) ++q;
            run.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(q - p));
            art.afterText(c);
            c += static_cast<std::int32_t>(q - p);
            p = q;
            continue;
        }
        if (*p == '<') {
            if (const int code = applyTag(reinterpret_cast<const char*>(p), style)) {
                run.flush();
                dc.selectFont(record.fonts[style & 7]);
                p += tagLength(code);
                continue;
            }
        }
        std::uint8_t code = row.boxes ? row.boxes[p - start] : 0;
        if (*p == kDoubleBarLookalike && row.doubleBars && !code) code = kDoubleBarCode;
        if (code) {
            run.flush();
            art.beforeBox(c, boxArm(code, BoxArm::Left) != 0);
            boxes.cell(c, code);
        } else if (lineClass(*p) != LineClass::None) {
            CellView cell;
            cell.self = p[0];
            cell.next1 = p[1];
            cell.next2 = p[1] ? p[2] : 0;
            cell.prev1 = c > 0 ? p[-1] : 0;
            cell.prev2 = c > 1 ? p[-2] : 0;
            cell.above = above.at(c);
            cell.below = below.at(c);
            cell.column = c;
            art.apply(cell);
        } else {
            run.append(static_cast<char>(*p));
            art.afterText(c);
        }
        ++c;
        ++p;
    }
    // A stroke open at the end stops at the last cell; any text still collected is drawn
    // too, so a letter met inside a stroke is not lost.
    art.endOfStrip(c);
    run.flush();
}

}  // namespace folvek
