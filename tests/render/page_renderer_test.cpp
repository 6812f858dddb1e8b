// The sheet as drawn: which lines, where, with which fonts and pictures; and the locator's
// remembered page starts against a fresh walk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "page_locator.h"
#include "page_renderer.h"
#include "picture_draw.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

struct Sheets : ::testing::Test {
    TestRecord t;
    RecordingDevice dc;
    void SetUp() override { t.printer.heightMm = 46; }  // 10 rows of 16 units
    void layout(const std::vector<std::string>& lines) {
        t.setLines(lines);
        t->paginate();
    }
    RecordingDevice& draw(int page, bool printing = true) {
        dc.clear();
        drawPage(*t, dc, page, printing);
        return dc;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> v;
        for (auto& c : dc.texts) v.push_back(c.text);
        return v;
    }
};

// A picture is stretched to its size at its percent (0 standing for 100) with its top-left
// corner at the point given; one not loaded draws nothing.
TEST(PictureDraw, APictureTakesItsSizeAtItsPercent) {
    BmpOut picture;
    picture.loaded = 1;
    picture.imageWidth = 200;
    picture.imageHeight = 60;
    picture.pixelWidth = 4;
    picture.pixelHeight = 3;
    picture.pixels.assign(12, 0xFF000000u);
    for (auto [percent, w, h] :
         {std::tuple{100, 200, 60}, {50, 100, 30}, {0, 200, 60}, {150, 300, 90}, {1, 2, 0}}) {
        picture.percent = percent;
        RecordingDevice dc;
        EXPECT_EQ(drawAt(static_cast<const BmpOut&>(picture), dc, 10, -20), 1);
        ASSERT_EQ(dc.images.size(), 1u) << percent;
        EXPECT_EQ(dc.images[0].dx, 10);
        EXPECT_EQ(dc.images[0].dy, -20);
        EXPECT_EQ(dc.images[0].dw, w) << percent;
        EXPECT_EQ(dc.images[0].dh, -h) << percent;
        EXPECT_EQ(dc.images[0].sx, 0);  // the whole picture, from its first pixel
        EXPECT_EQ(dc.images[0].sy, 0);
        EXPECT_EQ(dc.images[0].sw, 4);
        EXPECT_EQ(dc.images[0].sh, 3);
        EXPECT_EQ(picture.percent, percent) << "a const picture is left as it is";
    }
    picture.percent = 0;
    RecordingDevice dc;
    drawAt(picture, dc, 0, 0);
    EXPECT_EQ(picture.percent, 100) << "the percent of a picture drawn for itself is set";
    picture.loaded = 0;
    dc.images.clear();
    EXPECT_EQ(drawAt(picture, dc, 0, 0), 1);
    EXPECT_TRUE(dc.images.empty());
}

// Page 0 is the current page; numbers past either end draw the nearest sheet; drawing never
// changes the current page (exports and printouts draw while the preview shows its own).
TEST_F(Sheets, PageNumbersAreClampedAndTheCurrentPageStays) {
    layout(std::vector<std::string>(25, "x"));
    ASSERT_EQ(t->pageCount, 3);
    t->curPage = 2;
    draw(0);
    EXPECT_EQ(texts().size(), 10u);
    EXPECT_EQ(dc.texts[0].text, "x");
    draw(99);
    EXPECT_EQ(texts().size(), 5u);  // the last sheet
    EXPECT_EQ(t->curPage, 2);
    draw(-4);
    EXPECT_EQ(texts().size(), 10u);
    EXPECT_EQ(t->curPage, 2);
    EXPECT_EQ(dc.depth, 0);  // state restored
}

TEST_F(Sheets, FormFeedsEndPagesAndAreNeverDrawn) {
    layout({"a", "b", "\f", "c"});
    draw(1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(dc.texts[1].rect.top, -16);
    draw(2);
    EXPECT_EQ(texts(), (std::vector<std::string>{"c"}));
    EXPECT_EQ(dc.texts[0].rect.top, 0);
    auto full = std::vector<std::string>(10, "x");
    full.push_back("\f");
    full.push_back("y");
    layout(full);
    draw(2);
    EXPECT_TRUE(texts().empty());  // the form feed right after a full page: an empty page
    draw(3);
    EXPECT_EQ(texts(), (std::vector<std::string>{"y"}));
}

TEST_F(Sheets, PageNumberAndTextTop) {
    t->IsNumPage = 1;
    layout({"one"});
    draw(1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"one"}));  // a single page has no number
    EXPECT_EQ(dc.texts[0].rect.top, 0);
    t->TopMargin = 10;
    layout(std::vector<std::string>(9, "x"));
    ASSERT_EQ(t->pageCount, 2);
    draw(2);
    ASSERT_FALSE(dc.texts.empty());
    EXPECT_EQ(dc.texts[0].text, "- 2 -");
    EXPECT_EQ(dc.texts[0].rect.left, 475);
    EXPECT_EQ(dc.texts[0].rect.top, -10);
    EXPECT_EQ(dc.texts[1].rect.top, -10 - 32);
}

TEST_F(Sheets, ContinuationSheetsShowTheNextColumnsWithTheirStyle) {
    t->isWrap = 1;
    t->LeftMargin = 800;  // trunc((1000 - 800) / 10 - 2) = 18 columns
    const std::string wide = "abcdefghijklmnopqr<B>STUVWXYZ0123456789</B>tail";
    layout({"short", wide});
    ASSERT_EQ(t->charsPerLine, 18);
    ASSERT_EQ(t->pageCount, 3);
    draw(2);
    ASSERT_EQ(texts(), (std::vector<std::string>{"STUVWXYZ0123456789"}));
    EXPECT_EQ(dc.texts[0].rect.top, -16);  // same row as on the first sheet
    EXPECT_EQ(dc.texts[0].font.weight, 700);
    EXPECT_EQ(dc.texts[0].rect.left, 800);
    draw(3);
    EXPECT_EQ(texts(), (std::vector<std::string>{"tail"}));
    EXPECT_EQ(dc.texts[0].font.weight, 400);
}

TEST_F(Sheets, LeadingSpacesGiveRoomToWideGlyphs) {
    layout({"   12"});
    dc.charWidth = 14;  // glyphs wider than the 10-unit grid
    draw(1);
    ASSERT_EQ(dc.texts.size(), 1u);
    EXPECT_EQ(dc.texts[0].text, "12");
    EXPECT_EQ(dc.texts[0].rect.left, 30 - 8);
    EXPECT_EQ(dc.texts[0].rect.right, 50);
}

TEST_F(Sheets, PreviewZoomsAndFramesThePage) {
    t->Zoom = 3;
    t->PenWidth = 2;
    layout({"x"});
    draw(1, false);
    EXPECT_DOUBLE_EQ(dc.zoom, 1.5);
    EXPECT_TRUE(dc.hasSegment({1000, 0, 1000, -180}));
    EXPECT_TRUE(dc.hasSegment({1000, -180, 0, -180}));
    EXPECT_TRUE(dc.transparent);
    draw(1, true);
    EXPECT_TRUE(dc.segments.empty());
}

TEST_F(Sheets, PicturesAreDrawnAboveAndBelowTheText) {
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_renderer_pic.bmp";
    writeTestBitmap(file, 30, 20);
    t->IsTopPicture = t->IsBotPicture = 1;
    t->TopFile = t->BottFile = file;
    layout({"a", "b"});
    draw(1);
    ASSERT_EQ(dc.images.size(), 2u);
    EXPECT_EQ(dc.images[0].dy, 0);  // top edge at the top margin
    EXPECT_EQ(dc.images[0].dh, -20);
    EXPECT_EQ(dc.texts[0].rect.top, -20);
    EXPECT_EQ(dc.images[1].dy, -180 + 20);  // bottom edge on the page bottom
    t->inTextEnd = 1;
    layout({"a", "b"});
    draw(1);
    EXPECT_EQ(dc.images[1].dy, -20 - 32);  // right after the two rows
    std::remove(file.c_str());
}

// The top picture stands on the first sheet and the bottom one on the last, each on every sheet
// only when its own "every sheet" box says so.
TEST_F(Sheets, PicturesGoToTheFirstAndLastSheetUnlessEverySheetIsAsked) {
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_renderer_sheets.bmp";
    writeTestBitmap(file, 30, 20);
    t->TopFile = t->BottFile = file;
    const std::vector<std::string> lines{"a", "\f", "b", "\f", "c"};
    struct Case {
        int top, bottom, inAll1, inAll2;
        std::vector<int> topOn, bottomOn;  // sheets that show each picture
    };
    const Case cases[] = {{1, 0, 0, 0, {1}, {}},        {0, 1, 0, 0, {}, {3}},
                          {1, 1, 0, 0, {1}, {3}},       {1, 1, 1, 0, {1, 2, 3}, {3}},
                          {1, 1, 0, 1, {1}, {1, 2, 3}}, {0, 1, 1, 0, {}, {3}}};
    for (const Case& c : cases) {
        t->IsTopPicture = c.top;
        t->IsBotPicture = c.bottom;
        t->InAll1 = c.inAll1;
        t->InAll2 = c.inAll2;
        layout(lines);
        ASSERT_EQ(t->pageCount, 3);
        for (int page = 1; page <= 3; ++page) {
            draw(page);
            int tops = 0, bottoms = 0;
            for (const auto& image : dc.images) (image.dy == 0 ? tops : bottoms)++;
            const auto on = [page](const std::vector<int>& v) {
                return int(std::count(v.begin(), v.end(), page));
            };
            EXPECT_EQ(tops, on(c.topOn)) << "top " << c.top << c.inAll1 << " page " << page;
            EXPECT_EQ(bottoms, on(c.bottomOn))
                << "bottom " << c.bottom << c.inAll2 << " page " << page;
        }
    }
    std::remove(file.c_str());
}

// A wrapped page as wide as four sheets of 10 columns is shown on four sheets, each with its
// own strip of the same lines, whether the page ends full, at a form feed or with the text;
// the next sheet starts the next page.
TEST_F(Sheets, EveryContinuationSheetOfAWrappedPageShowsItsLines) {
    t->isWrap = 1;
    t.printer.widthMm = 31;  // 10 columns
    std::vector<std::string> lines;
    for (int i = 0; i < 25; ++i)
        lines.push_back(i == 3 ? std::string(35, 'w') : "l" + std::to_string(i));
    layout(lines);
    ASSERT_EQ(t->charsPerLine, 10);
    EXPECT_EQ(t->pageCount, 6);
    const std::vector<PageStart> full = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {10, 0}, {20, 0}, {25, 0}};
    for (int p = 1; p <= 7; ++p) EXPECT_EQ(locatePageFresh(*t, p), full[p - 1]) << "sheet " << p;
    layout({std::string(35, 'w'), "\f", "after", "\f", "end"});
    const std::vector<PageStart> fed = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {2, 0}, {4, 0}};
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(locatePageFresh(*t, p), fed[p - 1]) << "sheet " << p;
    // The text ends on a wide page: its strips, then nothing.
    layout({"a", std::string(25, 'w')});
    const std::vector<PageStart> last = {{0, 0}, {0, 1}, {0, 2}, {2, 0}};
    for (int p = 1; p <= 4; ++p) EXPECT_EQ(locatePageFresh(*t, p), last[p - 1]) << "sheet " << p;
}

// Every page of documents with form feeds, wrapping and pictures: the start found by resuming
// from remembered points equals a walk from the first line.
TEST_F(Sheets, RememberedStartsEqualAFreshWalk) {
    const std::string file = ::testing::TempDir() + std::to_string(::getpid()) + "_locator_pic.bmp";
    writeTestBitmap(file, 10, 40);
    std::vector<std::string> lines;
    for (int i = 0; i < 700; ++i) {
        if (i % 13 == 12)
            lines.push_back("\f");
        else if (i % 7 == 3)
            lines.push_back(std::string(40 + i % 50, 'w'));
        else
            lines.push_back("line " + std::to_string(i));
    }
    for (int combo = 0; combo < 16; ++combo) {
        t->isWrap = combo & 1;
        t->LeftMargin = t->isWrap ? 700 : 0;
        t->IsTopPicture = t->IsBotPicture = 1;
        t->TopFile = t->BottFile = file;
        t->InAll1 = (combo >> 1) & 1;
        t->InAll2 = (combo >> 2) & 1;
        t->asBackground = (combo >> 3) & 1;
        layout(lines);
        const int last = t->pageCount;
        ASSERT_GT(last, 3 * PageLocator::kWalkStride) << combo;
        PageLocator locator;
        std::vector<PageStart> fresh(last + 2);
        for (int p = 1; p <= last + 1; ++p) fresh[p] = locatePageFresh(*t, p);
        for (int p : {last + 1, last, 1, 2})
            EXPECT_EQ(locator.locate(*t, p), fresh[p]) << combo << " page " << p;
        EXPECT_GT(locator.remembered(), 0u);
        for (int p = last + 1; p >= 1; --p)
            EXPECT_EQ(locator.locate(*t, p), fresh[p]) << combo << " page " << p;
        // The last sheet shows the end of the text; nothing remains for one past it.
        EXPECT_EQ(fresh[last + 1].firstLine, static_cast<std::int64_t>(lines.size())) << combo;
    }
    // A locator that walked one layout is not fooled by another: a new pagination of the same
    // record, or another record (even one at the old one's address) with other lines.
    PageLocator locator;
    const int last = t->pageCount;
    locator.locate(*t, last);
    ASSERT_GT(locator.remembered(), 0u);
    t->isWrap = 0;
    t->IsTopPicture = t->IsBotPicture = 0;
    layout(std::vector<std::string>(lines.begin(), lines.begin() + lines.size() / 3));
    for (int p : {5, t->pageCount, t->pageCount + 1})
        EXPECT_EQ(locator.locate(*t, p), locatePageFresh(*t, p)) << p;
    {
        TestRecord other;
        other.setLines({"a", "b"});
        other->paginate();
        EXPECT_EQ(locator.locate(*other, 5), locatePageFresh(*other, 5));
    }
    std::remove(file.c_str());
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

// A background picture at the end of the text stands with its bottom edge on the last text
// line of the sheet (a form feed or the sheet's end), but never above the text's top.
TEST_F(Sheets, ABackgroundPictureEndsWithTheSheetsText) {
    const std::string small =
        ::testing::TempDir() + std::to_string(::getpid()) + "_background_small.bmp";
    const std::string tall =
        ::testing::TempDir() + std::to_string(::getpid()) + "_background_tall.bmp";
    writeTestBitmap(small, 30, 20);
    writeTestBitmap(tall, 30, 50);
    t->IsBotPicture = 1;
    t->InAll2 = 1;  // on every sheet
    t->asBackground = 1;
    t->inTextEnd = 1;
    t->BottFile = small;
    layout({"a", "b", "\f", "c"});
    draw(1);
    ASSERT_EQ(dc.images.size(), 1u);
    EXPECT_EQ(dc.images[0].dy, 20 - 2 * 16);  // bottom at the second row's foot
    ASSERT_EQ(dc.texts.size(), 2u);
    t->BottFile = tall;
    layout({"a", "b", "\f", "c"});
    draw(1);
    ASSERT_EQ(dc.images.size(), 1u);
    EXPECT_EQ(dc.images[0].dy, 0);  // taller than the text: from the text's top
    // A full sheet: its bottom on the last row the sheet holds.
    t->BottFile = small;
    layout(std::vector<std::string>(25, "x"));
    draw(1);
    ASSERT_EQ(dc.images.size(), 1u);
    EXPECT_EQ(dc.images[0].dy, 20 - 10 * 16);
    // With a top picture the rows start below it and there are fewer of them.
    t->IsTopPicture = 1;
    t->TopFile = small;
    layout(std::vector<std::string>(25, "x"));
    draw(1);
    ASSERT_EQ(dc.images.size(), 2u);
    const int rows = int(dc.texts.size());
    EXPECT_EQ(rows, 10 - 1);  // the 20-unit picture takes a row
    EXPECT_EQ(dc.images[0].dy, 20 - 20 - rows * 16);
    // Not at the text's end: on the sheet's bottom edge, as a plain bottom picture.
    t->IsTopPicture = 0;
    t->inTextEnd = 0;
    layout({"a", "b"});
    draw(1);
    ASSERT_EQ(dc.images.size(), 1u);
    EXPECT_EQ(dc.images[0].dy, -180 + 20);
    std::remove(small.c_str());
    std::remove(tall.c_str());
}

}  // namespace
}  // namespace folvek::test
