// Matches on sheets: the sheet that shows a match, and its box where the renderer draws the
// matched characters (checked against the text runs the renderer records).
#include "page_matches.h"

#include <gtest/gtest.h>

#include "page_renderer.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

struct MatchSheets : ::testing::Test {
    TestRecord t;
    PageLocator locator;
    void SetUp() override { t.printer.heightMm = 46; }  // 10 rows of 16 units
    std::vector<TextMatch> layout(const std::vector<std::string>& lines, const char* query) {
        t.setLines(lines);
        t->paginate();
        return searchLines(t->lines, TextQuery(query)).matches;
    }
};

TEST_F(MatchSheets, EachMatchIsOnTheSheetThatShowsIt) {
    std::vector<std::string> lines(35, "text");
    lines[3] = "find";
    lines[12] = "\f";  // a form feed ends the second page early
    lines[13] = "x find";
    lines[34] = "find";
    const auto matches = layout(lines, "find");
    ASSERT_EQ(matches.size(), 3u);
    ASSERT_EQ(t->pageCount, 5);
    std::vector<std::int32_t> sheets;
    for (const TextMatch& m : matches) sheets.push_back(sheetOfMatch(*t, locator, m));
    EXPECT_EQ(sheets, (std::vector<std::int32_t>{1, 3, 5}));
}

TEST_F(MatchSheets, AWrappedLineShowsItsMatchOnTheStripOfItsColumn) {
    t->isWrap = 1;
    t.printer.widthMm = 31;  // 10 columns of 10 units
    std::string wide(25, '.');
    wide.replace(3, 2, "ab");
    wide.replace(14, 2, "ab");
    wide.replace(19, 2, "ab");  // crosses into the third strip
    const auto matches = layout({"top", wide}, "ab");
    ASSERT_EQ(t->charsPerLine, 10);
    ASSERT_EQ(t->pageCount, 3);
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(sheetOfMatch(*t, locator, matches[0]), 1);
    EXPECT_EQ(sheetOfMatch(*t, locator, matches[1]), 2);
    EXPECT_EQ(sheetOfMatch(*t, locator, matches[2]), 2);
    // The match across the strips' edge is marked on both, cut at the edge.
    const auto second = matchBoxes(*t, locator, 2, matches);
    const auto third = matchBoxes(*t, locator, 3, matches);
    ASSERT_EQ(second.size(), 2u);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(second[1].right - second[1].left, 10);
    EXPECT_EQ(third[0].left, static_cast<std::int32_t>(t->LeftMargin));
}

TEST_F(MatchSheets, TheBoxCoversTheCharactersTheRendererDraws) {
    t->LeftMargin = 40;
    t->IsNumPage = 1;  // two rows of page number above the text
    std::vector<std::string> lines(25, "aaaa");
    lines[21] = "xx <B>needle</B> yy";
    const auto matches = layout(lines, "needle");
    ASSERT_EQ(matches.size(), 1u);
    const std::int32_t page = sheetOfMatch(*t, locator, matches[0]);
    const auto boxes = matchBoxes(*t, locator, page, matches);
    ASSERT_EQ(boxes.size(), 1u);
    RecordingDevice dc;
    drawPage(*t, dc, page, true);
    const TextCall* drawn = nullptr;
    for (const TextCall& c : dc.texts)
        if (c.text == "needle") drawn = &c;
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(boxes[0].left, drawn->rect.left);
    EXPECT_EQ(boxes[0].top, drawn->rect.top);
    EXPECT_EQ(boxes[0].right - boxes[0].left, 6 * static_cast<std::int32_t>(t->charWidth));
    // No other sheet marks it.
    for (std::int32_t p = 1; p <= t->pageCount; ++p) {
        if (p != page) {
            EXPECT_TRUE(matchBoxes(*t, locator, p, matches).empty()) << p;
        }
    }
}

}  // namespace
}  // namespace folvek::test
