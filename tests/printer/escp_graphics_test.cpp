// Hand-written bit-image and raster jobs, and hostile ones: counts past the end, huge rasters,
// moves past the paper, endless tabs and sheets.
#include <gtest/gtest.h>

#include "escp_job.h"
#include "job_paint.h"

using namespace folvek::printer;
using namespace folvek::printer::test;
using namespace std::string_literals;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;

// The dots of page 0 painted at dpiX x dpiY.
BitCanvas paint(const JobDocument& doc, int dpiX, int dpiY) {
    const JobPage& p = doc.pages.at(0);
    return paintPage(p, dpiX, dpiY, int(std::int64_t(p.width) * dpiX / kInch),
                     int(std::int64_t(p.height) * dpiY / kInch));
}

}  // namespace

TEST(EscPGraphics, EightDotColumnsPrintAtEachDensityAndMoveTheHead) {
    struct Case {
        std::string command;
        int dpi;
    } cases[] = {{"\x1bK", 60},      {"\x1bL", 120},     {"\x1bY", 120},     {"\x1bZ", 240},
                 {"\x1b*\x00"s, 60}, {"\x1b*\x01", 120}, {"\x1b*\x02", 120}, {"\x1b*\x03", 240},
                 {"\x1b*\x04", 80},  {"\x1b*\x05", 72},  {"\x1b*\x06", 90},  {"\x1b*\x07", 144}};
    for (const Case& k : cases) {
        // Two columns: the top pin, then the top and the bottom pin.
        const JobDocument doc = readEscP(std::string(k.command) +
                                         "\x02\x00\x80\x81"
                                         "A"s);
        ASSERT_EQ(doc.pages.size(), 1u);
        ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
        const JobRaster& r = doc.pages[0].rasters[0];
        EXPECT_EQ(r.dpiX, k.dpi);
        EXPECT_EQ(r.width, 2);
        EXPECT_EQ(find(doc, U'A').x, 2 * kInch / k.dpi) << "the head moves past the columns";
        const BitCanvas c = paint(doc, k.dpi, 72);  // 9 pins: dots 1/72 inch apart
        EXPECT_TRUE(c.at(0, 0) && c.at(1, 0) && c.at(1, 7) && !c.at(0, 7) && !c.at(1, 8));
        EXPECT_TRUE(doc.features.graphics);
    }
}

TEST(EscPGraphics, TwentyFourAndFortyEightDotColumnsUseTheFinePinPitch) {
    // ESC * 39: 180 dpi, three bytes a column; pins 1/180 inch apart.
    const JobDocument doc = readEscP(
        "\x1b*\x27\x01\x00\x80\x00\x01"
        "A"s);
    const BitCanvas c = paint(doc, 180, 180);
    EXPECT_TRUE(c.at(0, 0));
    EXPECT_FALSE(c.at(0, 1));
    EXPECT_TRUE(c.at(0, 23));
    EXPECT_EQ(find(doc, U'A').x, kInch / 180);
    // Each mode's density and column height: one column of all ink takes exactly its bytes,
    // and the text after it is all that prints.
    const struct {
        int m, dpi, bytes;
    } modes[] = {{32, 60, 3},  {33, 120, 3}, {38, 90, 3},  {39, 180, 3},
                 {40, 360, 3}, {71, 180, 6}, {72, 360, 6}, {73, 360, 6}};
    for (const auto& k : modes) {
        const JobDocument d = readEscP("\x1b*"s + char(k.m) + "\x01\x00"s +
                                       std::string(std::size_t(k.bytes), '\xff') + "AB");
        ASSERT_EQ(d.pages.at(0).rasters.size(), 1u) << k.m;
        EXPECT_EQ(d.pages[0].rasters[0].dpiX, k.dpi) << k.m;
        // 24 pins 1/180 inch apart or 48 pins 1/360 apart: the same column height.
        const JobRaster& r = d.pages[0].rasters[0];
        EXPECT_EQ(JobUnits(r.height) * kInch / r.dpiY, 24 * kInch / 180) << k.m;
        EXPECT_EQ(allText(d), U"AB") << k.m;
        EXPECT_EQ(find(d, U'A').x, kInch / k.dpi) << k.m;
    }
    // ESC * 73: six bytes a column, dots 1/360 inch apart.
    const BitCanvas fine = paint(readEscP("\x1b*\x49\x01\x00\x00\x00\x00\x00\x00\x01"s), 360, 360);
    EXPECT_TRUE(fine.at(0, 47));
    EXPECT_FALSE(fine.at(0, 46));
}

TEST(EscPGraphics, UnknownDensitiesSkipTheirDataByTheModesDotHeight) {
    // Modes below 32 are 8-dot (one byte a column), 32-63 24-dot (three), 64 on 48-dot (six):
    // one column of "BCDEFG" leaves the letters after its data as text, at the left margin.
    struct Case {
        int mode;
        std::u32string text;
    } cases[] = {{8, U"CDEFGA"}, {31, U"CDEFGA"}, {34, U"EFGA"}, {37, U"EFGA"}, {41, U"EFGA"},
                 {63, U"EFGA"},  {64, U"A"},      {70, U"A"},    {74, U"A"},    {127, U"A"}};
    for (const Case& k : cases) {
        const JobDocument doc = readEscP("\x1b*"s + char(k.mode) + "\x01\x00"s + "BCDEFGA");
        ASSERT_EQ(doc.pages.size(), 1u) << k.mode;
        EXPECT_TRUE(doc.pages[0].rasters.empty()) << k.mode;
        EXPECT_EQ(allText(doc), k.text) << k.mode;
        EXPECT_EQ(printed(doc).at(0).x, 0) << k.mode;
        EXPECT_FALSE(doc.warnings.empty()) << k.mode;
    }
    // The 48-dot modes that are known: 71 at 180 dpi, 72 and 73 at 360.
    for (auto [m, dpi] : {std::pair{71, 180}, {72, 360}, {73, 360}, {39, 180}}) {
        const JobDocument d = readEscP("\x1b*"s + char(m) + "\x01\x00"s + std::string(6, '\xff'));
        ASSERT_EQ(d.pages.at(0).rasters.size(), 1u) << m;
        EXPECT_EQ(d.pages[0].rasters[0].dpiX, dpi) << m;
    }
}

TEST(EscPGraphics, NineDotColumnsAndReassignedDensities) {
    const BitCanvas nine = paint(readEscP("\x1b^\x00\x01\x00\x00\x80"s), 60, 72);
    EXPECT_TRUE(nine.at(0, 8));
    EXPECT_FALSE(nine.at(0, 7));
    // ESC ? K 3: ESC K now prints at 240 dpi.
    const JobDocument doc = readEscP("\x1b?K\x03\x1bK\x01\x00\xff"s);
    EXPECT_EQ(doc.pages.at(0).rasters.at(0).dpiX, 240);
}

TEST(EscPGraphics, EscP2RasterDotsPlainAndRunLengthCoded) {
    // 2 rows of 16 dots at 360 dpi; row 1 coded as a run of two 0xAA, row 2 as literal bytes.
    const std::string rle =
        "\x1b.\x01\x0a\x0a\x02\x10\x00\xff\xaa\x01\x0f\xf0"
        "A"s;
    const JobDocument doc = readEscP(rle, JobLanguage::EscP2);
    const BitCanvas c = paint(doc, 360, 360);
    EXPECT_TRUE(c.at(0, 0) && !c.at(1, 0) && c.at(8, 0) && c.at(14, 0));
    EXPECT_TRUE(!c.at(3, 1) && c.at(4, 1) && c.at(11, 1) && !c.at(12, 1));
    EXPECT_EQ(find(doc, U'A').x, 16 * kInch / 360);
    const std::string raw = "\x1b.\x00\x14\x14\x01\x08\x00\x81"s;  // 180 dpi, uncompressed
    const JobDocument d2 = readEscP(raw, JobLanguage::EscP2);
    EXPECT_EQ(d2.pages.at(0).rasters.at(0).dpiX, 180);
    EXPECT_EQ(d2.pages[0].rasters[0].width, 8);
}

TEST(EscPGraphics, GraphicsModeRasterLinesAndNoTextInIt) {
    const std::string job =
        "\x1b@\x1b(G\x01\x00\x01\x1b(U\x01\x00\x0a\x1b(D\x04\x00\xd0\x02\x14\x0a"  // 720/20 x
                                                                                   // 720/10
        "\x1b(V\x02\x00\xb4\x00"                                                   // 0.5 inch down
        "\x1bi\x00\x01\x01\x02\x00\x02\xfe\xff\x00\x3c"  // two lines of 2 bytes, run-coded
        "text"s;
    const JobDocument doc = readEscP(job, JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].rasters.size(), 1u);
    const JobRaster& r = doc.pages[0].rasters[0];
    EXPECT_EQ(r.dpiX, 72);
    EXPECT_EQ(r.dpiY, 36);
    EXPECT_EQ(r.y, kInch / 2);
    EXPECT_EQ(r.height, 2);
    EXPECT_TRUE(doc.pages[0].runs.empty()) << "graphics mode prints no text";
}

TEST(EscPGraphics, CountsPastTheEndAreClippedWithAWarning) {
    const JobDocument doc = readEscP("\x1b*\x00\xff\xff\xff\x81\xff"s);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters.at(0).width, 3);
    EXPECT_FALSE(doc.warnings.empty());
    // ESC . of 255 rows of 65,535 dots with almost no data, and a run-length coding that never
    // ends: nothing crashes, each warns.
    for (const std::string& job :
         {"\x1b.\x00\x0a\x0a\xff\xff\xff\x01\x02"s, "\x1b.\x01\x0a\x0a\xff\xff\xff\x80"s,
          "\x1b(G\x01\x00\x01\x1bi\x00\x01\x01\xff\xff\xff\x05"s, "\x1b(t\x03"s, "\x1bK\x05"s,
          "\x1b"s}) {
        const JobDocument d = readEscP(job, JobLanguage::EscP2);
        EXPECT_FALSE(d.warnings.empty()) << job.size();
    }
}

TEST(EscPGraphics, AHugeRasterIsClippedToThePaperAndPageMemory) {
    // 255 rows x 65,535 dots, all ink, run-length coded: 65 inches wide at 1,000 dpi.
    std::string job = "\x1b.\x01\x04\x04\xff\xff\xff"s;
    for (int i = 0; i < 255 * 8192 / 128 + 1; ++i) job += "\x81\xff"s;
    const JobDocument doc = readEscP(job, JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.size(), 1u);
    std::int64_t bytes = 0;
    for (const JobRaster& r : doc.pages[0].rasters) {
        bytes += std::int64_t(r.bits.size());
        EXPECT_LE(std::int64_t(r.x) + std::int64_t(r.width) * kInch / r.dpiX,
                  14 * kInch + kInch / 100);
    }
    EXPECT_LE(bytes, 14 * 900 * 255 / 8 + 4096);
    EXPECT_FALSE(doc.warnings.empty());
}

TEST(EscPGraphics, HostileMovesTabsAndSheetsStayBounded) {
    // Moves past the paper and far left are ignored with a warning.
    const JobDocument moves = readEscP(
        "\x1b(U\x01\x00\x0a\x1b(V\x04\x00\xff\xff\xff\x7f\x1b(v\x04\x00\x00\x00\x00\x80"
        "\x1b$\xff\xff\x1b\\\x00\x80"
        "A"s,
        JobLanguage::EscP2);
    EXPECT_EQ(find(moves, U'A').x, 0);
    EXPECT_GE(moves.warnings.size(), 2u);
    // A hundred thousand tabs after the last stop go nowhere.
    const JobDocument tabs = readEscP(
        "\x1b"
        "D\x01\x00"s +
        std::string(100000, '\t') + "A");
    EXPECT_EQ(find(tabs, U'A').x, 2160);
    // Sheets past the limit are dropped with a warning.
    JobOptions o;
    o.maxPages = 10;
    const JobDocument sheets = interpretEscP(std::string(1000, '\x0c'), o, JobLanguage::EscP);
    EXPECT_EQ(sheets.pages.size(), 10u);
    EXPECT_FALSE(sheets.warnings.empty());
}

TEST(EscPGraphics, RasterCodingsDensitiesAndTwoBitDots) {
    // ESC . densities are 3600/v down and 3600/h across; text goes on after the dots.
    JobDocument doc = readEscP(
        "\x1b.\x00\x05\x28\x01\x09\x00\xff\x80"
        "A"s,
        JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiX, 90);
    EXPECT_EQ(doc.pages[0].rasters[0].dpiY, 720);
    EXPECT_EQ(doc.pages[0].rasters[0].width, 9);
    EXPECT_EQ(find(doc, U'A').x, 9 * kInch / 90);
    EXPECT_TRUE(doc.warnings.empty());
    // TIFF coding (2) is not drawn; a density or size of 0 draws nothing; each warns once.
    for (const std::string& job :
         {"\x1b.\x02\x0a\x0a\x01\x08\x00\xff"s, "\x1b.\x00\x00\x0a\x01\x08\x00\xff"s,
          "\x1b.\x00\x0a\x00\x01\x08\x00\xff"s,
          "\x1b(G\x01\x00\x01\x1bi\x00\x02\x01\x01\x00\x01\xff"s}) {
        doc = readEscP(job + "A", JobLanguage::EscP2);
        EXPECT_TRUE(doc.pages.empty() || doc.pages[0].rasters.empty()) << job.size();
        EXPECT_EQ(doc.warnings.size(), 1u) << job.size();
    }
    // A literal run cut by the end of the job keeps the bytes it has.
    doc = readEscP("\x1b.\x01\x0a\x0a\x01\x20\x00\x03\xff\xff"s, JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
    EXPECT_EQ(doc.warnings.size(), 1u);
    const BitCanvas cut = paint(doc, 360, 360);
    EXPECT_TRUE(cut.at(0, 0) && cut.at(15, 0));
    EXPECT_FALSE(cut.at(16, 0));
    // ESC i with two bits a dot: any dot size but 0 is ink, four dots a byte.
    doc = readEscP(
        "\x1b@\x1b(G\x01\x00\x01\x1b(U\x01\x00\x0a\x1b(D\x04\x00\xd0\x02\x0a\x0a"
        "\x1bi\x00\x00\x02\x02\x00\x01\xc1\x24"s,
        JobLanguage::EscP2);
    ASSERT_EQ(doc.pages.at(0).rasters.size(), 1u);
    const JobRaster& r = doc.pages[0].rasters[0];
    EXPECT_EQ(r.height, 1);
    // C1 = 11 00 00 01, 24 = 00 10 01 00: dots 0, 3, 5 and 6.
    const BitCanvas dots = paint(doc, r.dpiX, r.dpiY);
    const int top = int(std::int64_t(r.y) * r.dpiY / kInch);
    for (int d = 0; d < 8; ++d)
        EXPECT_EQ(dots.at(d, top), d == 0 || d == 3 || d == 5 || d == 6) << d;
}
