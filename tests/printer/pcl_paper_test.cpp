// PCL 5 paper sizes (ESC & l # A) against the standard sheets, and where the logical page
// starts on each: 1/4 inch in on a portrait sheet and 1/5 inch on a landscape one, rounded to
// 71 and 59 dots of 300 on the metric sizes, 75 and 60 on the inch ones.
#include <gtest/gtest.h>

#include <string>

#include "job_interpreter.h"

using namespace folvek::printer;

namespace {

constexpr double kInch = kUnitsPerInch;
constexpr JobUnits kDot = kUnitsPerInch / 300;

JobPage onlyPage(std::string text) {
    for (char& c : text)
        if (c == '~') c = '\x1b';
    const JobDocument doc = interpretPcl(text, JobOptions{});
    EXPECT_EQ(doc.pages.size(), 1u) << text;
    return doc.pages.empty() ? JobPage{} : doc.pages[0];
}

}  // namespace

TEST(PclPaper, EachSizeIsItsStandardSheetAndItsLogicalPageStartsInFromTheEdge) {
    struct Case {
        int size;
        double width, height;  // inches
        bool metric;
    };
    constexpr double mm = 1 / 25.4;
    const Case cases[] = {
        {1, 7.25, 10.5, false},           // executive
        {2, 8.5, 11, false},              // letter
        {3, 8.5, 14, false},              // legal
        {6, 11, 17, false},               // ledger
        {25, 148 * mm, 210 * mm, true},   // A5
        {26, 210 * mm, 297 * mm, true},   // A4
        {27, 297 * mm, 420 * mm, true},   // A3
        {45, 182 * mm, 257 * mm, true},   // JIS B5
        {46, 257 * mm, 364 * mm, true},   // JIS B4
        {71, 100 * mm, 148 * mm, true},   // postcard
        {72, 148 * mm, 200 * mm, true},   // double postcard
        {80, 3.875, 7.5, false},          // Monarch envelope
        {81, 4.125, 9.5, false},          // Com-10 envelope
        {90, 110 * mm, 220 * mm, true},   // DL envelope
        {91, 162 * mm, 229 * mm, true},   // C5 envelope
        {100, 176 * mm, 250 * mm, true},  // B5 envelope
    };
    for (const Case& c : cases) {
        const std::string size = "~E~&l" + std::to_string(c.size) + "A";
        const JobPage portrait = onlyPage(size + "x");
        EXPECT_NEAR(portrait.width, c.width * kInch, 1) << c.size;
        EXPECT_NEAR(portrait.height, c.height * kInch, 1) << c.size;
        ASSERT_EQ(portrait.runs.size(), 1u) << c.size;
        EXPECT_EQ(portrait.runs[0].x, (c.metric ? 71 : 75) * kDot) << c.size;
        const JobPage landscape = onlyPage(size + "~&l1Ox");
        EXPECT_NEAR(landscape.width, c.height * kInch, 1) << c.size;
        EXPECT_NEAR(landscape.height, c.width * kInch, 1) << c.size;
        ASSERT_EQ(landscape.runs.size(), 1u) << c.size;
        EXPECT_EQ(landscape.runs[0].x, (c.metric ? 59 : 60) * kDot) << c.size;
    }
    // A size the printers do not know leaves the sheet as it was: A4 after a reset.
    for (int unknown : {0, 4, 5, 24, 28, 44, 47, 70, 73, 79, 82, 89, 92, 99, 101, 1000}) {
        const JobPage page = onlyPage("~E~&l" + std::to_string(unknown) + "Ax");
        EXPECT_NEAR(page.width, 210 * mm * kInch, 1) << unknown;
        EXPECT_NEAR(page.height, 297 * mm * kInch, 1) << unknown;
    }
}

TEST(PclPaper, EachOrientationTurnsTheSheetFromAnyOther) {
    // 0 portrait, 1 landscape, 2 reverse portrait, 3 reverse landscape; out of range: kept.
    const auto upright = [](const JobPage& p) { return p.width < p.height; };
    for (int from = 0; from < 4; ++from)
        for (int to = 0; to < 6; ++to) {
            const std::string job =
                "~E~&l" + std::to_string(from) + "Oa~&l" + std::to_string(to) + "Ob";
            std::string text = job;
            for (char& c : text)
                if (c == '~') c = '\x1b';
            const JobDocument doc = interpretPcl(text, JobOptions{});
            ASSERT_FALSE(doc.pages.empty()) << job;
            const bool wasUpright = from % 2 == 0;
            const bool nowUpright = to > 3 ? wasUpright : to % 2 == 0;
            EXPECT_EQ(upright(doc.pages.front()), wasUpright) << job;
            EXPECT_EQ(upright(doc.pages.back()), nowUpright) << job;
            // A turn that changes the orientation starts a new sheet; the same one does not.
            const bool changed = to <= 3 && to != from;
            EXPECT_EQ(doc.pages.size(), changed ? 2u : 1u) << job;
        }
}
