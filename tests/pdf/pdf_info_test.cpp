// The document information a viewer shows: the title and producer as UTF-16 text strings,
// characters outside the basic plane as surrogate pairs.
#include <gtest/gtest.h>

#include "pdf_test_support.h"

namespace folvek {

using namespace pdftest;

TEST(PdfInfo, TitleAndProducerAreUtf16WithSurrogates) {
    ScratchDir dir;
    const std::string file = dir.path("t.pdf");
    PdfDocumentOptions options;
    options.title = "Aя€\xF0\x9F\x98\x80 1";  // A, ya, euro, U+1F600, space, 1
    options.creator = "Folvek";
    PdfDocument pdf(options);
    ASSERT_TRUE(pdf.open(file)) << pdf.error();
    pdf.beginPage({});
    ASSERT_TRUE(pdf.endPage());
    ASSERT_TRUE(pdf.finish()) << pdf.error();
    std::string bytes = readFile(file);
    if (bytes.find("/Title") == std::string::npos && haveTool("qpdf"))
        bytes = run("qpdf --qdf --object-streams=disable '" + file + "' -").out;
    EXPECT_NE(bytes.find("/Title<FEFF0041044F20ACD83DDE0000200031>"), std::string::npos);
    EXPECT_NE(bytes.find("/Producer<FEFF0046006F006C00760065006B>"), std::string::npos);
}

}  // namespace folvek
