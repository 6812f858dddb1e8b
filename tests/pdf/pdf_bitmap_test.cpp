// The printer jobs' 1-bit pictures in a PDF: ink where a bit is set, the page left as it is
// where it is clear, checked on the page poppler draws.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

// The gray levels of a binary PGM (P5, 8 bits).
struct Gray {
    int width = 0, height = 0;
    std::string pixels;
    int at(int x, int y) const {
        return static_cast<unsigned char>(pixels[std::size_t(y) * std::size_t(width) + x]);
    }
    // The share of dark pixels in [x0, x1) x [y0, y1).
    double darkShare(int x0, int y0, int x1, int y1) const {
        int dark = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) dark += at(x, y) < 128;
        return double(dark) / double((x1 - x0) * (y1 - y0));
    }
};

Gray readPgm(const std::string& bytes) {
    Gray g;
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    in >> magic >> g.width >> g.height >> maxValue;
    in.get();
    if (magic != "P5" || maxValue != 255) return {};
    g.pixels = bytes.substr(std::size_t(in.tellg()));
    if (g.pixels.size() < std::size_t(g.width) * std::size_t(g.height)) return {};
    return g;
}

TEST(PdfBitmap, SetBitsAreInkAndClearBitsLeaveThePage) {
    if (!haveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("bits.pdf");
    // 20 dots by 2: the left 8 set, the rest clear; the padding bits of each row's last byte
    // are set and must not print.
    const std::vector<std::uint8_t> bits{0xFF, 0x00, 0x0F, 0xFF, 0x00, 0x0F};
    const BitmapView picture{20, 2, 3, bits.data()};
    const PdfPageGeometry a4;  // the whole sheet printable
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file));
    DeviceContext& dc = pdf.beginPage(a4);
    dc.setLoEnglish();
    // Two and a half inches wide from one inch in, one inch high from one inch down: at 40 dpi
    // a dot is 5 pixels wide and the picture covers x 40..140, y 40..80.
    dc.drawBitmap(100, -100, 250, -100, picture);
    // 16 dots, all set: a width of whole bytes has no padding, its last byte prints whole
    // (x 40..104, y 120..140).
    const std::vector<std::uint8_t> full{0xFF, 0xFF};
    dc.drawBitmap(100, -300, 160, -50, BitmapView{16, 1, 2, full.data()});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();

    ASSERT_EQ(
        run("pdftoppm -r 40 -gray -f 1 -l 1 '" + file + "' '" + dir.path("page") + "'").status, 0);
    const Gray page = readPgm(readFile(dir.path("page-1.pgm")));
    ASSERT_GT(page.width, 140);
    EXPECT_GT(page.darkShare(42, 42, 78, 78), 0.95);     // the 8 set dots
    EXPECT_LT(page.darkShare(82, 42, 138, 78), 0.02);    // the 12 clear ones
    EXPECT_LT(page.darkShare(142, 42, 160, 78), 0.02);   // the padding, past the width
    EXPECT_LT(page.darkShare(42, 82, 138, 100), 0.02);   // below the picture
    EXPECT_GT(page.darkShare(42, 122, 70, 138), 0.95);   // the whole bytes' first
    EXPECT_GT(page.darkShare(74, 122, 102, 138), 0.95);  // and last
}

}  // namespace
}  // namespace folvek
