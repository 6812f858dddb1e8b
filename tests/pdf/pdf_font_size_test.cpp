// The PDF device's font sizes as a Windows program means them: a negative height is the em, a
// positive one the character cell (ascent + descent), 0 the default size; and a weight of 0
// is the regular face, not the thinnest. Uses the Liberation and DejaVu fonts that
// tools/setup installs; the weight case skips when DejaVu's ExtraLight face is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include <fontconfig/fontconfig.h>

#include "pdf_font.h"
#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

LogFont face(const char* name, int height, int weight = 400) {
    LogFont f;
    f.height = height;
    f.weight = weight;
    f.setFaceName(name);
    return f;
}

struct Measured {
    TextMetrics metrics;
    TextExtent extent;
};

Measured measure(DeviceContext& dc, const LogFont& f, const std::string& text) {
    dc.selectFont(f);
    return {dc.textMetrics(), dc.textExtent(text.data(), int(text.size()))};
}

}  // namespace

TEST(PdfFontSize, NegativeIsTheEmPositiveTheCellZeroTheDefault) {
    ScratchDir dir;
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(dir.path("s.pdf"))) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    // Liberation Mono: every advance is 1229/2048 of the em, the cell 2320/2048 of it.
    const double advance = 1229.0 / 2048, cell = 2320.0 / 2048;
    const Measured em = measure(dc, face("Liberation Mono", -40), "MMMM");
    EXPECT_EQ(em.extent.cx, std::lround(4 * advance * 40));
    EXPECT_EQ(em.metrics.height, std::lround(cell * 40));
    EXPECT_EQ(em.metrics.height - em.metrics.internalLeading, 40);
    EXPECT_EQ(em.metrics.ascent + em.metrics.descent, em.metrics.height);
    EXPECT_EQ(em.metrics.aveCharWidth, std::lround(advance * 40));

    const Measured box = measure(dc, face("Liberation Mono", 40), "MMMM");
    EXPECT_EQ(box.metrics.height, 40);
    EXPECT_EQ(box.extent.cx, std::lround(4 * advance * 40 / cell));
    EXPECT_EQ(box.metrics.internalLeading, 40 - std::lround(40 / cell));

    // A height of 1 is a cell too: a hundred cells of 1 are 53 units wide, not 60.
    const Measured one = measure(dc, face("Liberation Mono", 1), std::string(100, 'M'));
    EXPECT_EQ(one.extent.cx, std::lround(100 * advance / cell));
    // 0 asks for the default: an em of 13 units, as -13 does.
    const Measured none = measure(dc, face("Liberation Mono", 0), "MMMMMMMMMM");
    const Measured thirteen = measure(dc, face("Liberation Mono", -13), "MMMMMMMMMM");
    EXPECT_EQ(none.extent.cx, thirteen.extent.cx);
    EXPECT_EQ(none.extent.cx, std::lround(10 * advance * 13));
    EXPECT_EQ(none.metrics.height, thirteen.metrics.height);
    EXPECT_EQ(none.metrics.height, std::lround(cell * 13));
    EXPECT_TRUE(pdf.endPage());
    EXPECT_TRUE(pdf.finish()) << pdf.error();
}

TEST(PdfFontSize, WeightZeroIsTheRegularFace) {
    if (!std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf"))
        GTEST_SKIP() << "DejaVu Sans ExtraLight is not installed";
    const auto embeddedFor = [](int weight) {
        ScratchDir dir;
        const std::string file = dir.path("w.pdf");
        PdfDocument pdf;
        EXPECT_TRUE(pdf.open(file)) << pdf.error();
        DeviceContext& dc = pdf.beginPage({});
        dc.setLoEnglish();
        dc.selectFont(face("DejaVu Sans", -40, weight));
        Rect r{50, -50, 2000, -100};
        dc.drawText("Total", 5, r, kDtSingleLine);
        EXPECT_TRUE(pdf.endPage());
        EXPECT_TRUE(pdf.finish()) << pdf.error();
        return readFile(file);
    };
    EXPECT_EQ(count(embeddedFor(0), "ExtraLight"), 0);
    EXPECT_EQ(count(embeddedFor(400), "ExtraLight"), 0);
    EXPECT_GT(count(embeddedFor(200), "ExtraLight"), 0);
}

TEST(PdfFontSize, DescriptorFlagsTellFixedPitchAndItalic) {
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("f.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    int row = 0;
    for (const auto& [name, italic] :
         {std::pair{"Liberation Mono", false}, std::pair{"Liberation Mono", true},
          std::pair{"Liberation Sans", false}}) {
        LogFont f = face(name, -40);
        f.italic = italic;
        dc.selectFont(f);
        Rect r{50, -50 - row * 60, 2000, -100 - row * 60};
        dc.drawText("Total", 5, r, kDtSingleLine);
        ++row;
    }
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    // Flags: 1 fixed pitch, 32 non-symbolic (the glyphs found by name), 64 italic.
    // qpdf writes each key on a line of its own, /Flags before /FontName.
    static const std::regex flagsLine("^\\s*/Flags (\\d+)\\s*$");
    static const std::regex nameLine("^\\s*/FontName /[A-Z]{6}\\+([A-Za-z-]+)\\s*$");
    std::map<std::string, int> flags;
    std::istringstream lines(out);
    int last = -1;
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, m, flagsLine)) last = std::stoi(m[1]);
        if (std::regex_match(line, m, nameLine) && last >= 0) flags[m[1]] = last;
    }
    ASSERT_EQ(flags.size(), 3u) << out.substr(0, 4000);
    EXPECT_EQ(flags["LiberationMono"] & 65, 1);
    EXPECT_EQ(flags["LiberationMono-Italic"] & 65, 65);
    EXPECT_EQ(flags["LiberationSans"] & 65, 0);
}

TEST(PdfFontSize, ACompactFontFormatFaceIsEmbeddedAsIs) {
    if (!std::filesystem::exists("/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf"))
        GTEST_SKIP() << "the URW base 35 fonts (Ghostscript's) are not installed";
    if (!haveTool("qpdf")) GTEST_SKIP() << "qpdf is needed (tools/setup installs it)";
    ScratchDir dir;
    const std::string file = dir.path("c.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    DeviceContext& dc = pdf.beginPage({});
    dc.setLoEnglish();
    dc.selectFont(face("Nimbus Mono PS", -40));
    Rect r{50, -50, 2000, -100};
    dc.drawText("Total", 5, r, kDtSingleLine);
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    const std::string out = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    EXPECT_NE(out.find("NimbusMonoPS"), std::string::npos);
    EXPECT_NE(out.find("/FontFile3"), std::string::npos);
    EXPECT_EQ(out.find("/FontFile2"), std::string::npos);
    EXPECT_EQ(run("qpdf --check '" + file + "'").status, 0);
}

// Bold is drawn by stroking only when the face found is lighter than demibold and demibold or
// more was asked: a Demi face is bold enough, a medium weight asks for no bold.
TEST(PdfFontSize, OnlyAFaceLighterThanDemiboldIsStrokedForBold) {
    const auto family = [](const char* name) {
        return !run(std::string("fc-list '") + name + "'").out.empty();
    };
    if (!family("URW Bookman") || !family("DejaVu Math TeX Gyre"))
        GTEST_SKIP() << "URW Bookman (Ghostscript's fonts) or DejaVu Math TeX Gyre is missing";
    PdfFontSet fonts([](const LogFont& f) { return std::string(f.faceName); });
    const struct {
        const char* family;
        int weight;
        bool stroked;
    } cases[] = {
        {"URW Bookman", 700, false},           // its Demi face (fontconfig weight 180)
        {"URW Bookman", 400, false},           // its Light face, asked for
        {"DejaVu Math TeX Gyre", 700, true},   // a regular face only
        {"DejaVu Math TeX Gyre", 600, true},   // semibold is demibold
        {"DejaVu Math TeX Gyre", 500, false},  // medium is not bold
        {"DejaVu Math TeX Gyre", 0, false},   {"Liberation Mono", 700, false},  // a face of its own
    };
    for (const auto& c : cases) {
        PdfFont* f = fonts.realise(face(c.family, -40, c.weight));
        ASSERT_NE(f, nullptr) << c.family << " " << c.weight;
        EXPECT_EQ(f->syntheticBold, c.stroked) << c.family << " " << c.weight;
    }
}

// A machine where fontconfig knows no font at all: the set gives no font and says which family
// it could not find, and the output can report it instead of drawing with nothing.
TEST(PdfFontSize, WithNoFontInstalledTheSetGivesNoneAndSaysWhy) {
    FcConfig* machine = FcConfigReference(nullptr);
    FcConfig* bare = FcConfigCreate();
    ASSERT_TRUE(FcConfigSetCurrent(bare));
    FcConfigDestroy(bare);
    PdfFontSet fonts([](const LogFont& f) { return std::string(f.faceName); });
    const PdfFont* f = fonts.realise(face("Liberation Mono", -40));
    const std::string error = fonts.error();
    FcConfigSetCurrent(machine);
    FcConfigDestroy(machine);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(error, "no installed font can be used for \"Liberation Mono\"");
}

}  // namespace folvek
