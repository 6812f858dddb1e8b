// Jobs written by real printer drivers from a page of our own: Ghostscript's dot-matrix devices
// and netpbm's converters. The job read back and painted must be the page the driver was
// given, on one sheet, to within a small tolerance: the dots of a pin are painted as tall as the
// pin, so interleaved passes overlap by one fine row.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "job_interpreter.h"
#include "job_paint.h"

using namespace folvek::printer;
namespace fs = std::filesystem;

namespace {

bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Our page: a bold title, a thick rule, a square outline, a filled disc, a line of small text.
const char* kPage = R"(%!PS
<< /PageSize [612 792] >> setpagedevice
/Helvetica-Bold findfont 28 scalefont setfont
72 700 moveto (Folvek test page) show
4 setlinewidth
72 600 moveto 540 600 lineto stroke
100 300 200 200 rectstroke
400 400 moveto 450 400 80 0 360 arc fill
/Times-Roman findfont 12 scalefont setfont
72 200 moveto (The quick brown fox jumps over the lazy dog 0123456789) show
showpage
)";

class DriverJobs : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTool("gs"))
            GTEST_SKIP() << "ghostscript (gs) is not installed: driver jobs skipped";
        dir_ = fs::path(::testing::TempDir()) /
               ("folvek-driver-jobs-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        std::ofstream(dir_ / "page.ps") << kPage;
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty() && !HasFailure()) fs::remove_all(dir_, ec);  // kept for a look
    }

    std::string gs(const std::string& device, const std::string& res, const std::string& out) {
        const fs::path p = dir_ / out;
        EXPECT_TRUE(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=" + device + " " + res +
                        " -sOutputFile=" + p.string() + " " + (dir_ / "page.ps").string()));
        return p.string();
    }

    // Reads the job, expects one sheet, paints it at the source's density and measures the
    // tolerance at which it matches the source pixel for pixel.
    // The drivers' own margins say where on the sheet the job's origin lies: the page is
    // compared with them added. Ghostscript's epson device counts its margins (0.25 and 0.4
    // inch) in pixels of its default 240 x 72 dpi, whatever the resolution: 60 and 29 pixels.
    void expectSamePage(const std::string& job, const std::string& sourcePbm, int dpiX, int dpiY,
                        int tolerance, JobLanguage language, double leftInch = 0,
                        double topInch = 0) {
        const test::BitCanvas source = test::readPbm(sourcePbm);
        ASSERT_GT(source.width, 0);
        const std::string bytes = readFile(job);
        EXPECT_EQ(detectLanguage(bytes), language);
        JobDocument doc = interpretJob(bytes);
        ASSERT_EQ(doc.pages.size(), 1u) << job;
        EXPECT_TRUE(doc.features.graphics);
        EXPECT_LT(doc.pages[0].rasters.size(), 40u) << "a page of a few pictures, not stripes";
        for (JobRaster& r : doc.pages[0].rasters) {
            r.x += static_cast<JobUnits>(leftInch * kUnitsPerInch);
            r.y += static_cast<JobUnits>(topInch * kUnitsPerInch);
        }
        const test::BitCanvas drawn =
            test::paintPage(doc.pages[0], dpiX, dpiY, source.width, source.height);
        EXPECT_GT(drawn.inkCount(), source.inkCount() / 2);
        const int tight = test::tightestTolerance(drawn, source, tolerance);
        if (tight < 0) {
            test::writePbm(drawn, job + ".drawn.pbm");
            ADD_FAILURE() << job << ": " << test::mismatches(drawn, source, tolerance)
                          << " pixels differ at tolerance " << tolerance << " (drawn page kept in "
                          << job << ".drawn.pbm)";
        } else {
            std::printf("%s: matches its source at a tolerance of %d pixel(s)\n",
                        fs::path(job).filename().c_str(), tight);
        }
    }

    fs::path dir_;
};

TEST_F(DriverJobs, GhostscriptEpson9PinDevicesPrintTheirPage) {
    expectSamePage(gs("epson", "", "epson.prn"), gs("pbmraw", "-r240x72", "src72.pbm"), 240, 72, 1,
                   JobLanguage::EscP, 60.0 / 240, 29.0 / 72);
    expectSamePage(gs("eps9mid", "", "eps9mid.prn"), gs("pbmraw", "-r240x216", "src216.pbm"), 240,
                   216, 2, JobLanguage::EscP, 0.2);
    expectSamePage(gs("eps9high", "", "eps9high.prn"), (dir_ / "src216.pbm").string(), 240, 216, 2,
                   JobLanguage::EscP, 0.2);
    expectSamePage(gs("ibmpro", "", "ibmpro.prn"), (dir_ / "src72.pbm").string(), 240, 72, 1,
                   JobLanguage::Proprinter, 0.2);
}

// eps9mid and eps9high leave out every other column in the rows of their outer passes: a
// 9-pin dot is wide enough to close the gap on paper, and on our page too. A frame of hairlines
// comes out without a single-column gap in any row.
TEST_F(DriverJobs, Ghostscript9PinHairlinesPrintSolidNotDashed) {
    std::ofstream(dir_ / "hairlines.ps") << "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
                                            "0.2 setlinewidth\n"
                                            "100 300 400 300 rectstroke\n"
                                            "100 450.3 moveto 500 450.3 lineto stroke\n"
                                            "showpage\n";
    for (const char* device : {"eps9mid", "eps9high"}) {
        const fs::path job = dir_ / (std::string(device) + "-hairlines.prn");
        ASSERT_TRUE(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=" + std::string(device) +
                        " -sOutputFile=" + job.string() + " " + (dir_ / "hairlines.ps").string()));
        const JobDocument doc = interpretJob(readFile(job));
        ASSERT_EQ(doc.pages.size(), 1u);
        const test::BitCanvas drawn = test::paintPage(doc.pages[0], 240, 216, 2040, 2376);
        ASSERT_GT(drawn.inkCount(), 1000);
        long gaps = 0;
        for (int y = 0; y < drawn.height; ++y)
            for (int x = 1; x + 1 < drawn.width; ++x)
                if (drawn.at(x - 1, y) && !drawn.at(x, y) && drawn.at(x + 1, y)) ++gaps;
        EXPECT_EQ(gaps, 0) << device;
    }
}

TEST_F(DriverJobs, GhostscriptEpson24PinDevicesPrintTheirPage) {
    expectSamePage(gs("epson", "-r180x180", "epson180.prn"), gs("pbmraw", "-r180", "src180.pbm"),
                   180, 180, 1, JobLanguage::EscP, 60.0 / 180, 29.0 / 180);
    expectSamePage(gs("necp6", "", "necp6.prn"), gs("pbmraw", "-r360", "src360.pbm"), 360, 360, 2,
                   JobLanguage::EscP);
    expectSamePage(gs("lq850", "", "lq850.prn"), (dir_ / "src360.pbm").string(), 360, 360, 2,
                   JobLanguage::EscP);
}

TEST_F(DriverJobs, GhostscriptStylusAndOkiDevicesPrintTheirPage) {
    // The Stylus 800 device speaks ESC/P2: graphics mode, ESC ( v moves, run-length ESC . bands.
    // Its page starts at its margins twice over: Ghostscript's offset (0.13 and 0.34 inch, 47
    // and 122 pixels) and the rows and bytes the driver leaves out (122 rows, 5 bytes).
    expectSamePage(gs("st800", "", "st800.prn"), gs("pbmraw", "-r360", "s360.pbm"), 360, 360, 1,
                   JobLanguage::EscP2, 87.0 / 360, 244.0 / 360);
    expectSamePage(gs("okiibm", "", "okiibm.prn"), gs("pbmraw", "-r120x72", "s120.pbm"), 120, 72, 1,
                   JobLanguage::EscP, 0.25);
}

TEST_F(DriverJobs, NetpbmEpsonAndEscP2ConvertersPrintTheirPage) {
    if (!haveTool("pbmtoepson") || !haveTool("pbmtoescp2"))
        GTEST_SKIP() << "netpbm (pbmtoepson, pbmtoescp2) is not installed: its jobs skipped";
    const std::string src72 = gs("pbmraw", "-r72", "n72.pbm");
    const std::string src360 = gs("pbmraw", "-r360", "n360.pbm");
    const std::string src180 = gs("pbmraw", "-r180", "n180.pbm");
    const auto convert = [&](const std::string& cmd, const std::string& in,
                             const std::string& out) {
        const fs::path p = dir_ / out;
        EXPECT_TRUE(run(cmd + " " + in + " > " + p.string()));
        return p.string();
    };
    expectSamePage(convert("pbmtoepson", src72, "pbmtoepson.prn"), src72, 72, 72, 1,
                   JobLanguage::EscP);
    expectSamePage(convert("pbmtoescp2 -compress=1", src360, "escp2-rle.prn"), src360, 360, 360, 1,
                   JobLanguage::EscP2);
    expectSamePage(convert("pbmtoescp2 -compress=0 -resolution=180", src180, "escp2-raw.prn"),
                   src180, 180, 180, 1, JobLanguage::EscP2);
}

}  // namespace
