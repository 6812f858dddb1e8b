// Hostile and broken PCL jobs: counts past the end, huge pictures, positions off the paper,
// endless fills and random bytes end in clipping and a warning, never in a crash or in memory
// beyond the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "job_interpreter.h"

using namespace folvek::printer;

namespace {

constexpr JobUnits kInch = kUnitsPerInch;

std::string pcl(std::string text) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    return text;
}

bool warned(const JobDocument& doc, const std::string& part) {
    return std::any_of(doc.warnings.begin(), doc.warnings.end(),
                       [&](const std::string& w) { return w.find(part) != std::string::npos; });
}

std::size_t rasterBytes(const JobDocument& doc) {
    std::size_t n = 0;
    for (const auto& p : doc.pages)
        for (const auto& r : p.rasters) n += r.bits.size();
    return n;
}

}  // namespace

TEST(PclBadInput, CountsPastTheEndAreCutWithAWarning) {
    for (const char* job : {"~E~*r0A~*b5000WAB", "~E~(s99999999W", "~E~&p100Xab"}) {
        const JobDocument doc = interpretPcl(pcl(job), JobOptions{});
        EXPECT_TRUE(warned(doc, "past the job's end")) << job;
    }
    // Sequences cut off by the end of the job print nothing of themselves.
    for (const char* job : {"~", "~*", "~*b", "~(s", "~&l5", "~%-123", "~*b3m"}) {
        const JobDocument doc = interpretPcl(pcl(job), JobOptions{});
        EXPECT_TRUE(doc.pages.empty()) << job;
    }
}

TEST(PclBadInput, HugePicturesAreClippedToTheSheet) {
    // 65,535 dots wide, four million rows high, rows 8 KB each and skips of 65,535 rows.
    std::string job = pcl("~E~*t75R~*r65535S~*r4000000T~*r0A~*b0M");
    const std::string row = pcl("~*b8192W") + std::string(8192, '\xFF');
    for (int i = 0; i < 400; ++i) job += row;
    job += pcl("~*b65535Y~*b65535Y") + row + pcl("~*rB");
    const JobDocument doc = interpretPcl(job, JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(warned(doc, "beyond the edge of the page"));
    // At most the sheet's own dots: A4 at 75 dpi.
    EXPECT_LE(rasterBytes(doc), std::size_t{(620 / 8 + 1) * 880});
    for (const auto& r : doc.pages[0].rasters) {
        EXPECT_LE(r.x + std::int64_t{r.width} * kInch / 75, doc.pages[0].width + kInch / 75);
        EXPECT_LE(r.y + std::int64_t{r.height} * kInch / 75, doc.pages[0].height + kInch / 75);
    }
}

TEST(PclBadInput, MovesOffThePaperStopAtItsEdge) {
    const JobDocument doc =
        interpretPcl(pcl("~E~*p99999X~*p99999YA~&a-99999V~&a-99999HB~&a+999999RC"), JobOptions{});
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(warned(doc, "beyond the page"));
    const JobPage& page = doc.pages[0];
    // 'A' stood past the right edge of the logical page: not printed. 'B' at the top-left
    // corner of the logical page, 'C' on its bottom edge.
    ASSERT_EQ(page.runs.size(), 2u);
    EXPECT_EQ(page.runs[0].text, U"B");
    EXPECT_EQ(page.runs[0].y, 0);
    EXPECT_EQ(page.runs[1].y, page.height);
}

TEST(PclBadInput, EndlessFillsAndPagesStopAtTheirLimits) {
    std::string job = pcl("~E~*c50g99999a99999b");
    for (int i = 0; i < 40; ++i) job += pcl("~*c2P");
    JobDocument doc = interpretPcl(job, JobOptions{});
    EXPECT_TRUE(warned(doc, "shaded fills"));
    // Rules clipped to the logical page.
    doc = interpretPcl(pcl("~E~*c99999a99999b0P~*c-5a0P"), JobOptions{});
    ASSERT_EQ(doc.pages.at(0).rules.size(), 1u);
    EXPECT_LE(doc.pages[0].rules[0].y + doc.pages[0].rules[0].height, doc.pages[0].height);
    // Pages beyond the limit are not kept.
    JobOptions few;
    few.maxPages = 3;
    doc = interpretPcl(pcl(std::string(1000, '\f')), few);
    EXPECT_EQ(doc.pages.size(), 3u);
}

TEST(PclBadInput, MacrosThatMultiplyStopAtTheirBound) {
    // Each level runs the next a thousand times: a billion runs unless bounded.
    std::string body;
    for (int i = 0; i < 1000; ++i) body += pcl("~&f2X");
    const JobDocument doc =
        interpretPcl(pcl("~E~&f1Y~&f0X") + body + pcl("x~&f1X~&f2X"), JobOptions{});
    EXPECT_TRUE(warned(doc, "macros run more often"));
}

TEST(PclBadInput, MacrosRunUpToSixtyFourMegabytesInAll) {
    // Each run counts its body and one more byte: a body of 4 MB less one byte runs sixteen
    // times in 64 MB, and the seventeenth run is left out. The body prints an "a" and carries
    // the rest as the data of a command that draws nothing.
    const std::size_t data = (std::size_t{4} << 20) - 13;
    const std::string body = pcl("a~*v" + std::to_string(data) + "W") + std::string(data, '\0');
    ASSERT_EQ(body.size() + 1, std::size_t{4} << 20);
    for (const int runs : {16, 17}) {
        std::string job = pcl("~E~&f1Y~&f0X") + body + pcl("~&f1X");
        for (int i = 0; i < runs; ++i) job += pcl("~&f2X");
        const JobDocument doc = interpretPcl(job + "\f", JobOptions{});
        ASSERT_EQ(doc.pages.size(), 1u) << runs;
        std::size_t printed = 0;
        for (const auto& r : doc.pages[0].runs) printed += r.text.size();
        EXPECT_EQ(printed, 16u) << runs;
        EXPECT_EQ(warned(doc, "macros run more often"), runs == 17) << runs;
    }
}

TEST(PclBadInput, RandomBytesNeverCrash) {
    // Bytes drawn mostly from what PCL is made of, so that sequences nest and break.
    const std::string alphabet =
        pcl("~~~~&&**((%)lapbrctsku0123456789.+-EAWYMXRSHVPBCD@\f\r\n\x0e\x0f");
    std::uint32_t seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string job;
        for (int i = 0; i < 3000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const auto r = seed >> 8;
            job += (r & 7) == 0 ? static_cast<char>(r >> 8) : alphabet[(r >> 8) % alphabet.size()];
        }
        JobOptions options;
        options.maxPages = 50;
        const JobDocument doc = interpretPcl(job, options);
        EXPECT_LE(doc.pages.size(), 50u);
        EXPECT_LT(rasterBytes(doc), std::size_t{64} << 20);
    }
}
