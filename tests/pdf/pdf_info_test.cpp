// The document information a viewer shows: the title and producer as UTF-16 text strings,
// characters outside the basic plane as surrogate pairs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "pdf_test_support.h"

namespace folvek {

using namespace pdftest;

TEST(PdfInfo, TitleAndProducerAreUtf16WithSurrogates) {
    ScratchDir dir;
    const std::string file = dir.path("t.pdf");
    PdfDocumentOptions options;
    // A, ya, euro, U+1F600, space, 1, Thai ko kai (U+0E01: the lowest lead byte of three)
    options.title = "Aя€\xF0\x9F\x98\x80 1\xE0\xB8\x81";
    options.creator = "Folvek";
    PdfDocument pdf(options);
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    pdf.beginPage({});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    std::string bytes = readFile(file);
    if (bytes.find("/Title") == std::string::npos && haveTool("qpdf"))
        bytes = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    EXPECT_NE(bytes.find("/Title<FEFF0041044F20ACD83DDE00002000310E01>"), std::string::npos);
    EXPECT_NE(bytes.find("/Producer<FEFF0046006F006C00760065006B>"), std::string::npos);
}

}  // namespace folvek

namespace folvek {

// Pictures and 1-bit masks share one name space in the page resources: each its own name.
TEST(PdfInfo, PicturesAndMasksEachGetAName) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("n.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    const std::vector<std::uint32_t> red(4, 0xFFFF0000u), blue(4, 0xFF0000FFu);
    const std::vector<std::uint8_t> dots{0xF0, 0x0F};
    dc.stretchImage(0, 0, 20, -20, 0, 0, 2, 2, ImageView{2, 2, red.data()});
    dc.drawBitmap(0, -100, 80, -20, BitmapView{8, 2, 1, dots.data()});
    dc.stretchImage(0, -200, 20, -20, 0, 0, 2, 2, ImageView{2, 2, blue.data()});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    const auto xobjects = out.find("/XObject");
    ASSERT_NE(xobjects, std::string::npos);
    const std::string dict = out.substr(xobjects, out.find(">>", xobjects) - xobjects);
    EXPECT_EQ(count(dict, "/Im1 "), 1) << dict;
    EXPECT_EQ(count(dict, "/Im2 "), 1) << dict;
    EXPECT_EQ(count(dict, "/Im3 "), 1) << dict;
    EXPECT_EQ(count(dict, "/Im"), 3) << dict;
    // The page draws the three of them.
    EXPECT_EQ(count(out, "Do"), 3);
}

}  // namespace folvek

namespace folvek {

TEST(PdfInfo, APictureKeepsItsColumnsOrTheSourceRectangleAsked) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    const auto widthsOf = [](int sx, int sw) {
        ScratchDir dir;
        const std::string file = dir.path("w.pdf");
        PdfDocument pdf;
        EXPECT_TRUE(pdf.open(file)) << pdf.error();
        DeviceContext& dc = pdf.beginPage({});
        dc.setLoEnglish();
        const std::vector<std::uint32_t> px{0xFFFF0000u, 0xFF0000FFu, 0xFF00FF00u};
        dc.stretchImage(0, 0, 30, -10, sx, 0, sw, 1, ImageView{3, 1, px.data()});
        EXPECT_TRUE(pdf.endPage());
        EXPECT_TRUE(pdf.finish()) << pdf.error();
        const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
        const auto at = out.find("/Width ");
        return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 7);
    };
    EXPECT_EQ(widthsOf(0, 3), 3);
    EXPECT_EQ(widthsOf(1, 2), 2);
    EXPECT_EQ(widthsOf(-2, 4), 2);  // the part off the picture is cut
    EXPECT_EQ(widthsOf(2, 5), 1);
    EXPECT_EQ(widthsOf(3, 1), -1);  // nothing of it: no picture
}

}  // namespace folvek

namespace folvek {

TEST(PdfInfo, EqualMasksAreStoredOnceAndDifferentOnesApart) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("m.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    const std::vector<std::uint8_t> a{0xF0, 0x0F}, same{0xF0, 0x0F}, b{0x0F, 0xF0};
    dc.drawBitmap(0, 0, 80, -20, BitmapView{8, 2, 1, a.data()});
    dc.drawBitmap(0, -100, 80, -20, BitmapView{8, 2, 1, same.data()});
    dc.drawBitmap(0, -200, 80, -20, BitmapView{8, 2, 1, b.data()});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    EXPECT_EQ(count(out, "/ImageMask true"), 2);
    // The pictures drawn, in order: the first one twice, then the other.
    std::string drawn;
    for (std::size_t at = out.find(" Do"); at != std::string::npos; at = out.find(" Do", at + 1))
        drawn += out.substr(out.rfind("/Im", at), at - out.rfind("/Im", at)) + ";";
    EXPECT_EQ(drawn, "/Im1;/Im1;/Im2;");
}

TEST(PdfInfo, ABitmapOfNoWidthOrHeightIsNotDrawnAndOneOfAUnitIs) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("thin.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    // Four different pictures, so that each is its own image.
    const std::vector<std::uint8_t> dots[4] = {{0x80, 0}, {0x40, 0}, {0x20, 0}, {0x10, 0}};
    dc.drawBitmap(0, 0, 0, -20, BitmapView{8, 2, 1, dots[0].data()});     // no width
    dc.drawBitmap(0, -100, 80, 0, BitmapView{8, 2, 1, dots[1].data()});   // no height
    dc.drawBitmap(0, -200, 1, -20, BitmapView{8, 2, 1, dots[2].data()});  // 0.01 inch wide
    dc.drawBitmap(0, -300, 80, -1, BitmapView{8, 2, 1, dots[3].data()});  // 0.01 inch high
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    std::string drawn;
    for (std::size_t at = out.find(" Do"); at != std::string::npos; at = out.find(" Do", at + 1))
        drawn += out.substr(out.rfind("/Im", at), at - out.rfind("/Im", at)) + ";";
    // Images are numbered in the order they are stored; the two never drawn are not stored.
    EXPECT_EQ(drawn, "/Im1;/Im2;");
    EXPECT_EQ(count(out, "/ImageMask true"), 2);
}

}  // namespace folvek
