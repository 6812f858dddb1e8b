// The page builder: runs, pictures cut at blank bands, clipping and the limits on hostile jobs.
#include <gtest/gtest.h>

#include <tuple>

#include "job_interpreter.h"
#include "job_paint.h"
#include "page_builder.h"

using namespace folvek::printer;

namespace {
constexpr JobUnits kInch = kUnitsPerInch;
}

TEST(JobPageBuilder, CharactersJoinRunsOnlyWhenTheyFollowAtOnePitchAndStyle) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    for (int i = 0; i < 3; ++i) b.addChar(100 + i * 2160, 3000, 2160, 2700, 0, U'a' + i);
    b.addChar(100 + 3 * 2160, 3000, 2160, 2700, kJobBold, U'd');  // style changes
    b.addChar(100 + 3 * 2160, 3000, 2160, 2700, kJobBold, U'/');  // overstrike: a run of its own
    b.addChar(100 + 5 * 2160, 3000, 1080, 2700, kJobBold, U'e');  // pitch changes
    b.finish();
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& runs = doc.pages[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, U"abc");
    EXPECT_EQ(runs[1].text, U"d");
    EXPECT_EQ(runs[2].text, U"/");
    EXPECT_EQ(runs[3].advance, 1080);
}

TEST(JobPageBuilder, TheSheetIsTheOptionsCarriageAndLengthOrLetterSize) {
    struct Case {
        JobUnits carriage, length, width, height;
    } cases[] = {{0, 0, 8 * kInch, 11 * kInch},
                 {-1, -1, 8 * kInch, 11 * kInch},
                 {1, 1, 1, 1},
                 {13 * kInch + kInch / 2, 12 * kInch, 13 * kInch + kInch / 2, 12 * kInch}};
    for (const Case& c : cases) {
        JobDocument doc;
        JobOptions options;
        options.carriageWidth = c.carriage;
        options.pageLength = c.length;
        JobPageBuilder b(doc, options);
        b.addChar(0, 0, 2160, 2700, 0, U'a');
        b.finish();
        ASSERT_EQ(doc.pages.size(), 1u) << c.carriage;
        EXPECT_EQ(doc.pages[0].width, c.width) << c.carriage;
        EXPECT_EQ(doc.pages[0].height, c.height) << c.length;
    }
}

TEST(JobPageBuilder, DotsOfEachDensityBecomeFewPicturesCroppedToTheInk) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    const std::uint8_t row[2] = {0xFF, 0x80};  // 9 dots
    // 60 stripes of 1 row at 72 dpi, one after another: one picture.
    for (int i = 0; i < 60; ++i) b.addDots(kInch, kInch + i * 300, 60, 72, 9, 1, 2, row);
    // Two stripes an inch apart: a blank band parts them.
    b.addDots(0, 5 * kInch, 60, 72, 9, 1, 2, row);
    b.addDots(0, 6 * kInch, 60, 72, 9, 1, 2, row);
    // Another density on the same page keeps its own dots.
    b.addDots(2 * kInch, kInch, 180, 180, 9, 1, 2, row);
    b.finish();
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& pics = doc.pages[0].rasters;
    ASSERT_EQ(pics.size(), 4u);
    EXPECT_EQ(pics[0].x, kInch);
    EXPECT_EQ(pics[0].y, kInch);
    EXPECT_EQ(pics[0].width, 9);
    EXPECT_EQ(pics[0].height, 60);
    EXPECT_EQ(pics[0].dpiX, 60);
    EXPECT_EQ(pics[1].y, 5 * kInch);
    EXPECT_EQ(pics[2].y, 6 * kInch);
    EXPECT_EQ(pics[3].dpiX, 180);
    EXPECT_EQ(pics[3].x, 2 * kInch);
    // What is painted back is what was given.
    const auto canvas = test::paintPage(doc.pages[0], 60);
    EXPECT_TRUE(canvas.at(60, 72));
    EXPECT_TRUE(canvas.at(68, 72));
    EXPECT_FALSE(canvas.at(69, 72));
}

// Densities that share one axis's resolution are still apart: each its own picture.
TEST(JobPageBuilder, DensitiesSharingOneResolutionKeepTheirOwnPictures) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    const std::uint8_t row[1] = {0x80};
    const struct {
        std::int32_t dpiX, dpiY;
        JobUnits y;
    } stripes[] = {{60, 72, kInch}, {60, 216, 2 * kInch}, {120, 72, 3 * kInch}};
    for (const auto& s : stripes) b.addDots(kInch, s.y, s.dpiX, s.dpiY, 1, 1, 1, row);
    b.finish();
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& pics = doc.pages[0].rasters;
    ASSERT_EQ(pics.size(), 3u);
    for (const auto& s : stripes) {
        int found = 0;
        for (const JobRaster& r : pics)
            if (r.dpiX == s.dpiX && r.dpiY == s.dpiY) {
                ++found;
                EXPECT_EQ(r.y, s.y) << s.dpiX << "x" << s.dpiY;
                EXPECT_EQ(r.x, kInch) << s.dpiX << "x" << s.dpiY;
                EXPECT_EQ(r.height, 1) << s.dpiX << "x" << s.dpiY;
            }
        EXPECT_EQ(found, 1) << s.dpiX << "x" << s.dpiY;
    }
}

TEST(JobPageBuilder, DotsAtAnOddOffsetKeepTheirPlace) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    const std::uint8_t row[1] = {0xA0};            // dots 0 and 2
    b.addDots(3 * 60, 0, 360, 360, 3, 1, 1, row);  // starts at dot 3 (a dot is 60 units)
    b.finish();
    const auto c = test::paintPage(doc.pages.at(0), 360);
    EXPECT_TRUE(c.at(3, 0));
    EXPECT_FALSE(c.at(4, 0));
    EXPECT_TRUE(c.at(5, 0));
}

TEST(JobPageBuilder, HostileSizesAreClippedWithAWarningAndBoundedMemory) {
    JobDocument doc;
    JobOptions o;
    o.maxPages = 3;
    o.maxRasterDotsPerPage = 2'000'000;
    JobPageBuilder b(doc, o);
    std::vector<std::uint8_t> big(8192 * 4, 0xFF);
    // Far past the paper, and at negative positions: clipped.
    b.addDots(-kInch, -kInch, 720, 720, 65535, 4, 8192, big.data());
    b.addDots(0, 40 * kInch, 720, 720, 100, 4, 8192, big.data());
    // More rows than one page may hold in memory: the rest is dropped.
    for (int i = 0; i < 2000; ++i) b.addDots(0, i * 30, 720, 720, 100, 1, 8192, big.data());
    b.addChar(200 * kInch, 0, 2160, 2700, 0, U'x');
    for (int p = 0; p < 10; ++p) b.endPage();
    b.finish();
    EXPECT_EQ(doc.pages.size(), 3u);
    EXPECT_TRUE(b.pageLimitReached());
    EXPECT_GE(doc.warnings.size(), 4u);
    std::int64_t dots = 0;
    for (const auto& r : doc.pages[0].rasters) dots += std::int64_t(r.rowBytes) * 8 * r.height;
    EXPECT_LE(dots, o.maxRasterDotsPerPage);
    EXPECT_TRUE(doc.pages[0].runs.empty());
}

// Text may stand up to an inch off each edge of the sheet (a margin moved by the job); one
// unit further it is dropped with a warning. A narrow sheet still takes 14 inches of text.
TEST(JobPageBuilder, TextUpToAnInchOffTheSheetIsKeptAndFurtherIsDropped) {
    JobOptions o;
    o.carriageWidth = 8 * kInch;
    o.pageLength = 11 * kInch;
    const JobUnits right = 14 * kInch + kInch, bottom = 11 * kInch + kInch;
    const struct {
        JobUnits x, y;
        bool kept;
    } cases[] = {{-kInch, 0, true},     {-kInch - 1, 0, false}, {right, 0, true},
                 {right + 1, 0, false}, {0, -kInch, true},      {0, -kInch - 1, false},
                 {0, bottom, true},     {0, bottom + 1, false}};
    for (const auto& c : cases) {
        JobDocument doc;
        JobPageBuilder b(doc, o);
        b.addChar(c.x, c.y, 2160, 2700, 0, U'a');
        b.finish();
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(doc.pages.size(), c.kept ? 1u : 0u);
        EXPECT_EQ(doc.warnings.size(), c.kept ? 0u : 1u);
        if (!c.kept && !doc.warnings.empty()) {
            EXPECT_EQ(doc.warnings[0], "text beyond the paper was not printed");
        }
    }
}

TEST(JobPageBuilder, TheLimitIsReachedWithTheLastPageKeptAndNothingIsDroppedYet) {
    JobDocument doc;
    JobOptions o;
    o.maxPages = 2;
    JobPageBuilder b(doc, o);
    b.addChar(0, 3000, 2160, 2700, 0, U'a');
    b.endPage();
    EXPECT_FALSE(b.pageLimitReached());
    b.addChar(0, 3000, 2160, 2700, 0, U'b');
    b.endPage();
    // The readers stop here: what follows in the job is not even read.
    EXPECT_TRUE(b.pageLimitReached());
    EXPECT_TRUE(doc.warnings.empty());
    b.finish();
    EXPECT_EQ(doc.pages.size(), 2u);
    EXPECT_TRUE(doc.warnings.empty());
    // A job that goes on past the last page allowed: its reader says nothing of what follows.
    const JobDocument job = interpretEscP("a\fb\f\x1b*\x08\x01\x00Xc", o, JobLanguage::EscP);
    EXPECT_EQ(job.pages.size(), 2u);
    for (const std::string& w : job.warnings)
        EXPECT_EQ(w.find("unknown density"), std::string::npos) << w;
}

TEST(JobPageBuilder, ABlankFedSheetIsKeptButABlankEndIsNot) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    b.setPageSize(8 * kInch, 3 * kInch);
    b.endPage();
    b.addRule(kInch, kInch, kInch, 10 * kInch);  // cut at the bottom of the form
    b.finish();
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[0].height, 3 * kInch);
    ASSERT_EQ(doc.pages[1].rules.size(), 1u);
    EXPECT_EQ(doc.pages[1].rules[0].height, 2 * kInch);
    b.finish();
    EXPECT_EQ(doc.pages.size(), 2u);
}

TEST(JobPageBuilder, APageSizeOfOneUnitIsASizeAndZeroKeepsTheLast) {
    JobDocument doc;
    JobPageBuilder b(doc, JobOptions{});
    b.setPageSize(1, 1);
    b.addRule(0, 0, 1, 1);
    b.finish();
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].width, 1);
    EXPECT_EQ(doc.pages[0].height, 1);
    JobDocument kept;
    JobPageBuilder c(kept, JobOptions{});
    c.setPageSize(5 * kInch, 7 * kInch);
    c.setPageSize(0, -1);
    c.addRule(0, 0, kInch, kInch);
    c.finish();
    ASSERT_EQ(kept.pages.size(), 1u);
    EXPECT_EQ(kept.pages[0].width, 5 * kInch);
    EXPECT_EQ(kept.pages[0].height, 7 * kInch);
}

TEST(JobPageBuilder, DotsUpTo5760AnInchAreDrawn) {
    const std::uint8_t dot = 0x80;
    for (const auto& [dpiX, dpiY, drawn] :
         {std::tuple{5760, 5760, true}, std::tuple{5761, 300, false}, std::tuple{300, 5761, false},
          std::tuple{1, 1, true}, std::tuple{0, 300, false}, std::tuple{300, 0, false}}) {
        JobDocument doc;
        JobPageBuilder b(doc, JobOptions{});
        b.addDots(kInch, kInch, dpiX, dpiY, 1, 1, 1, &dot);
        b.addRule(0, 0, 1, 1);  // so that the page is kept either way
        b.finish();
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_EQ(doc.pages[0].rasters.size(), drawn ? 1u : 0u) << dpiX << " x " << dpiY;
        EXPECT_EQ(doc.warnings.size(), drawn ? 0u : 1u) << dpiX << " x " << dpiY;
        if (!drawn && doc.warnings.size() == 1) {
            EXPECT_EQ(doc.warnings[0], "graphics at an impossible density were not printed");
        }
    }
}
