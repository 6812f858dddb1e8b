// A PDF sent to a print queue is often converted to PostScript and back to PDF, as cups-pdf
// does: the text must survive that trip, not only the glyphs. CUPS's pdftops filter converts
// with poppler's pdftops or with Ghostscript's ps2write, depending on the printer; cups-pdf
// makes the PDF of the PostScript with Ghostscript.
#include <gtest/gtest.h>

#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

const char* const kWords[] = {"ВЕДОМОСТЬ ОСТАТКОВ", "Ёлкин ёж, счёт №5 «итог» — 100,00",
                              "(a+b)*c/d=e; x_y [z] {w} ~ | \\ @#$%&'\"`^!?<>", "tab here"};

class PdfThroughPostScript : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"pdftotext", "pdffonts", "pdftops", "gs"})
            if (!haveTool(tool))
                GTEST_SKIP() << tool << " is missing (poppler-utils and ghostscript are needed)";
    }

    // The test page in the face `family`, regular and bold.
    std::string write(const char* family) {
        const std::string file = dir_.path("direct.pdf");
        PdfDocument pdf;
        EXPECT_TRUE(pdf.open(file)) << pdf.error();
        PdfPageGeometry g;
        g.paperWidthMm = g.printableWidthMm = 210;
        g.paperHeightMm = g.printableHeightMm = 297;
        DeviceContext& dc = pdf.beginPage(g);
        LogFont regular = courier(), bold = courier(700);
        regular.setFaceName(family);
        bold.setFaceName(family);
        dc.setLoEnglish();
        dc.setTransparentText();
        dc.selectFont(bold);
        line(dc, cp1251("ВЕДОМОСТЬ ОСТАТКОВ"), 0);
        dc.selectFont(regular);
        line(dc,
             cp1251("Ёлкин ёж, счёт ") + "\xB9" + "5 \xAB" + cp1251("итог") + "\xBB \x97 100,00",
             1);
        line(dc, "(a+b)*c/d=e; x_y [z] {w} ~ | \\ @#$%&'\"`^!?<>", 2);
        // A control character prints as a blank, 0x98 (no character) as the missing glyph.
        line(dc, std::string("tab\x01here \x98 end"), 3);
        EXPECT_TRUE(pdf.endPage());
        EXPECT_TRUE(pdf.finish()) << pdf.error();
        // Ghostscript reads the file as written without a warning.
        const Command direct = run("gs -q -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + file + "'");
        EXPECT_EQ(direct.status, 0);
        EXPECT_EQ(direct.out, "") << "Ghostscript warns";
        return file;
    }

    // `file` converted to PostScript by `toPostScript` ("pdftops" or "ps2write") and back to PDF
    // by Ghostscript keeps the words and both faces with a way back to Unicode.
    void expectTextSurvives(const std::string& file, const std::string& toPostScript) {
        SCOPED_TRACE(toPostScript);
        const std::string ps = dir_.path("job.ps"), back = dir_.path("back.pdf");
        const Command toPs =
            run(toPostScript == "pdftops" ? "pdftops '" + file + "' '" + ps + "'"
                                          : "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ps2write "
                                            "-sOutputFile='" +
                                                ps + "' '" + file + "'");
        ASSERT_EQ(toPs.status, 0) << toPs.out;
        EXPECT_EQ(toPs.out, "") << "the conversion warns";
        const Command toPdf =
            run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dPDFSETTINGS=/prepress "
                "-sOutputFile='" +
                back + "' '" + ps + "'");
        ASSERT_EQ(toPdf.status, 0) << toPdf.out;
        EXPECT_EQ(toPdf.out, "") << "Ghostscript warns";
        const Command text = run("pdftotext -layout '" + back + "' -");
        for (const char* words : kWords)
            EXPECT_NE(text.out.find(words), std::string::npos) << words << " in\n" << text.out;
        const Command fonts = run("pdffonts '" + back + "'");
        EXPECT_EQ(count(fonts.out, "yes yes yes"), 2) << fonts.out;
    }

    ScratchDir dir_;
};

TEST_F(PdfThroughPostScript, TrueTypeFacesKeepTheirTextBothWays) {
    const std::string file = write("Liberation Mono");
    ASSERT_EQ(count(run("pdffonts '" + file + "'").out, "TrueType"), 2);
    expectTextSurvives(file, "pdftops");
    expectTextSurvives(file, "ps2write");
}

// Ghostscript's ps2write draws any CFF font as Type 3 outlines without names, even its own
// faces, so only pdftops is asked to keep the text of a CFF face.
TEST_F(PdfThroughPostScript, CffFacesKeepTheirTextThroughPdftops) {
    const std::string file = write("Nimbus Mono PS");
    if (count(run("pdffonts '" + file + "'").out, "Type 1C") != 2)
        GTEST_SKIP() << "Nimbus Mono PS (fonts-urw-base35, which Ghostscript brings) is not "
                        "installed as a CFF face";
    expectTextSurvives(file, "pdftops");
}

}  // namespace
}  // namespace folvek
