// The find bar through the real widgets: Ctrl+F opens it, Enter searches and goes to the page
// of the match, Esc in the field closes the bar without ending the program.
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "find_bar.h"
#include "main_frame.h"
#include "page_renderer.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

void searchFor(FindBar* bar, const char* text, bool backwards = false) {
    QSignalSpy done(bar, &FindBar::searchFinished);
    bar->field()->setText(QString::fromUtf8(text));
    QTest::keyClick(bar->field(), Qt::Key_Return, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    if (bar->searching() || done.isEmpty()) {
        ASSERT_TRUE(done.wait(5000));
    }
}

}  // namespace

TEST_F(AppTest, FindGoesToEachMatchInTurnAndSaysHowManyThereAre) {
    shellState().documentPath = pagedDocument("five.txt", 5);
    start();
    FindBar* bar = frame->findBar();
    ASSERT_FALSE(bar->isVisible());
    view()->runCommand(CmFind);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->field()->hasFocus());

    searchFor(bar, "PAGE 4");  // case does not matter
    EXPECT_EQ(view()->record()->curPage, 4);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 1 из 1"));
    // The only match again: the search went round the document, and says so.
    view()->runCommand(CmFindNext);
    EXPECT_EQ(view()->record()->curPage, 4);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Найдено: 1 из 1 — поиск продолжен с начала документа"));

    searchFor(bar, "line");
    ASSERT_EQ(bar->matches().size(), 10u);
    // From page 4 shown, the first match is on page 4; next and previous step from there.
    EXPECT_EQ(view()->record()->curPage, 4);
    EXPECT_EQ(bar->currentMatch(), 6);
    view()->runCommand(CmFindNext);
    view()->runCommand(CmFindNext);
    EXPECT_EQ(view()->record()->curPage, 5);
    view()->runCommand(CmFindPrevious);
    view()->runCommand(CmFindPrevious);
    view()->runCommand(CmFindPrevious);
    EXPECT_EQ(view()->record()->curPage, 3);
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 6 из 10"));

    // The match shown has a tint of its own on the page, apart from the others.
    const QImage page = view()->viewport()->grab().toImage();
    int current = 0, other = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            if (c == ReportView::currentMatchColour().rgb()) ++current;
            if (c == ReportView::searchMarkColour().rgb()) ++other;
        }
    EXPECT_GT(current, 20);
    EXPECT_GT(other, 20);

    // Going back from the first match goes on from the last one, and says so.
    while (bar->currentMatch() != 0) view()->runCommand(CmFindPrevious);
    view()->runCommand(CmFindPrevious);
    EXPECT_EQ(bar->currentMatch(), 9);
    EXPECT_EQ(view()->record()->curPage, 5);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Найдено: 10 из 10 — поиск продолжен с конца документа"));
    view()->runCommand(CmFindNext);
    EXPECT_TRUE(frame->statusBar()->currentMessage().endsWith(
        QStringLiteral("поиск продолжен с начала документа")));

    EXPECT_EQ(view()->record()->curPage, 1);

    searchFor(bar, "nowhere");
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Не найдено"));
    EXPECT_EQ(view()->record()->curPage, 1);  // the page stays
}

TEST_F(AppTest, EscInTheFindFieldClosesTheBarAndKeysReturnToTheView) {
    shellState().documentPath = pagedDocument("two.txt", 2);
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    // Letters typed into the field are text, not the one-letter page keys.
    QTest::keyClicks(bar->field(), "pl");
    EXPECT_EQ(bar->field()->text(), QStringLiteral("pl"));
    EXPECT_EQ(view()->record()->Orient, 0);
    // A release alone (the press went to another window) does nothing; the press closes.
    QTest::keyRelease(bar->field(), Qt::Key_Escape);
    EXPECT_TRUE(bar->isVisible());
    QTest::keyPress(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(frame->isVisible());  // Esc did not end the program
}

// The window's own find keys still work from the field: only Esc and Enter belong to it.
TEST_F(AppTest, FindNextAndPreviousKeysWorkFromTheField) {
    shellState().documentPath = pagedDocument("three.txt", 3);
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    searchFor(bar, "line");
    ASSERT_EQ(bar->currentMatch(), 0);
    ASSERT_TRUE(bar->field()->hasFocus());
    QTest::keyClick(bar->field(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(bar->currentMatch(), 1);
    QTest::keyClick(bar->field(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(bar->currentMatch(), 0);
    EXPECT_EQ(bar->field()->text(), QStringLiteral("line"));
}

TEST_F(AppTest, ReloadingTheDocumentDropsTheMatches) {
    shellState().documentPath = pagedDocument("three.txt", 3);
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    searchFor(bar, "third");
    ASSERT_EQ(bar->matches().size(), 3u);
    view()->reloadDocument();
    EXPECT_TRUE(bar->matches().empty());
}

// A new search starts from the page shown: forwards at its first match on or after it,
// backwards at its last match on or before it; with none on that side, at the other end.
TEST_F(AppTest, ANewSearchStartsFromThePageShownInItsDirection) {
    shellState().documentPath = pagedDocument("five.txt", 5);
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    auto from = [&](int page, const char* text, bool backwards) {
        bar->field()->clear();
        view()->document()->goToPage(page);
        searchFor(bar, text, backwards);
        return bar->currentMatch();
    };
    EXPECT_EQ(from(3, "line", true), 5);  // the second match of page 3
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Найдено: 6 из 10"));
    EXPECT_EQ(view()->record()->curPage, 3);
    EXPECT_EQ(from(3, "line", false), 4);
    EXPECT_EQ(from(1, "line", true), 1);
    EXPECT_EQ(from(5, "line", false), 8);
    EXPECT_EQ(from(5, "line", true), 9);
    // One match, behind or ahead of the direction asked: it is found all the same.
    EXPECT_EQ(from(4, "page 2", false), 0);
    EXPECT_EQ(view()->record()->curPage, 2);
    EXPECT_EQ(from(2, "page 4", true), 0);
    EXPECT_EQ(view()->record()->curPage, 4);
}

// Backwards from before every match, the search starts at the last of them; forwards from past
// every match, at the first.
TEST_F(AppTest, ASearchWithNoMatchOnItsSideStartsAtTheFarEnd) {
    shellState().documentPath = writeFile("ahead.txt", "x on 1\nnone\n\fnone\n\fx on 3\nx on 3\n");
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    view()->document()->goToPage(1);
    searchFor(bar, "x on 3", true);
    EXPECT_EQ(bar->currentMatch(), 1);
    EXPECT_EQ(view()->record()->curPage, 3);
    view()->document()->goToPage(3);
    bar->field()->clear();
    searchFor(bar, "x on 1", false);
    EXPECT_EQ(bar->currentMatch(), 0);
    EXPECT_EQ(view()->record()->curPage, 1);
}

// The current match's tint lies over its own word at every zoom: the middle of the word, from
// the record's own measures, falls inside the tint, and the tint is no larger than the word.
TEST_F(AppTest, TheCurrentMatchIsTintedOverItsOwnWord) {
    shellState().documentPath = pagedDocument("one.txt", 1);
    start();
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    searchFor(bar, "third");
    ASSERT_EQ(bar->currentMatch(), 0);
    for (int zoom : {1, 2, 3, 5}) {
        view()->document()->zoomChanged(zoom);
        view()->scrollTo(0, 0);
        DocumentRecord& record = *view()->record();
        PageLocator locator;
        const SheetText sheet = sheetText(record, record.curPage, locator);
        const double perUnitY = view()->viewport()->logicalDpiY() / 100.0 * zoom / 2.0;
        const double middle = (sheet.textTop + 2.5 * record.lineHeight) * perUnitY;
        // "third" is the line's first five characters.
        const double perUnitX = view()->viewport()->logicalDpiX() / 100.0 * zoom / 2.0;
        const double centre = (record.LeftMargin + 2.5 * record.charWidth) * perUnitX;
        const QImage shot = view()->viewport()->grab().toImage();
        int top = shot.height(), bottom = -1, left = shot.width(), right = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) == ReportView::currentMatchColour().rgb()) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        SCOPED_TRACE(zoom);
        ASSERT_GE(bottom, top) << "no tint";
        EXPECT_LE(top, middle);
        EXPECT_GE(bottom + 1, middle);
        EXPECT_LE(bottom - top, record.lineHeight * perUnitY + 2);
        EXPECT_LE(left, centre);
        EXPECT_GE(right + 1, centre);
        EXPECT_LE(right - left, 5 * record.charWidth * perUnitX + 2);
    }
}

// A match out of sight brings the page round to it: down to one further down the page, back up
// to one above the part shown, across to one beyond the right edge.
TEST_F(AppTest, AMatchOutOfSightIsScrolledIntoView) {
    std::string text = "top\n";
    for (int i = 0; i < 60; ++i) text += "line\n";
    text += std::string(150, ' ') + "right\nbottom\n";
    shellState().documentPath = writeFile("long.txt", text);
    start();
    for (int i = 0; i < 6; ++i) view()->runCommand(CmZoomIn);
    ASSERT_GT(view()->vRange(), 0);
    ASSERT_GT(view()->hRange(), 0);
    FindBar* bar = frame->findBar();
    view()->runCommand(CmFind);
    view()->scrollTo(0, 0);
    searchFor(bar, "bottom");
    ASSERT_EQ(bar->matches().size(), 1u);
    EXPECT_GT(view()->vPos(), 0);
    EXPECT_EQ(view()->hPos(), 0);
    searchFor(bar, "top");
    EXPECT_EQ(view()->vPos(), 0);
    searchFor(bar, "right");
    EXPECT_GT(view()->hPos(), 0);
    EXPECT_GT(view()->vPos(), 0);
}
