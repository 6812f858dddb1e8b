// Helpers of the PDF writer's tests: a scratch directory, running poppler and qpdf on the
// output (tests that need them skip when they are missing), and reading files back.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "pdf_document.h"

namespace folvek::pdftest {

struct Command {
    int status = -1;
    std::string out;
};

inline bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command line; its standard output and error together.
inline Command run(const std::string& line) {
    Command c;
    FILE* p = ::popen((line + " 2>&1").c_str(), "r");
    if (!p) return c;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) c.out.append(buf, n);
    const int st = ::pclose(p);
    c.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return c;
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline int count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) ++n;
    return n;
}

class ScratchDir {
  public:
    ScratchDir() {
        char pattern[] = "/tmp/folvek-pdf-test.XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    ~ScratchDir() { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    int files() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) n += e.is_regular_file();
        return n;
    }

  private:
    std::filesystem::path dir_;
};

// Windows-1251 bytes of a UTF-8 test string's Cyrillic letters (and ASCII as is).
inline std::string cp1251(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        const unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        if (cp >= 0x410 && cp <= 0x44F)
            out += char(0xC0 + (cp - 0x410));
        else if (cp == 0x401)
            out += char(0xA8);
        else if (cp == 0x451)
            out += char(0xB8);
        else
            out += '?';
    }
    return out;
}

// Liberation Mono at `height`, with its decorations.
inline LogFont mono(int height, bool underline = false, bool strikeOut = false) {
    LogFont f;
    f.height = height;
    f.underline = underline;
    f.strikeOut = strikeOut;
    f.setFaceName("Liberation Mono");
    return f;
}

// One page drawn in hundredths of an inch (y up is negative), as qpdf writes the file out
// uncompressed.
inline std::string drawnPage(const std::function<void(DeviceContext&)>& draw,
                             bool transparentText = false) {
    ScratchDir dir;
    const std::string file = dir.path("c.pdf");
    PdfDocument pdf;
    EXPECT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    if (transparentText) dc.setTransparentText();
    draw(dc);
    EXPECT_TRUE(pdf.endPage());
    EXPECT_TRUE(pdf.finish()) << pdf.error();
    return run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
}

inline LogFont courier(int weight = 400) {
    LogFont f;
    f.height = -13;
    f.weight = weight;
    f.setFaceName("Liberation Mono");  // fonts-liberation2, which the set-up installs
    return f;
}

// Draws `text` (1251 bytes) on the current page at row `row` in 0.01-inch units.
inline void line(DeviceContext& dc, const std::string& text, int row, unsigned flags = 0) {
    Rect r{50, -50 - row * 16, 1000, -66 - row * 16};
    dc.drawText(text.data(), int(text.size()), r, flags);
}

}  // namespace folvek::pdftest
