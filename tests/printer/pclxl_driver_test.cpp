// PCL XL jobs written by Ghostscript's PCL 6 devices from a page of our own: lj5mono and lj5gray
// send the page as one image, which must come out pixel for pixel as gs renders the page;
// pxlmono draws with vector operators and bitmap fonts, which are drawn too. Skipped when gs is
// missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "job_interpreter.h"
#include "job_paint.h"
#include "printed_job.h"

using namespace folvek::printer;
using folvek::JobVerdict;
using folvek::LayoutMode;
using folvek::printer::test::BitCanvas;

namespace {

namespace fs = std::filesystem;

// Text, a frame, a thin rule, a filled disc and a solid box near the corner.
constexpr const char* kPage = R"(%!PS
/Helvetica findfont 24 scalefont setfont
72 760 moveto (Folvek PCL XL test page) show
/Courier findfont 10 scalefont setfont
72 740 moveto (Column 1      Column 2      1 234,56) show
newpath 72 600 moveto 300 0 rlineto 0 -100 rlineto -300 0 rlineto closepath 4 setlinewidth stroke
0.5 setlinewidth 72 480 moveto 400 0 rlineto stroke
200 300 80 0 360 arc fill
480 60 40 30 rectfill
showpage
)";

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PclXlDriverJobs : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("command -v gs >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "Ghostscript (gs) is not installed";
        dir_ = fs::temp_directory_path() / ("folvek-pclxl-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "page.ps") << kPage;
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // The page written by a gs device at dpi on paper; `extra` adds gs options.
    std::string job(const std::string& device, int dpi, const std::string& paper,
                    const std::string& extra = "") {
        const std::string out = path("page." + device);
        // No paper: the page's own size.
        const std::string media = paper.empty() ? "" : " -sPAPERSIZE=" + paper + " -dFIXEDMEDIA";
        const bool ok =
            run("gs -q -dSAFER -dBATCH -dNOPAUSE" + media + " -sDEVICE=" + device + " -r" +
                std::to_string(dpi) + " " + extra + " -sOutputFile=" + out + " " + path("page.ps"));
        EXPECT_TRUE(ok) << device;
        return ok ? readFile(out) : std::string();
    }

    // The source page rendered by gs at dpi on paper.
    BitCanvas source(int dpi, const std::string& paper) {
        const std::string out = path("source.pbm");
        if (!run("gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=" + paper +
                 " -dFIXEDMEDIA -sDEVICE=pbmraw -r" + std::to_string(dpi) + " -sOutputFile=" + out +
                 " " + path("page.ps")))
            return {};
        return test::readPbm(out);
    }

    fs::path dir_;
};

}  // namespace

// The page image lands at the paper's corner, every dot where gs drew it.
TEST_F(PclXlDriverJobs, Lj5PagesMatchTheSourcePageDotForDot) {
    struct Case {
        const char* device;
        int dpi;
        const char* paper;
    };
    for (const Case& c :
         {Case{"lj5mono", 300, "a4"}, Case{"lj5mono", 600, "letter"}, Case{"lj5gray", 300, "a4"}}) {
        SCOPED_TRACE(std::string(c.device) + " " + c.paper + " " + std::to_string(c.dpi));
        const std::string bytes = job(c.device, c.dpi, c.paper);
        ASSERT_EQ(detectLanguage(bytes), JobLanguage::PclXl);
        const JobDocument doc = interpretJob(bytes);
        EXPECT_EQ(doc.language, JobLanguage::PclXl);
        EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
        EXPECT_TRUE(doc.features.graphics);
        ASSERT_EQ(doc.pages.size(), 1u);
        const BitCanvas src = source(c.dpi, c.paper);
        ASSERT_GT(src.inkCount(), 10000);
        // The form is the paper gs was given (gs takes A4 as 595 x 842 points: 2 dots less).
        EXPECT_NEAR(double(doc.pages[0].width) * c.dpi / kUnitsPerInch, src.width, 2.0);
        EXPECT_NEAR(double(doc.pages[0].height) * c.dpi / kUnitsPerInch, src.height, 2.0);
        const BitCanvas drawn = test::paintPage(doc.pages[0], c.dpi, src.width, src.height);
        EXPECT_EQ(test::mismatches(drawn, src, 0), 0)
            << "ink " << drawn.inkCount() << " expected " << src.inkCount();
    }
}

// Two pages, and the file laid out by the job with --info's verdict naming the language and
// the form.
TEST_F(PclXlDriverJobs, EveryPageIsReadAndTheLanguageIsNamed) {
    std::ofstream(path("page.ps"), std::ios::app) << "showpage\n";  // a blank second page
    const JobDocument doc = interpretJob(job("lj5mono", 300, "a4"));
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_TRUE(doc.pages[1].rasters.empty());
    PrinterJobReader reader;
    JobVerdict v;
    const auto pages = reader.read(path("page.lj5mono"), LayoutMode::Auto, true, v);
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->pageCount(), 2);
    EXPECT_EQ(v.language, "PCL XL");
    EXPECT_NE(v.reason.find("pictures"), std::string::npos);
    EXPECT_NEAR(v.formWidthInches, 8.27, 0.01);
    EXPECT_NEAR(v.formHeightInches, 11.69, 0.01);
    EXPECT_TRUE(v.warnings.empty());
}

// pxlmono draws vectors and text in downloaded bitmap fonts: its text, frame, rule, disc and
// box (characters, rectangles and paths, filled and stroked) land within a pixel of where gs
// drew them.
TEST_F(PclXlDriverJobs, PxlmonoTextAndPathsLandWhereGsDrewThem) {
    const JobDocument doc = interpretJob(job("pxlmono", 300, "a4"));
    ASSERT_EQ(doc.pages.size(), 1u);
    const JobPage& page = doc.pages[0];
    EXPECT_TRUE(page.runs.empty());  // the characters are pictures: the font has no codes
    EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
    const BitCanvas src = source(300, "a4");
    ASSERT_GT(src.inkCount(), 10000);
    const BitCanvas drawn = test::paintPage(page, 300, src.width, src.height);
    EXPECT_EQ(test::mismatches(drawn, src, 1), 0)
        << "ink " << drawn.inkCount() << " expected " << src.inkCount();
}

// A picture scaled to a size that is no whole number of its pixels an inch (64 x 32 pixels
// onto 300 x 200 points): pxlmono sends it as an image, run-length or delta-row compressed, and
// it is drawn at the job's 300 dots an inch within a pixel of where gs draws it.
TEST_F(PclXlDriverJobs, PxlmonoScaledImagesInEachCompression) {
    std::ofstream(path("page.ps")) << "%!PS\n100 400 translate 300 200 scale\n"
                                      "64 32 1 [64 0 0 -32 0 32] "
                                      "{ <f0f0ff00aa55cc33f0f0ff00aa55cc31> } image\nshowpage\n";
    const BitCanvas src = source(300, "a4");
    ASSERT_GT(src.inkCount(), 10000);
    for (const char* mode : {"1", "3"}) {
        SCOPED_TRACE(mode);
        const JobDocument doc =
            interpretJob(job("pxlmono", 300, "a4", std::string("-dCompressMode=") + mode));
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
        const BitCanvas drawn = test::paintPage(doc.pages[0], 300, src.width, src.height);
        EXPECT_EQ(test::mismatches(drawn, src, 1), 0)
            << "ink " << drawn.inkCount() << " expected " << src.inkCount();
    }
}

// A landscape page: the drivers turn the sheet (Orientation 1) and draw in its turned
// coordinates, so the form is the sheet's long side wide.
TEST_F(PclXlDriverJobs, LandscapePagesAreTurned) {
    std::ofstream(path("page.ps")) << "%!PS\n<< /PageSize [842 595] >> setpagedevice\n"
                                      "/Helvetica findfont 24 scalefont setfont\n"
                                      "72 500 moveto (Landscape) show 600 100 100 50 rectfill\n"
                                      "showpage\n";
    const std::string out = path("source.pbm");
    ASSERT_TRUE(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r300 -sOutputFile=" + out +
                    " " + path("page.ps")));
    const BitCanvas src = test::readPbm(out);
    ASSERT_GT(src.width, src.height);
    for (const char* device : {"lj5mono", "pxlmono"}) {
        SCOPED_TRACE(device);
        const JobDocument doc = interpretJob(job(device, 300, ""));
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_GT(doc.pages[0].width, doc.pages[0].height);
        const BitCanvas drawn = test::paintPage(doc.pages[0], 300, src.width, src.height);
        EXPECT_EQ(test::mismatches(drawn, src, std::string(device) == "lj5mono" ? 0 : 1), 0);
    }
}
