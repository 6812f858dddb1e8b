// Page counts, page geometry and the guards against degenerate settings, on a device whose
// characters are 10 units wide and whose lines are 16 high.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "document/layout_fakes.h"
#include "string_table.h"

namespace folvek::test {
namespace {

// 46 mm make 18 tenths of an inch: trunc(18 / 1.6 - 1) = 10 rows.
struct TenRowPage : ::testing::Test {
    TestRecord t;
    void SetUp() override { t.printer.heightMm = 46; }
    int pages(const std::vector<std::string>& lines) {
        t.setLines(lines);
        EXPECT_EQ(t->paginate(), 1);
        return t->pageCount;
    }
    static std::vector<std::string> n(int count, const std::string& text = "x") {
        return std::vector<std::string>(count, text);
    }
};

void writeBmp(const std::string& path, int w, int h) {
    std::vector<unsigned char> f(54 + ((w * 3 + 3) & ~3) * h, 0);
    auto put32 = [&](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 255;
    };
    f[0] = 'B', f[1] = 'M';
    put32(2, f.size()), put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
    f[26] = 1, f[28] = 24;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(f.data()), f.size());
}

TEST_F(TenRowPage, MetricsComeFromTheDevice) {
    pages({});
    EXPECT_EQ(t->pageHeight, 18);
    EXPECT_EQ(t->pageWidth, 100);
    EXPECT_DOUBLE_EQ(t->charWidth, 10);
    EXPECT_EQ(t->lineHeight, 16);
    EXPECT_EQ(t->linesPerPage, 10);
    EXPECT_EQ(t->charsPerLine, 98);
    EXPECT_EQ(t->curPage, 1);
}

TEST_F(TenRowPage, EmptyLinesAreNoWidth) {
    pages({"", "", ""});
    EXPECT_EQ(t->widestLine, 0);
    EXPECT_EQ(t->linesCut, 0);
    pages({"", "abc", ""});
    EXPECT_EQ(t->widestLine, 3);
}

TEST_F(TenRowPage, FullPagesAndFormFeeds) {
    EXPECT_EQ(pages({}), 1);
    EXPECT_EQ(pages(n(9)), 1);
    EXPECT_EQ(pages(n(10)), 2);  // an exactly full page is followed by an empty one
    EXPECT_EQ(pages(n(11)), 2);
    EXPECT_EQ(pages({"a", "b", "\f", "c"}), 2);
    EXPECT_EQ(pages({"", "\f", "c"}), 2);
    auto full = n(10);
    full.push_back("\f");
    full.push_back("c");
    EXPECT_EQ(pages(full), 3);  // a form feed after a full page yields an empty page
}

TEST_F(TenRowPage, PageNumbersTakeTwoRowsEvenOnASinglePage) {
    t->IsNumPage = 1;
    EXPECT_EQ(pages(n(7)), 1);
    EXPECT_EQ(t->linesPerPage, 8);
    EXPECT_EQ(pages(n(8)), 2);
}

TEST_F(TenRowPage, WrappedPagesCountTheirContinuationSheets) {
    t->isWrap = 1;
    t->charsPerLine = 98;
    EXPECT_EQ(pages({std::string(200, 'w')}), 3);
    // Tags do not count toward the width.
    EXPECT_EQ(pages({"<B>" + std::string(98, 'w') + "</B>"}), 1);
    // The line that fills a page widens the next page, not its own.
    auto lines = n(9);
    lines.push_back(std::string(200, 'w'));
    lines.push_back("short");
    EXPECT_EQ(pages(lines), 1 + 3);
    EXPECT_EQ(t->wrapExtra(200), 2);
    EXPECT_EQ(t->wrapExtra(98), 0);
}

TEST_F(TenRowPage, PicturesTakeRowsAndAddAPageForTheEnd) {
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_pagination_pic.bmp";
    writeBmp(file, 4, 50);  // 50 units high: trunc(50/16 + 0.5) = 3 rows
    t->IsTopPicture = 1;
    t->TopFile = file;
    EXPECT_EQ(pages(n(6)), 1);
    EXPECT_EQ(t->pictureRows(50), 3);
    // To the nearest row: 2.5 and 3.5 rows round up, 2.4375 down.
    EXPECT_EQ(t->pictureRows(40), 3);
    EXPECT_EQ(t->pictureRows(56), 4);
    EXPECT_EQ(t->pictureRows(39), 2);
    // A pitch of one unit makes every unit a row; a pitch of none counts as one unit.
    const std::int32_t pitch = t->lineHeight;
    for (const std::int32_t tiny : {1, 0}) {
        t->lineHeight = tiny;
        EXPECT_EQ(t->pictureRows(7), 7) << tiny;
    }
    t->lineHeight = pitch;
    EXPECT_EQ(t->capacity(1), 7);
    EXPECT_EQ(t->capacity(2), 10);
    EXPECT_EQ(pages(n(7)), 2);
    t->InAll1 = 1;
    EXPECT_EQ(pages(n(17)), 3);  // every page holds 7

    TestRecord b;
    b.printer.heightMm = 46;
    b->IsNumPage = 0;
    b->IsBotPicture = 1;
    b->BottFile = file;
    b.setLines(n(6));
    b->paginate();
    EXPECT_EQ(b->pageCount, 1);  // 6 + trunc(50/16 + 1) = 10 rows fit
    b.setLines(n(7));
    b->paginate();
    EXPECT_EQ(b->pageCount, 2);
    b->asBackground = 1;  // a background needs a single free row
    b.setLines(n(9));
    b->paginate();
    EXPECT_EQ(b->pageCount, 1);
    std::remove(file.c_str());
}

TEST_F(TenRowPage, PictureScaleFromCompress) {
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_pagination_scale.bmp";
    writeBmp(file, 40, 20);
    t->IsTopPicture = 1;
    t->TopFile = file;
    for (int compress : {0, -5}) {
        t->Compress1 = compress;
        pages({});
        EXPECT_EQ(t->topPicture.percent, 100);
        EXPECT_EQ(t->topPicture.width, 40);
    }
    t->Compress1 = 50;
    pages({});
    EXPECT_EQ(t->topPicture.width, 20);
    EXPECT_EQ(t->topPicture.height, 10);
    std::remove(file.c_str());
}

// A layout reads a picture's file only when it changed: a missing picture is reported once, not
// at every font or orientation change, and a picture drawn anew is taken at the next layout.
TEST_F(TenRowPage, PicturesAreReadAgainOnlyWhenTheirFileChanges) {
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_pagination_once.bmp";
    std::remove(file.c_str());
    t->IsTopPicture = 1;
    t->TopFile = file;
    t.messages.shown.clear();
    pages(n(3));
    pages(n(3));
    EXPECT_EQ(t.messages.shown.size(), 1u);  // the missing picture, once
    EXPECT_EQ(t->topPicture.height, 0);

    writeBmp(file, 4, 50);
    pages(n(3));
    EXPECT_EQ(t->topPicture.height, 50);
    EXPECT_EQ(t.messages.shown.size(), 1u);
    writeBmp(file, 4, 30);  // the same name, another picture
    pages(n(3));
    EXPECT_EQ(t->topPicture.height, 30);

    std::remove(file.c_str());
    pages(n(3));
    EXPECT_EQ(t->topPicture.height, 0);  // the file is gone: so is the picture
    EXPECT_EQ(t.messages.shown.size(), 2u);
    pages(n(3));
    EXPECT_EQ(t.messages.shown.size(), 2u);
    t->IsTopPicture = 0;  // turned off and on again: read again
    pages(n(3));
    t->IsTopPicture = 1;
    pages(n(3));
    EXPECT_EQ(t.messages.shown.size(), 3u);
}

TEST_F(TenRowPage, MarginsLargerThanThePageAreReset) {
    t->TopMargin = 150;
    t->BottomMargin = 100;
    t->IsNumPage = 1;
    t->IsTopPicture = t->IsBotPicture = 1;  // no files named: they take no room
    pages(n(3));
    EXPECT_EQ(t->IsTopPicture, 0);
    EXPECT_EQ(t->IsBotPicture, 0);
    ASSERT_EQ(t.messages.shown.size(), 2u);
    EXPECT_EQ(t.messages.shown[0].text, loadString(StrMarginsTooLarge));
    EXPECT_EQ(t.messages.shown[0].caption, "Error");
    EXPECT_EQ(t.messages.shown[1].text, "hPage=18 HF=16 WF=10");
    EXPECT_EQ(t.messages.shown[1].caption, "");
    EXPECT_EQ(t->TopMargin, 0);
    EXPECT_EQ(t->BottomMargin, 0);
    EXPECT_EQ(t->IsNumPage, 0);
    EXPECT_EQ(t->linesPerPage, 10);
}

TEST_F(TenRowPage, MarginsThatFillThePageExactlyAreKept) {
    // 1.8 inches of margins on the 1.8-inch page leave no room, and are still allowed; a
    // background picture at the bottom takes none, a picture below the text does.
    const std::string file =
        ::testing::TempDir() + std::to_string(::getpid()) + "_pagination_exact.bmp";
    writeBmp(file, 4, 30);
    t->TopMargin = 100;
    t->BottomMargin = 80;
    t->IsNumPage = 0;
    t->IsBotPicture = 1;
    t->BottFile = file;
    t->asBackground = 1;
    pages(n(3));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t->TopMargin, 100);
    EXPECT_EQ(t->IsBotPicture, 1);
    t->asBackground = 0;
    pages(n(3));
    ASSERT_FALSE(t.messages.shown.empty());
    EXPECT_EQ(t.messages.shown[0].text, loadString(StrMarginsTooLarge));
    EXPECT_EQ(t->TopMargin, 0);
    std::remove(file.c_str());
}

TEST_F(TenRowPage, NoPrinterFallsBackToTheScreen) {
    t.printer.available = false;
    t->context.screenDevice = [] { return std::make_unique<MeasuringDevice>(100, 46); };
    EXPECT_EQ(pages({}), 1);
    EXPECT_EQ(t.messages.shown.back().text, loadString(StrNoPrinterContext));
    EXPECT_EQ(t.messages.shown.back().caption, "!!!");
    EXPECT_EQ(t->pageWidth, 39);
    t->context.screenDevice = nullptr;
    t->curPage = 5;
    EXPECT_EQ(t->paginate(), 0);
    EXPECT_EQ(t->curPage, 1);
    EXPECT_NE(t->curFont, nullptr);
}

TEST_F(TenRowPage, DegenerateMetricsStayPositiveAndTerminate) {
    t->HeightString = 0;
    pages(n(5));
    EXPECT_EQ(t->lineHeight, 1);
    EXPECT_GE(t->pageCount, 1);

    TestRecord z;
    z.printer.charWidth = 0;
    z.setLines(n(5));
    z->paginate();
    EXPECT_GT(z->charWidth, 0);

    TestRecord wide;
    wide->LeftMargin = 5000;  // wider than the page
    wide->isWrap = 1;
    wide.setLines({"abc"});
    wide->paginate();
    EXPECT_EQ(wide->charsPerLine, 1);
    EXPECT_EQ(wide->pageCount, 3);  // one column per sheet

    TestRecord tall;
    tall.printer.heightMm = 46;
    tall->IsNumPage = 0;
    tall->HeightString = 1000;  // a row higher than the page: one row per page all the same
    tall.setLines(n(3));
    tall->paginate();
    EXPECT_EQ(tall->capacity(1), 1);
    EXPECT_EQ(tall->pageCount, 4);
}

TEST(Fonts, EightStylesFromTheBaseFont) {
    TestRecord t;
    t->logFont.weight = 600;
    t->logFont.italic = 1;
    t->createFonts();
    EXPECT_EQ(t->curFont, &t->fonts[3]);
    EXPECT_EQ(t->fonts[3].weight, 700);
    EXPECT_EQ(t->fonts[4].weight, 400);
    EXPECT_EQ(t->fonts[4].underline, 1);
    EXPECT_EQ(t->fonts[6].italic, 1);
    // Bit 1 bold, bit 2 italic, bit 4 underlined, each font exactly its own.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t->fonts[i].weight, (i & 1) ? 700 : 400) << i;
        EXPECT_EQ(t->fonts[i].italic, (i & 2) ? 1 : 0) << i;
        EXPECT_EQ(t->fonts[i].underline, (i & 4) ? 1 : 0) << i;
    }
    EXPECT_EQ(t->logFont.weight, 600);
    t->deleteFonts();
    EXPECT_EQ(t->curFont, nullptr);
}

// The page is measured with the face of the base font's own style, every style of it.
TEST(Fonts, TheMeasuringFaceIsTheBaseFontsOwnStyle) {
    for (int style = 0; style < 8; ++style) {
        TestRecord t;
        t->logFont.weight = (style & 1) ? 700 : 400;
        t->logFont.italic = (style & 2) ? 1 : 0;
        t->logFont.underline = (style & 4) ? 1 : 0;
        t->createFonts();
        EXPECT_EQ(t->curFont, &t->fonts[style]) << style;
        t->deleteFonts();
    }
}

TEST(Pagination, EveryPaginationNamesANewLayoutInAnyRecord) {
    TestRecord t, u;
    const auto gen = t->layoutGeneration;
    t->paginate();
    EXPECT_NE(t->layoutGeneration, gen);
    u->paginate();
    EXPECT_NE(u->layoutGeneration, t->layoutGeneration);
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

// A .prn file's pitch narrows the fonts and its line spacing tightens the pitch, never the
// other way round.
TEST(PrinterPitchLayout, CondensedAndEightLinesPerInchMakeRoom) {
    TestRecord t;
    t.setLines({"x"});
    ASSERT_EQ(t->paginate(), 1);
    const std::int32_t natural = t->fonts[0].height;
    EXPECT_EQ(t->lineHeight, 16);
    t->printerLayout.cpi = 17;  // a column of 5.9 hundredths; the device's is 10
    t->printerLayout.lpi = 8;   // 12.5 hundredths
    ASSERT_EQ(t->paginate(), 1);
    EXPECT_EQ(t->fonts[0].height, static_cast<std::int32_t>(std::trunc(natural * 100.0 / 17 / 10)));
    EXPECT_EQ(t->lineHeight, 12);
    // A printer pitch wider than the font's changes nothing.
    t->printerLayout.cpi = 5;
    t->printerLayout.lpi = 3;
    ASSERT_EQ(t->paginate(), 1);
    EXPECT_EQ(t->fonts[0].height, natural);
    EXPECT_EQ(t->lineHeight, 16);
}

}  // namespace
}  // namespace folvek::test

namespace folvek::test {
namespace {

// The narrowed font is measured again on the device; a font narrowed so far that it measures
// nothing keeps the width the page was measured with, so that the columns stay finite. The
// device: 6 units of width per 10 of height, whole units; the page 1000 hundredths wide.
TEST(PrinterPitchLayout, TheNarrowedFontIsMeasuredAgain) {
    TestRecord t;
    t.printer.scalesWithFont = true;
    t.setLines({"x"});
    const struct {
        double cpi;
        std::int32_t height;
        double charWidth;
        std::int32_t columns;  // 1000 / width, less the two the layout keeps free
    } cases[] = {
        {0, -13, 7, 140},   // the settings' 13 units: 7.8, measured 7
        {17, -10, 6, 164},  // 13 * (100 / 17) / 7 = 10.9 -> 10 high, 6 wide
        {1000, 0, 7, 140},  // 13 * 0.1 / 7 -> 0 high, 0 wide: the 7 stays
    };
    for (const auto& c : cases) {
        t->printerLayout.cpi = c.cpi;
        ASSERT_EQ(t->paginate(), 1);
        EXPECT_EQ(t->fonts[0].height, c.height) << c.cpi;
        EXPECT_EQ(t->charWidth, c.charWidth) << c.cpi;
        EXPECT_EQ(t->charsPerLine, c.columns) << c.cpi;
    }
    // A line spacing so close that its pitch rounds to nothing leaves the font's own.
    t->printerLayout.cpi = 0;
    ASSERT_EQ(t->paginate(), 1);
    const std::int32_t natural = t->lineHeight;
    t->printerLayout.lpi = 1000;
    ASSERT_EQ(t->paginate(), 1);
    EXPECT_EQ(t->lineHeight, natural);
    EXPECT_GT(natural, 1);
}

// A settings file's line height far out of range, with a printer's line spacing: the pitch is
// out of any int's reach and is taken for none: the line height is the one without it.
TEST(PrinterPitchLayout, AnOutOfRangeHeightStringGivesNoPitch) {
    TestRecord t;
    t.setLines({"x"});
    for (const std::int32_t height : {INT32_MIN, -2000000000, 2000000000, INT32_MAX}) {
        t->HeightString = height;
        t->printerLayout.lpi = 0;
        ASSERT_EQ(t->paginate(), 1) << height;
        const std::int32_t own = t->lineHeight;
        t->printerLayout.lpi = 0.01;
        ASSERT_EQ(t->paginate(), 1) << height;
        EXPECT_EQ(t->lineHeight, own) << height;
    }
}

}  // namespace
}  // namespace folvek::test
