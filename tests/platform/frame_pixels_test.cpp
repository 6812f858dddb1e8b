// Frames checked on the pixels, independently of how the lines are worked out: every file of
// tests/data/frames is drawn as the preview draws it (a 192-dpi screen, so that at the smallest
// zoom a double line's gap is still a pixel wide) and the image must show each frame as one
// connected figure, every arm of every character drawn without a break, nothing where a
// character has no arm, and two separate lines where an arm is double.
#include <gtest/gtest.h>

#include <iconv.h>
#include <unistd.h>
#include "text_encoding.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "codepage.h"
#include "document/layout_fakes.h"
#include "page_renderer.h"
#include "qt_device_context.h"

namespace folvek {
namespace {

constexpr double kDpi = 192;

// Arms of each box character as its Unicode name gives them: levels up, down, left, right.
const std::map<char32_t, std::string> kArms = {
    {U'│', "1100"}, {U'┤', "1110"}, {U'╡', "1120"}, {U'╢', "2210"}, {U'╖', "0210"}, {U'╕', "0120"},
    {U'╣', "2220"}, {U'║', "2200"}, {U'╗', "0220"}, {U'╝', "2020"}, {U'╜', "2010"}, {U'╛', "1020"},
    {U'┐', "0110"}, {U'└', "1001"}, {U'┴', "1011"}, {U'┬', "0111"}, {U'├', "1101"}, {U'─', "0011"},
    {U'┼', "1111"}, {U'╞', "1102"}, {U'╟', "2201"}, {U'╚', "2002"}, {U'╔', "0202"}, {U'╩', "2022"},
    {U'╦', "0222"}, {U'╠', "2202"}, {U'═', "0022"}, {U'╬', "2222"}, {U'╧', "1022"}, {U'╨', "2011"},
    {U'╤', "0122"}, {U'╥', "0211"}, {U'╙', "2001"}, {U'╘', "1002"}, {U'╒', "0102"}, {U'╓', "0201"},
    {U'╫', "2211"}, {U'╪', "1122"}, {U'┘', "1010"}, {U'┌', "0101"},
};
enum { kUp, kDown, kLeft, kRight };

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += n;
    }
    return out;
}

std::string toDos(const std::string& utf8) {
    iconv_t cd = iconv_open("CP866", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    char* op = out.data();
    std::size_t il = utf8.size(), ol = out.size();
    iconv(cd, &in, &il, &op, &ol);
    iconv_close(cd);
    out.resize(out.size() - ol);
    return out;
}

// One page of a corpus file as a character grid with each cell's arms.
struct Grid {
    std::vector<std::u32string> rows;
    int arm(int k, int c, int dir) const {
        if (k < 0 || k >= int(rows.size()) || c < 0 || c >= int(rows[k].size())) return 0;
        const char32_t ch = rows[k][c];
        if (auto it = kArms.find(ch); it != kArms.end()) return it->second[dir] - '0';
        return 0;
    }
    bool ascii(int k, int c) const {
        if (k < 0 || k >= int(rows.size()) || c < 0 || c >= int(rows[k].size())) return false;
        const char32_t ch = rows[k][c];
        return ch == '+' || ch == '-' || ch == '=' || ch == '|';
    }
    bool hasDouble() const {
        for (std::size_t k = 0; k < rows.size(); ++k)
            for (std::size_t c = 0; c < rows[k].size(); ++c)
                for (int d = 0; d < 4; ++d)
                    if (arm(int(k), int(c), d) == 2) return true;
        return false;
    }
    // Frames as the author meant them: box characters join where both face each other; plain
    // line characters join any neighbouring one, except two minus rules one over the other.
    int figures() const {
        std::vector<std::vector<int>> seen(rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k) seen[k].assign(rows[k].size(), 0);
        auto isLine = [&](int k, int c) {
            return ascii(k, c) || arm(k, c, kUp) || arm(k, c, kDown) || arm(k, c, kLeft) ||
                   arm(k, c, kRight);
        };
        auto joined = [&](int k, int c, int k2, int c2) {
            if (!isLine(k2, c2)) return false;
            if (ascii(k, c) && ascii(k2, c2))
                return !(k != k2 && rows[k][c] == '-' && rows[k2][c2] == '-');
            if (k2 < k) return arm(k, c, kUp) && arm(k2, c2, kDown);
            if (k2 > k) return arm(k, c, kDown) && arm(k2, c2, kUp);
            if (c2 < c) return arm(k, c, kLeft) && arm(k2, c2, kRight);
            return arm(k, c, kRight) && arm(k2, c2, kLeft);
        };
        int n = 0;
        for (int k = 0; k < int(rows.size()); ++k)
            for (int c = 0; c < int(rows[k].size()); ++c) {
                if (!isLine(k, c) || seen[k][c]) continue;
                ++n;
                std::vector<std::pair<int, int>> stack{{k, c}};
                seen[k][c] = 1;
                while (!stack.empty()) {
                    auto [a, b] = stack.back();
                    stack.pop_back();
                    const int nb[4][2] = {{a - 1, b}, {a + 1, b}, {a, b - 1}, {a, b + 1}};
                    for (auto& q : nb) {
                        if (q[0] < 0 || q[0] >= int(rows.size()) || q[1] < 0 ||
                            q[1] >= int(rows[q[0]].size()) || seen[q[0]][q[1]])
                            continue;
                        if (joined(a, b, q[0], q[1])) {
                            seen[q[0]][q[1]] = 1;
                            stack.push_back({q[0], q[1]});
                        }
                    }
                }
            }
        return n;
    }
};

// Connected groups of dark pixels (8-neighbours), after growing every dark pixel by `grow`.
int components(const std::vector<std::uint8_t>& ink, int w, int h, int grow) {
    std::vector<std::uint8_t> m = ink;
    if (grow > 0) {
        std::vector<std::uint8_t> g(ink.size(), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (ink[y * w + x])
                    for (int dy = -grow; dy <= grow; ++dy)
                        for (int dx = -grow; dx <= grow; ++dx) {
                            const int X = x + dx, Y = y + dy;
                            if (X >= 0 && Y >= 0 && X < w && Y < h) g[Y * w + X] = 1;
                        }
        m = std::move(g);
    }
    int n = 0;
    std::vector<int> stack;
    for (int i = 0; i < w * h; ++i) {
        if (m[i] != 1) continue;
        ++n;
        m[i] = 2;
        stack.push_back(i);
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int x = p % w, y = p / w;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int X = x + dx, Y = y + dy;
                    if (X < 0 || Y < 0 || X >= w || Y >= h || m[Y * w + X] != 1) continue;
                    m[Y * w + X] = 2;
                    stack.push_back(Y * w + X);
                }
        }
    }
    return n;
}

struct Rendered {
    int w = 0, h = 0;
    std::vector<std::uint8_t> ink;
    double scale = 1;  // device pixels per logical unit
    double left = 0;   // logical x of the text's left margin
    double top = 0;    // logical y (downward) of the first row's top
    int pitch = 0;
    double charWidth = 0;
    bool at(double lx, double ly) const {  // logical x, downward logical y
        const int x = int(std::floor(lx * scale)), y = int(std::floor(ly * scale));
        return x >= 0 && y >= 0 && x < w && y < h && ink[y * w + x];
    }
    // Dark pixels on the device row / column through a logical point, within `span` units
    // across: the number of separate dark runs.
    int runsAcross(bool horizontalArm, double lx, double ly, double span) const {
        int runs = 0;
        bool inRun = false;
        const int steps = int(std::ceil(2 * span * scale));
        for (int i = 0; i <= steps; ++i) {
            const double d = -span + i / scale;
            const bool dark = horizontalArm ? at(lx, ly + d) : at(lx + d, ly);
            if (dark && !inRun) ++runs;
            inRun = dark;
        }
        return runs;
    }
};

class FramePixels : public ::testing::Test {
  protected:
    test::TestRecord t;
    double dpi = kDpi;             // the screen drawn on
    int zoomFrom = 1, zoomTo = 4;  // the zoom steps drawn
    bool utf8 = false;             // the file loaded as UTF-8 with the box characters as they are
    std::string path = ::testing::TempDir() + "folvek_frame_pixels_" + std::to_string(::getpid());
    void TearDown() override { std::remove(path.c_str()); }

    Rendered render(int page, int pitch, int zoom, const Grid& grid) {
        Rendered r;
        r.pitch = t->lineHeight;
        r.charWidth = t->charWidth;
        r.left = t->LeftMargin;
        r.top = t->TopMargin;
        r.scale = dpi / 100.0 * zoom / 2.0;
        std::size_t cols = 0;
        for (auto& row : grid.rows) cols = std::max(cols, row.size());
        r.w = int((r.left + (cols + 2) * r.charWidth) * r.scale);
        r.h = int((r.top + (grid.rows.size() + 2) * pitch) * r.scale);
        QImage img(r.w, r.h, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            QtDeviceContext dc(&p, dpi, dpi, QSizeF(254, 254));
            t->Zoom = zoom;
            drawPage(*t, dc, page, false);
        }
        r.ink.resize(std::size_t(r.w) * r.h);
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) r.ink[y * r.w + x] = qGray(img.pixel(x, y)) < 128;
        return r;
    }

    // With `sheetColumns`, lines are continued on extra sheets of that many columns, and each
    // sheet shows its strip of the page's grid: a frame cut at the sheet's edge runs to it.
    // With `lookalikes` the file is loaded as Windows-1251 text holding the look-alikes that
    // the DOS box characters become in 1251 (as a report rewritten in 1251 holds them).
    void check(const std::string& name, int sheetColumns = 0, bool lookalikes = false) {
        std::ifstream in(std::string(FOLVEK_SOURCE_DIR) + "/tests/data/frames/" + name,
                         std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string utf8 = ss.str();
        std::string bytes = this->utf8 ? utf8 : toDos(utf8);
        if (lookalikes)
            for (char& b : bytes) b = static_cast<char>(boxLookalike(static_cast<std::uint8_t>(b)));
        std::ofstream(path, std::ios::binary) << bytes;
        // The pages as the file splits them at form feeds.
        std::vector<Grid> pages(1);
        std::istringstream lines(utf8);
        for (std::string l; std::getline(lines, l);) {
            if (l == "\f") {  // the break line stands between two empty lines
                pages.back().rows.emplace_back();
                pages.emplace_back();
                pages.back().rows.emplace_back();
                continue;
            }
            pages.back().rows.push_back(decodeUtf8(l));
        }
        for (int pitch = 14; pitch <= 17; ++pitch) {
            t.printer.lineHeight = pitch;
            t->freeText();
            t->IsDos = lookalikes || this->utf8 ? 0 : 1;
            // fixed, as /d and /w do
            t->encodingOverride = this->utf8   ? EncodingChoice::Utf8
                                  : lookalikes ? EncodingChoice::Cp1251
                                               : EncodingChoice::Cp866;
            t->isWrap = sheetColumns > 0;
            ASSERT_EQ(t->loadText(path), 1);
            if (sheetColumns > 0) fitSheetColumns(sheetColumns);
            t->paginate();
            ASSERT_EQ(t->lineHeight, pitch);
            const std::vector<Grid> sheets = sheetColumns > 0 ? strips(pages) : pages;
            ASSERT_EQ(t->pageCount, int(sheets.size())) << name;
            if (sheetColumns > 0) {
                ASSERT_GE(sheets.size(), 4u) << name;
            }
            for (int zoom = zoomFrom; zoom <= zoomTo; ++zoom)
                for (std::size_t pg = 0; pg < sheets.size(); ++pg)
                    checkPage(render(int(pg) + 1, pitch, zoom, sheets[pg]), sheets[pg],
                              name + " sheet " + std::to_string(pg + 1) + " pitch " +
                                  std::to_string(pitch) + " zoom " + std::to_string(zoom));
        }
    }

    // Narrows the paper until a sheet holds exactly `columns` characters.
    void fitSheetColumns(int columns) {
        for (int mm = 10; mm < 255; ++mm) {
            t.printer.widthMm = mm;
            t->paginate();
            if (t->charsPerLine == columns) return;
        }
        FAIL() << "no paper width gives " << columns << " columns";
    }

    // Each page's grid cut into the strips that its continuation sheets show, in sheet order.
    std::vector<Grid> strips(const std::vector<Grid>& pages) {
        const int n = t->charsPerLine;
        std::vector<Grid> out;
        for (const Grid& page : pages) {
            std::size_t widest = 0;
            for (auto& row : page.rows) widest = std::max(widest, row.size());
            for (std::size_t from = 0; from == 0 || from < widest; from += n) {
                Grid g;
                for (auto& row : page.rows)
                    g.rows.push_back(from < row.size() ? row.substr(from, n) : std::u32string());
                out.push_back(std::move(g));
            }
        }
        return out;
    }

    void checkPage(const Rendered& r, const Grid& g, const std::string& where) {
        const int gap = 3;  // units: the double line's distance from the centre is at most 2
        const int want = g.figures();
        // Two lines of a double edge are one stroke once each pixel grows by half their gap.
        const int grow = g.hasDouble() ? int(std::ceil(gap * r.scale / 2)) : 0;
        EXPECT_EQ(components(r.ink, r.w, r.h, grow), want) << where;
        for (int k = 0; k < int(g.rows.size()); ++k) {
            const double top = r.top + k * r.pitch, mid = top + r.pitch / 2;
            for (int c = 0; c < int(g.rows[k].size()); ++c) {
                if (!kArms.count(g.rows[k][c])) continue;
                const double cx = r.left + c * r.charWidth + r.charWidth / 2;
                const double lx = r.left + c * r.charWidth, rx = lx + r.charWidth;
                const std::string cell =
                    where + " row " + std::to_string(k) + " column " + std::to_string(c) + " arm ";
                // Inside a double corner no line crosses between the two lines: the centre
                // of the inner line's gap stays white (checked where the gap is 2 pixels).
                const int u = g.arm(k, c, kUp), d = g.arm(k, c, kDown);
                const int le = g.arm(k, c, kLeft), ri = g.arm(k, c, kRight);
                if (r.scale >= 1.5 && (u == 2) != (d == 2) && (le == 2) != (ri == 2) &&
                    u + d + le + ri == 4) {
                    const double innerY = mid + (d == 2 ? 2 : -1);  // downward logical y
                    const double innerX = cx + (ri == 2 ? 2 : -1);
                    EXPECT_FALSE(r.at(cx, innerY)) << cell << "corner crossed horizontally";
                    EXPECT_FALSE(r.at(innerX, mid)) << cell << "corner crossed vertically";
                }
                // Along the outer part of each arm, towards the cell's edge.
                struct Probe {
                    int dir;
                    bool horizontal;
                    double from, to;
                };
                const Probe probes[4] = {{kUp, false, mid - 3.5, top + 0.5},
                                         {kDown, false, mid + 3.5, top + r.pitch - 0.5},
                                         {kLeft, true, cx - 3.5, lx + 0.5},
                                         {kRight, true, cx + 3.5, rx - 0.5}};
                for (const Probe& p : probes) {
                    const int level = g.arm(k, c, p.dir);
                    const int steps = std::max(1, int(std::fabs(p.to - p.from) * r.scale));
                    bool broken = false, wrong = false;
                    for (int i = 0; i <= steps; ++i) {
                        const double s = p.from + (p.to - p.from) * i / steps;
                        const int runs = p.horizontal ? r.runsAcross(true, s, mid, 3.4)
                                                      : r.runsAcross(false, cx, s, 3.4);
                        if (level == 0 && runs) wrong = true;
                        if (level > 0 && runs == 0) broken = true;
                        if (level > 0 && runs && runs != level) wrong = true;
                    }
                    const char* names = "UDLR";
                    EXPECT_FALSE(broken) << cell << names[p.dir] << ": gap";
                    EXPECT_FALSE(wrong)
                        << cell << names[p.dir]
                        << (level ? ": not drawn as " + std::to_string(level) + " line(s)"
                                  : std::string(": stub"));
                }
            }
        }
    }
};

TEST_F(FramePixels, HeaderRowsOverSeparators) {
    check("header_over_separator.txt");
}
TEST_F(FramePixels, BoxesOfTwoRows) {
    check("two_row_boxes.txt");
}
TEST_F(FramePixels, RowsWithNoTextBetween) {
    check("rows_without_text.txt");
}
TEST_F(FramePixels, TablesUnderRules) {
    check("under_rules.txt");
}
TEST_F(FramePixels, TablesStackedWithAndWithoutABlankLine) {
    check("stacked.txt");
}
TEST_F(FramePixels, BoxesSideBySide) {
    check("side_by_side.txt");
}
TEST_F(FramePixels, DoubleAndMixedFrames) {
    check("double_and_mixed.txt");
}
TEST_F(FramePixels, ATableSplitByAPageBreak) {
    check("split_by_page_break.txt");
}
TEST_F(FramePixels, FramesCutAtTheEdgesOfContinuationSheets) {
    check("continuation_sheets.txt", 11);  // cut at the joins of the upper table
    check("continuation_sheets.txt", 13);  // cut inside the runs
}
// Look-alikes carry no single or double for the sides of a corner over a corner (╓ and ╒ are
// both a top-left corner), so the files with such boxes are left out.
TEST_F(FramePixels, FramesOfLookalikesInWindowsText) {
    for (const char* name : {"header_over_separator.txt", "side_by_side.txt", "stacked.txt",
                             "split_by_page_break.txt", "double_and_mixed.txt", "ascii.txt"})
        check(name, 0, true);
    check("continuation_sheets.txt", 11, true);
}
// A separator that adds columns under a merged heading, single lines straight across double
// ones, and boxes two columns wide: at 100, 150 and 300 dpi (the page at its own size), read
// from 866, from UTF-8 and from the 1251 look-alikes.
TEST_F(FramePixels, HeadingsCrossingsAndNarrowBoxesAtScreenResolutions) {
    zoomFrom = zoomTo = 2;
    for (const double screen : {100.0, 150.0, 300.0}) {
        dpi = screen;
        const std::string at = " at " + std::to_string(int(screen)) + " dpi";
        for (const char* name :
             {"merged_headings.txt", "single_across_double.txt", "two_column_boxes.txt"}) {
            SCOPED_TRACE(name + at);
            utf8 = false;
            check(name);
            utf8 = true;
            check(name);
            utf8 = false;
            check(name, 0, true);
        }
    }
}
TEST_F(FramePixels, PlainAsciiFrames) {
    check("ascii.txt");
}

}  // namespace
}  // namespace folvek
