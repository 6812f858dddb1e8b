// A PDF sent to a print queue is often converted to PostScript (pdftops) and back to PDF
// (Ghostscript), as cups-pdf does: the text must survive that trip, not only the glyphs.
#include <gtest/gtest.h>

#include "pdf_test_support.h"

namespace folvek {
namespace {

using namespace pdftest;

TEST(PdfThroughPostScript, TextSurvivesPdftopsAndGhostscript) {
    for (const char* tool : {"pdftotext", "pdffonts", "pdftops", "gs"})
        if (!haveTool(tool))
            GTEST_SKIP() << tool << " is missing (poppler-utils and ghostscript are needed)";
    ScratchDir dir;
    const std::string file = dir.path("direct.pdf");
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    PdfPageGeometry g;
    g.paperWidthMm = g.printableWidthMm = 210;
    g.paperHeightMm = g.printableHeightMm = 297;
    DeviceContext& dc = pdf.beginPage(g);
    dc.setLoEnglish();
    dc.setTransparentText();
    dc.selectFont(courier(700));
    line(dc, cp1251("ВЕДОМОСТЬ ОСТАТКОВ"), 0);
    dc.selectFont(courier());
    line(dc, cp1251("Ёлкин ёж, счёт ") + "\xB9" + "5 \xAB" + cp1251("итог") + "\xBB \x97 100,00",
         1);
    line(dc, "(a+b)*c/d=e; x_y [z] {w} ~ | \\ @#$%&'\"`^!?<>", 2);
    // A control character prints as a blank, 0x98 (no character) as the missing glyph.
    line(dc, std::string("tab\x01here \x98 end"), 3);
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();

    // Ghostscript reads the file as written without a warning.
    const Command direct = run("gs -q -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + file + "'");
    EXPECT_EQ(direct.status, 0);
    EXPECT_EQ(direct.out, "") << "Ghostscript warns";

    // CUPS's pdftops filter converts with poppler's pdftops or with Ghostscript's ps2write,
    // depending on the printer; cups-pdf makes a PDF of the PostScript with Ghostscript.
    const std::string ps = dir.path("job.ps"), back = dir.path("back.pdf");
    for (const std::string& toPostScript :
         {"pdftops '" + file + "' '" + ps + "'",
          "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ps2write -sOutputFile='" + ps + "' '" + file +
              "'"}) {
        SCOPED_TRACE(toPostScript);
        const Command toPs = run(toPostScript);
        ASSERT_EQ(toPs.status, 0) << toPs.out;
        EXPECT_EQ(toPs.out, "") << "the conversion warns";
        const Command toPdf =
            run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite "
                "-dPDFSETTINGS=/prepress -sOutputFile='" +
                back + "' '" + ps + "'");
        ASSERT_EQ(toPdf.status, 0) << toPdf.out;
        EXPECT_EQ(toPdf.out, "") << "Ghostscript warns";

        const Command text = run("pdftotext -layout '" + back + "' -");
        for (const char* words : {"ВЕДОМОСТЬ ОСТАТКОВ", "Ёлкин ёж, счёт №5 «итог» — 100,00",
                                  "(a+b)*c/d=e; x_y [z] {w} ~ | \\ @#$%&'\"`^!?<>", "tab here"})
            EXPECT_NE(text.out.find(words), std::string::npos) << words << " in\n" << text.out;
        // Both faces keep their embedded subsets and a way back to Unicode.
        const Command fonts = run("pdffonts '" + back + "'");
        EXPECT_EQ(count(fonts.out, "yes yes yes"), 2) << fonts.out;
    }
}

}  // namespace
}  // namespace folvek
