// The character loop of a row.
#include "row_painter.h"

#include <cstring>
#include <string>

#include "line_art.h"
#include "page_renderer.h"
#include "style_tags.h"

namespace folvek {

namespace {

class RowRun : public RunSink {
  public:
    RowRun(const pager& pg, DeviceContext& dc, std::int32_t rowTop)
        : pg_(pg), dc_(dc), top_(rowTop) {}
    void append(char b) override { text_.push_back(b); }
    void flush() override {
        if (text_.empty()) return;
        const auto r = static_cast<std::int32_t>(text_.size());
        const auto x = static_cast<std::int32_t>(
            (column - r) * static_cast<long double>(pg_.charWidth) + pg_.LeftMargin);
        drawRun(pg_, dc_, x, top_, text_.data(), r);
        text_.clear();
    }
    std::int32_t column = 0;

  private:
    const pager& pg_;
    DeviceContext& dc_;
    std::int32_t top_;
    std::string text_;
};

// The visible characters of a neighbour line, collected once per row on first use, so that
// looking up the cell above or below does not re-walk the line for every column.
class VisibleCells {
  public:
    explicit VisibleCells(const char* line) : line_(line) {}
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
            cells_[count_++] = static_cast<std::uint8_t>(*p++);
        }
    }
    static constexpr std::int32_t kMax = 1024;
    const char* line_;
    bool built_ = false;
    std::int32_t count_ = 0;
    std::uint8_t cells_[kMax];
};

}  // namespace

const char* cutStrip(const pager& pg, const char* line, std::int32_t strip, char* buf,
                     std::uint16_t& style, std::uint8_t* prefix) {
    std::memset(buf, 0, 1025);
    if (!line) return buf;
    std::strncpy(buf, line, 1024);
    if (!pg.isWrap || pg.charsPerLine <= 0) return buf;
    const char* start = skipVisible(buf, strip * pg.charsPerLine, style);
    if (!start) return buf + std::strlen(buf);  // the line ends before the strip
    if (prefix && strip > 0 && start != buf) *prefix = static_cast<std::uint8_t>(start[-1]);
    std::uint16_t scratch = style;
    if (const char* end = skipVisible(start, pg.charsPerLine, scratch)) buf[end - buf] = '\0';
    return start;
}

void paintRow(const pager& pg, DeviceContext& dc, const RowInput& row) {
    std::uint16_t style = row.style & 7;
    dc.selectFont(pg.fonts[style]);
    RowRun run(pg, dc, row.rowTop);
    const RowGeometry geo{pg.LeftMargin, pg.charWidth, row.rowTop, pg.lineHeight};
    LineArt art(dc, geo, run, row.prefixByte);
    VisibleCells above(row.above);
    VisibleCells below(row.below);

    const auto* p = reinterpret_cast<const std::uint8_t*>(row.text);
    std::int32_t& c = run.column;
    while (*p) {
        if (*p == '<') {
            if (const int code = applyTag(reinterpret_cast<const char*>(p), style)) {
                run.flush();
                dc.selectFont(pg.fonts[style & 7]);
                p += tagLength(code);
                continue;
            }
        }
        if (lineClass(*p) != LineClass::None) {
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
