// The one-core baseline of the PDF export benchmark: the simplest writer of the same kind of
// file. It reads the report, converts it from code page 866, starts a page at every form feed
// and every `lines` rows, writes each row as one string on a fixed grid (character spacing
// brings the face's advance to the grid), draws runs of - = | + as one path per page, embeds
// the subset font with its ToUnicode map and deflates at level 1: no styles, pictures, page
// numbers, wrapping or threads.
//   simple_pdf_writer [--dos] [--lines N] IN OUT.pdf
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "codepage.h"
#include "pdf_deflate.h"
#include "pdf_font.h"
#include "pdf_font_embed.h"
#include "pdf_number.h"
#include "pdf_objects.h"
#include "pdf_output.h"

using namespace folvek;

namespace {

constexpr double kCharWidth = 7.8, kLineHeight = 15, kEm = 13;  // 0.01 inch, as folvek lays out

bool isRule(char c) {
    return c == '-' || c == '=' || c == '+' || c == '|';
}

// One row: text with the rule characters blanked, and their segments added to the page path.
// `lastRow` is the row of the latest string on the page (-1: none), for relative moves.
void row(const std::string& line, int k, int& lastRow, PdfFont& font, std::string& text,
         std::string& path) {
    const int top = -k * int(kLineHeight);
    const int mid = top - int(kLineHeight) / 2;
    std::string shown = line;
    auto segment = [&path](int xa, int ya, int xb, int yb) {
        appendInt(path, xa);
        path += ' ';
        appendInt(path, ya);
        path += " m ";
        appendInt(path, xb);
        path += ' ';
        appendInt(path, yb);
        path += " l\n";
    };
    int runStart = -1;  // first cell of the horizontal rule being drawn
    for (std::size_t c = 0; c <= line.size(); ++c) {
        const bool rule = c < line.size() && isRule(line[c]) &&
                          ((c + 1 < line.size() && isRule(line[c + 1])) ||
                           (c > 0 && isRule(line[c - 1])) || line[c] == '|');
        const bool h = rule && line[c] != '|';
        if (runStart >= 0 && !h) {
            segment(int(runStart * kCharWidth), mid, int(c * kCharWidth), mid);
            runStart = -1;
        }
        if (!rule) continue;
        shown[c] = ' ';
        if (h && runStart < 0) runStart = int(c);
        if (line[c] == '|' || line[c] == '+') {
            const int xc = int((c + 0.5) * kCharWidth);
            segment(xc, top, xc, top - int(kLineHeight));
        }
    }
    std::size_t end = shown.find_last_not_of(' ');
    if (end == std::string::npos) return;
    text += "0 ";
    appendInt(text, lastRow < 0 ? -11 - k * int(kLineHeight) : -(k - lastRow) * int(kLineHeight));
    lastRow = k;
    text += " Td(";
    for (std::size_t c = 0; c <= end; ++c) {
        const unsigned char b = static_cast<unsigned char>(shown[c]);
        font.used[b] = true;
        if (b == '(' || b == ')' || b == '\\') text += '\\';
        text += char(b);
    }
    text += ")Tj\n";
}

}  // namespace

int main(int argc, char** argv) {
    bool dos = false;
    int lines = 71;
    int a = 1;
    for (; a < argc && argv[a][0] == '-' && argv[a][1] == '-'; ++a) {
        if (!std::strcmp(argv[a], "--dos")) dos = true;
        if (!std::strcmp(argv[a], "--lines") && a + 1 < argc) lines = std::atoi(argv[++a]);
    }
    if (argc - a != 2) {
        std::fprintf(stderr, "usage: simple_pdf_writer [--dos] [--lines N] IN OUT.pdf\n");
        return 2;
    }
    std::ifstream in(argv[a], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string data = ss.str();
    if (dos) oemToAnsi(data.data(), data.size());

    PdfOutput out;
    if (!out.open(argv[a + 1])) return 1;
    PdfObjects objects(out);
    out.write("%PDF-1.4\n");
    const int catalog = objects.allocate(), pagesObj = objects.allocate(),
              info = objects.allocate();
    PdfFontSet fonts(nullptr);
    LogFont lf;
    lf.setFaceName("Liberation Mono");
    PdfFont* font = fonts.realise(lf);
    if (!font) return 1;
    // Character spacing that brings the face's advance to the grid, in unscaled text units.
    std::string head = ".72 0 0 .72 14 828 cm BT /F1 13 Tf ";
    appendFixed(head, (kCharWidth - font->advance['x'] * kEm), 3);
    head += " Tc\n";

    std::vector<int> kids;
    std::string text, path, packed;
    // Pages refer to one font object allocated now.
    const int fontObj = objects.allocate();
    int k = 0, lastRow = -1;
    std::size_t at = 0;
    auto writePage = [&] {
        std::string content = head + text + "ET\n0 w\n" + path + "S\n";
        packed.clear();
        deflateInto(content, packed);
        const int c = objects.allocate(), p = objects.allocate();
        objects.writeStream(c, "", packed, true);
        std::string d = "<</Type/Page/Parent ";
        appendInt(d, pagesObj);
        d += " 0 R/MediaBox[0 0 595 842]/Resources<</Font<</F1 ";
        appendInt(d, fontObj);
        d += " 0 R>>>>/Contents ";
        appendInt(d, c);
        d += " 0 R>>";
        objects.write(p, d);
        kids.push_back(p);
        text.clear();
        path.clear();
        k = 0;
        lastRow = -1;
    };
    while (at < data.size()) {
        std::size_t end = data.find('\n', at);
        if (end == std::string::npos) end = data.size();
        std::string line = data.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t ff = line.find('\f');
        if (ff != std::string::npos) {
            row(line.substr(0, ff), k, lastRow, *font, text, path);
            writePage();
            line.erase(0, ff + 1);
            if (line.empty()) continue;
        }
        if (k == lines) writePage();
        row(line, k++, lastRow, *font, text, path);
    }
    writePage();

    font->objectNumber = fontObj;
    std::string why;
    if (!embedFont(objects, *font, &why)) return 1;
    std::string d = "<</Type/Pages/Count ";
    appendInt(d, std::int64_t(kids.size()));
    d += "/Kids[";
    for (int p : kids) {
        appendInt(d, p);
        d += " 0 R ";
    }
    objects.write(pagesObj, d + "]>>");
    std::string c = "<</Type/Catalog/Pages ";
    appendInt(c, pagesObj);
    objects.write(catalog, c + " 0 R>>");
    objects.write(info, "<</Producer(simple_pdf_writer)>>");
    objects.finish(catalog, info);
    return out.commit() ? 0 : 1;
}
