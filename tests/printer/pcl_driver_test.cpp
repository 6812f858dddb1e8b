// PCL jobs written by real drivers from a page of our own: Ghostscript's ljet4 device and
// netpbm's pbmtolj in each of its compressions. Each job is read, its page painted at the job's
// resolution and compared with the same page rendered by Ghostscript, placed where the
// printer puts it. Skipped when gs or pbmtolj is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "job_interpreter.h"
#include "job_paint.h"

using namespace folvek::printer;
using folvek::printer::test::BitCanvas;

namespace {

namespace fs = std::filesystem;

// Text, a frame, a thin rule, a filled disc and a solid box near the corner.
constexpr const char* kPage = R"(%!PS
/Helvetica findfont 24 scalefont setfont
72 760 moveto (Folvek PCL test page) show
/Courier findfont 10 scalefont setfont
72 740 moveto (Column 1      Column 2      1 234,56) show
newpath 72 600 moveto 300 0 rlineto 0 -100 rlineto -300 0 rlineto closepath 4 setlinewidth stroke
0.5 setlinewidth 72 480 moveto 400 0 rlineto stroke
200 300 80 0 360 arc fill
480 60 40 30 rectfill
showpage
)";

bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PclDriverJobs : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTool("gs")) GTEST_SKIP() << "Ghostscript (gs) is not installed";
        dir_ = fs::temp_directory_path() / ("folvek-pcl-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "page.ps") << kPage;
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // The source page rendered by gs at dpi on paper ("a4", "letter").
    BitCanvas source(int dpi, const std::string& paper) {
        const std::string out = path("source-" + paper + std::to_string(dpi) + ".pbm");
        const std::string gs = "gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=" + paper +
                               " -dFIXEDMEDIA -sDEVICE=pbmraw -r" + std::to_string(dpi) +
                               " -sOutputFile=" + out + " " + path("page.ps");
        if (!run(gs)) return {};
        return test::readPbm(out);
    }

    fs::path dir_;
};

// The source moved by (dx, dy) pixels onto a sheet of w x h: what a printer prints when it
// places the picture there.
BitCanvas placed(const BitCanvas& src, int dx, int dy, int w, int h) {
    BitCanvas c(w, h);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            if (src.at(x, y)) c.set(x + dx, y + dy);
    return c;
}

JobDocument readJob(const std::string& file) {
    const std::string job = readFile(file);
    EXPECT_FALSE(job.empty()) << file;
    return interpretPcl(job, JobOptions{});
}

// Compares the job's one page with the source placed at (dx, dy) within `tolerance` pixels.
void expectPage(const JobDocument& doc, const BitCanvas& src, int dpi, int dx, int dy,
                int tolerance) {
    ASSERT_EQ(doc.pages.size(), 1u);
    const JobPage& page = doc.pages[0];
    EXPECT_TRUE(doc.features.graphics);
    const BitCanvas drawn = test::paintPage(page, dpi, src.width, src.height);
    const BitCanvas expected = placed(src, dx, dy, src.width, src.height);
    ASSERT_GT(expected.inkCount(), 10000);
    EXPECT_EQ(test::mismatches(drawn, expected, tolerance), 0)
        << "ink " << drawn.inkCount() << " expected " << expected.inkCount();
}

}  // namespace

// ljet4 registers its page with ESC &l-180u36Z: the printer moves the logical page a quarter
// inch left and 36 decipoints (15 dots at 300) down. On A4 the logical page starts 71 dots in,
// so the picture lands 4 dots left of where gs drew it; on letter it starts 75 dots in.
TEST_F(PclDriverJobs, GhostscriptLjet4PagesLandWhereThePrinterPutsThem) {
    struct Case {
        int dpi;
        const char* paper;
        int dx, dy;
    };
    for (const Case& c :
         {Case{300, "a4", -4, 15}, Case{600, "a4", -8, 30}, Case{300, "letter", 0, 15}}) {
        SCOPED_TRACE(std::string(c.paper) + " " + std::to_string(c.dpi));
        const std::string job = path("page.lj4");
        ASSERT_TRUE(run("gs -q -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=" + std::string(c.paper) +
                        " -dFIXEDMEDIA -sDEVICE=ljet4 -r" + std::to_string(c.dpi) +
                        " -sOutputFile=" + job + " " + path("page.ps")));
        const JobDocument doc = readJob(job);
        EXPECT_TRUE(doc.warnings.empty()) << doc.warnings.front();
        const BitCanvas src = source(c.dpi, c.paper);
        ASSERT_GT(src.width, 0);
        // Every dot where the printer puts it: no tolerance.
        expectPage(doc, src, c.dpi, c.dx, c.dy, 0);
    }
}

// pbmtolj resets the printer, sets a top margin of 0 and starts its picture at the cursor: the
// cursor stays at home, the first line's baseline three quarters of a line (37.5 dots) below
// the page's top, 71 dots in from the left edge of A4.
TEST_F(PclDriverJobs, PbmtoljPagesInEveryCompression) {
    if (!haveTool("pbmtolj")) GTEST_SKIP() << "netpbm (pbmtolj) is not installed";
    const BitCanvas src = source(300, "a4");
    ASSERT_GT(src.width, 0);
    test::writePbm(src, path("source.pbm"));
    for (const char* option : {"", "-packbits"}) {
        SCOPED_TRACE(option);
        const std::string job = path("page.lj");
        ASSERT_TRUE(run(std::string("pbmtolj ") + option + " -resolution 300 " +
                        path("source.pbm") + " > " + job + " 2>/dev/null"));
        const JobDocument doc = readJob(job);
        // The picture's top, 37.5 dots down, goes onto dot row 38: no further tolerance.
        expectPage(doc, src, 300, 71, 38, 0);
    }
}

// With -delta (and -compress, which picks delta rows where they are shorter) pbmtolj sends its
// blank rows as ESC *b0W while delta-row compression is on; in that mode an empty row repeats
// the row before it, so the printer draws streaks below the last row of each shape. Everything
// of the page is drawn; the streaks are the job's own.
TEST_F(PclDriverJobs, PbmtoljDeltaRowsDrawThePageAndTheJobsOwnStreaks) {
    if (!haveTool("pbmtolj")) GTEST_SKIP() << "netpbm (pbmtolj) is not installed";
    const BitCanvas src = source(300, "a4");
    ASSERT_GT(src.width, 0);
    test::writePbm(src, path("source.pbm"));
    for (const char* option : {"-delta", "-compress"}) {
        SCOPED_TRACE(option);
        const std::string job = path("page.lj");
        ASSERT_TRUE(run(std::string("pbmtolj ") + option + " -resolution 300 " +
                        path("source.pbm") + " > " + job + " 2>/dev/null"));
        const JobDocument doc = readJob(job);
        ASSERT_EQ(doc.pages.size(), 1u);
        const BitCanvas drawn = test::paintPage(doc.pages[0], 300, src.width, src.height);
        const BitCanvas expected = placed(src, 71, 38, src.width, src.height);
        // Every source pixel is drawn...
        long missing = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                if (expected.at(x, y) && !drawn.at(x, y)) ++missing;
        EXPECT_EQ(missing, 0);
        // ... and with delta rows throughout, the streak under the last box reaches the bottom.
        if (std::string(option) == "-delta") {
            EXPECT_TRUE(drawn.at(71 + 500 * 300 / 72, src.height - 2));
        }
    }
}
