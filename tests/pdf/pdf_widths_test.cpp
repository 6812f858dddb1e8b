// The advances the PDF declares for its fonts (/Widths) against the advances the device laid the
// text out with: a viewer places every glyph by /Widths, so a wrong table moves text and
// selections even where the glyphs look right.
#include <gtest/gtest.h>

#include <regex>

#include "pdf_font.h"
#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

LogFont face(const char* name, int weight = 400) {
    LogFont f;
    f.height = -40;  // large, so that a per cent of difference is many hundredths
    f.weight = weight;
    f.setFaceName(name);
    return f;
}

// The words pdftotext finds, with their widths in points.
std::vector<std::pair<std::string, double>> wordWidths(const std::string& file) {
    const Command c = run("pdftotext -bbox '" + file + "' -");
    std::vector<std::pair<std::string, double>> words;
    static const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">"
        "([^<]*)</word>");
    for (std::sregex_iterator i(c.out.begin(), c.out.end(), word), end; i != end; ++i)
        words.emplace_back((*i)[3], std::stod((*i)[2]) - std::stod((*i)[1]));
    return words;
}

TEST(PdfWidths, DeclaredAdvancesMatchTheLaidOutText) {
    if (!haveTool("pdftotext")) GTEST_SKIP() << "poppler-utils is needed (tools/setup)";
    struct Sample {
        const char* face;
        int weight;
        std::string text;  // one word, 1251 bytes
    };
    const Sample samples[] = {
        {"Liberation Mono", 400, cp1251("ИТОГОiiiWWW")},
        {"Liberation Mono", 700, cp1251("Ведомость123")},
        {"Liberation Sans", 400, cp1251("WWWiiiЖжll")},
        {"Liberation Serif", 700, cp1251("Итого:1,250.00")},
    };
    ScratchDir dir;
    const std::string file = dir.path("w.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    dc.setTransparentText();
    std::vector<double> expected;  // points
    int row = 0;
    for (const Sample& s : samples) {
        dc.selectFont(face(s.face, s.weight));
        const TextExtent e = dc.textExtent(s.text.data(), int(s.text.size()));
        expected.push_back(e.cx * 0.72);
        Rect r{50, -50 - row * 60, 2000, -100 - row * 60};
        dc.drawText(s.text.data(), int(s.text.size()), r, kDtSingleLine);
        ++row;
    }
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();

    const auto words = wordWidths(file);
    ASSERT_EQ(words.size(), std::size(samples));
    for (size_t i = 0; i < words.size(); ++i) {
        // Rounding the advances to thousandths of an em and the layout to hundredths of an inch
        // leaves well under one per cent.
        EXPECT_NEAR(words[i].second, expected[i], expected[i] * 0.01)
            << samples[i].face << " " << samples[i].weight << ": " << words[i].first;
    }
}

// The descriptors a viewer sizes text boxes and selections by, for the regular, bold and italic
// faces of Liberation Mono (tools/setup installs it); and the old Windows screen faces map to the
// system's monospace face whatever their case.
TEST(PdfWidths, DescriptorsAndFaceNames) {
    ScratchDir dir;
    const std::string file = dir.path("d.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    const std::string text = cp1251("Итого");
    LogFont italic = face("Liberation Mono");
    italic.italic = 1;
    int y = -50;
    for (const LogFont& f : {face("Liberation Mono"), face("Liberation Mono", 700), italic}) {
        dc.selectFont(f);
        Rect r{50, y, 2000, y - 50};
        dc.drawText(text.data(), int(text.size()), r, kDtSingleLine);
        y -= 60;
    }
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string bytes = readFile(file);
    // From the font files (units per em 2048): head's box, OS/2's cap height 1349, hhea's
    // ascender 1705 and descender -615, post's italic angle; per mille of the em, rounded.
    // Flags: 1 fixed pitch, 32 non-symbolic, 64 italic.
    for (const char* descriptor :
         {"/Flags 33/FontBBox[-482 -300 743 981]/ItalicAngle 0/Ascent 833/Descent -300"
          "/CapHeight 659/StemV 80/FontFile2 ",
          "/Flags 33/FontBBox[-482 -376 697 988]/ItalicAngle 0/Ascent 833/Descent -300"
          "/CapHeight 659/StemV 80/FontFile2 ",
          "/Flags 97/FontBBox[-482 -300 824 981]/ItalicAngle -12/Ascent 833/Descent -300"
          "/CapHeight 659/StemV 80/FontFile2 "})
        EXPECT_NE(bytes.find(descriptor), std::string::npos) << descriptor;

    EXPECT_EQ(defaultFontFamily(face("Fixedsys")), "monospace");
    EXPECT_EQ(defaultFontFamily(face("FIXEDSYS")), "monospace");
    EXPECT_EQ(defaultFontFamily(face("")), "monospace");
    EXPECT_EQ(defaultFontFamily(face("Courier New")), "Courier New");
    EXPECT_EQ(defaultFontFamily(face("Fixedsys Excelsior")), "Fixedsys Excelsior");
}

}  // namespace
}  // namespace folvek
