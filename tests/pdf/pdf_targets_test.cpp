// Where a PDF may be written: a directory, a dangling link or a folder that is not there are
// refused with a reason and leave nothing behind; a character device takes the bytes as a
// stream.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "pdf_test_support.h"

namespace folvek {

using namespace pdftest;

TEST(PdfTargets, RefusedTargetsSayWhy) {
    ScratchDir dir;
    struct Case {
        std::string path;
        const char* says;
    };
    std::filesystem::create_directory(dir.path("sub"));
    ASSERT_EQ(::symlink(dir.path("nowhere").c_str(), dir.path("dangling").c_str()), 0);
    const Case cases[] = {
        {dir.path("sub"), "is a directory"},
        {dir.path("dangling"), "is a block device or a dangling link; not written"},
        {dir.path("missing/out.pdf"), "cannot create a file beside"},
    };
    for (const Case& c : cases) {
        PdfDocument pdf;
        EXPECT_FALSE(pdf.open(c.path)) << c.path;
        EXPECT_NE(pdf.error().find(c.says), std::string::npos) << pdf.error();
    }
    EXPECT_EQ(dir.files(), 0);  // nothing left behind, the link aside
    EXPECT_FALSE(std::filesystem::exists(dir.path("nowhere")));
}

TEST(PdfTargets, ADeviceTakesTheDocumentAsAStream) {
    PdfDocument pdf;
    ASSERT_TRUE(pdf.open("/dev/null")) << pdf.error();
    pdf.beginPage({});
    EXPECT_TRUE(pdf.endPage());
    EXPECT_TRUE(pdf.finish()) << pdf.error();
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

}  // namespace folvek
