// What of a wide report reaches the paper: the count of cut lines and the widest line after every
// pagination, and the fit that shrinks the font (turning the sheet first where the text would
// become unreadable). The device's font scales: 6 units of width per 10 of height, so the default
// height 13 gives 7-unit columns; the sheet is 780 x 1120 hundredths of an inch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cut_lines.h"
#include "document.h"
#include "document/layout_fakes.h"

namespace folvek::test {
namespace {

struct WideReport : ::testing::Test {
    TestRecord t;
    void SetUp() override {
        t.printer.widthMm = 200;
        t.printer.heightMm = 287;
        t.printer.scalesWithFont = true;
        t.printer.turnsPaper = true;
    }
    void layout(const std::vector<std::string>& lines) {
        t.setLines(lines);
        ASSERT_EQ(t->paginate(), 1);
    }
    static std::string cols(int n, char c = 'x') { return std::string(n, c); }
};

TEST_F(WideReport, CountsTheLinesPastThePrintableWidth) {
    layout({cols(80), cols(111), "\f", cols(112), "<B>" + cols(111) + "</B>", cols(136)});
    // 111 columns of 7 units end on the sheet's edge (780); 112 do not. Tags take no column,
    // and the form-feed line is never drawn.
    EXPECT_EQ(t->charsPerLine, 109);
    EXPECT_EQ(t->linesCut, 2);
    EXPECT_EQ(t->widestLine, 136);
    EXPECT_EQ(t->fitFontHeight, 0);

    layout({cols(80), cols(111)});
    EXPECT_EQ(t->linesCut, 0);
    EXPECT_EQ(t->widestLine, 111);
}

TEST_F(WideReport, WrappingLosesOnlyTheWideLineThatFillsAPage) {
    t->isWrap = 1;
    layout({});
    const int rows = t->capacity(1);
    // Its width counts toward the next page, so its own page gets no continuation sheet.
    std::vector<std::string> lines(rows - 1, cols(10));
    lines.push_back(cols(200));
    layout(lines);
    EXPECT_EQ(t->linesCut, 1);
    EXPECT_EQ(t->pageCount, 3);  // the empty page after it takes the sheets it would have needed

    // Another line as wide on the same page gives the page its sheets: nothing is lost.
    lines.front() = cols(200);
    layout(lines);
    EXPECT_EQ(t->linesCut, 0);
    // Lines within a page's sheets are never cut, however wide.
    layout({cols(300), cols(20)});
    EXPECT_EQ(t->linesCut, 0);
    EXPECT_EQ(t->widestLine, 300);
}

TEST_F(WideReport, FitOffKeepsTheSettingsFont) {
    layout({cols(136)});
    EXPECT_DOUBLE_EQ(t->charWidth, 7);
    EXPECT_EQ(t->curFont->height, -13);
    EXPECT_FALSE(t.printer.landscape());
}

TEST_F(WideReport, FitTakesTheLargestFontThatHoldsTheWidestLine) {
    t->FitWidth = 1;
    layout({cols(80)});  // fits already: nothing changes
    EXPECT_EQ(t->fitFontHeight, 0);
    EXPECT_DOUBLE_EQ(t->charWidth, 7);

    // 136 columns need 5-unit columns (height 9); height 10 gives 6 and only 128 columns.
    layout({"<U>" + cols(136) + "</U>", cols(20)});
    EXPECT_EQ(t->fitFontHeight, 9);
    for (const LogFont& f : t->fonts) EXPECT_EQ(f.height, -9);
    EXPECT_DOUBLE_EQ(t->charWidth, 5);
    EXPECT_GE(t->charsPerLine, 136);
    EXPECT_EQ(t->lineHeight, 10);  // the pitch follows the font
    EXPECT_EQ(t->linesCut, 0);
    EXPECT_FALSE(t.printer.landscape());
    EXPECT_EQ(t->logFont.height, -13);  // the setting itself stays
    // The status says the size in points: 9 hundredths of an inch are 6.48 points.
    EXPECT_EQ(widthStatus(*t), "Вписано по ширине: 6,5 пт");

    // A font of 15 (9-unit columns, 84 of them): 95 columns need height 14, one below the
    // user's, whose 8-unit columns give exactly 780 / 8 - 2 = 95. The first guess,
    // 15 * (780 / 97) / 9, is 13: the fit steps up from it to 14.
    t->logFont.height = -15;
    layout({cols(95)});
    EXPECT_EQ(t->fitFontHeight, 14);
    EXPECT_DOUBLE_EQ(t->charWidth, 8);
    EXPECT_EQ(t->charsPerLine, 95);
    EXPECT_EQ(t->lineHeight, 16);
}

TEST_F(WideReport, FitTurnsThePaperBeforeTheTextGetsUnreadable) {
    t->FitWidth = 1;
    // Portrait would need height 6 (4.3 points); landscape holds 200 columns at height 9.
    layout({cols(200)});
    EXPECT_TRUE(t->fitLandscape);
    EXPECT_TRUE(t.printer.landscape());
    EXPECT_EQ(t->pageWidth, 112);
    EXPECT_EQ(t->fitFontHeight, 9);
    EXPECT_EQ(t->linesCut, 0);
    EXPECT_EQ(t->Orient, 0);  // the user's orientation is not rewritten

    // Narrow text again, or the fit turned off: the sheet is the user's portrait again.
    layout({cols(80)});
    EXPECT_FALSE(t->fitLandscape);
    EXPECT_FALSE(t.printer.landscape());
    layout({cols(200)});
    t->FitWidth = 0;
    layout({cols(200)});
    EXPECT_FALSE(t.printer.landscape());
    EXPECT_EQ(t->linesCut, 1);
}

TEST_F(WideReport, FitKeepsAGivenOrientation) {
    t->FitWidth = 1;
    t->context.orientationForced = true;
    layout({cols(200)});
    EXPECT_FALSE(t.printer.landscape());
    EXPECT_EQ(t->fitFontHeight, 6);
    EXPECT_EQ(t->linesCut, 0);

    // Past any size: the smallest font, and the count says what is still lost.
    layout({cols(1000)});
    EXPECT_EQ(t->fitFontHeight, 1);
    EXPECT_EQ(t->linesCut, 1);
}

class Changes : public DocumentListener {
  public:
    void documentChanged(unsigned c) override { seen.push_back(c); }
    std::vector<unsigned> seen;
};

TEST(FitWidthCommand, RelaysOutThroughTheDocumentAndTellsTheListeners) {
    MessageRecorder messages;
    FakePrinter printer;
    printer.widthMm = 200;
    printer.heightMm = 287;
    printer.scalesWithFont = true;
    RecordContext ctx;
    ctx.messages = &messages;
    ctx.printer = &printer;
    ctx.programDir = "/nonexistent-folvek-test/";
    Document doc(ctx, "none.ini");
    DocumentRecord& r = doc.record();
    for (int i = 0; i < 100; ++i) r.lines.append(std::string(136, 'x').data(), 136);
    doc.paperChanged();
    const int before = r.pageCount;
    Changes changes;
    doc.addListener(&changes);
    doc.fitWidthChanged(true);
    EXPECT_EQ(r.FitWidth, 1);
    EXPECT_EQ(r.linesCut, 0);
    EXPECT_LT(r.pageCount, before);  // smaller rows: more of them on a page
    ASSERT_EQ(changes.seen.size(), 1u);
    EXPECT_TRUE(changes.seen[0] & kLayoutChanged);
    doc.fitWidthChanged(false);
    EXPECT_EQ(r.linesCut, 100);
    EXPECT_EQ(r.pageCount, before);
}

}  // namespace
}  // namespace folvek::test
