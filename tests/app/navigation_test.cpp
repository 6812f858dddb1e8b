// Page commands and keys across page boundaries, zoom limits with the settings file, the
// scroll ranges, orientation.
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "app_fixture.h"
#include "app_globals.h"
#include "command_ids.h"
#include "document_record.h"
#include "printer_settings.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

TEST_F(AppTest, ScrollRangesFollowTheExample) {
    start();
    DocumentRecord& p = *view()->record();
    p.Zoom = 3;
    p.pageWidth = 80;
    p.pageHeight = 110;
    p.charWidth = 10.0;
    p.lineHeight = 17;
    p.maxLineLength = 130;
    view()->UpdateScrollRanges();
    EXPECT_EQ(view()->hUnit(), 10);
    EXPECT_EQ(view()->vUnit(), 17);
    EXPECT_EQ(view()->hRange(), 260);
    EXPECT_EQ(view()->vRange(), 64);

    // Wider pages win over the longest line; a fractional character width truncates the unit.
    p.Zoom = 5;  // d = 2
    p.maxLineLength = 10;
    p.charWidth = 9.6;
    view()->UpdateScrollRanges();
    EXPECT_EQ(view()->hUnit(), 9);
    EXPECT_EQ(view()->hRange(), 333);  // 80 * 20 * 2 / 9.6 = 333.3
    EXPECT_EQ(view()->vRange(), 129);  // 1100 * 2 / 17 = 129.4

    // Half size: no vertical scrolling at all.
    p.Zoom = 1;
    view()->UpdateScrollRanges();
    EXPECT_EQ(view()->vRange(), 0);
    EXPECT_EQ(view()->hRange(), 10);

    // The page moves by whole units while both shifts fit in 16 bits; past that it does not
    // move at all. 32767 is 151 x 217 and 7 x 4681.
    p.Zoom = 11;
    p.pageWidth = 400;
    p.pageHeight = 1100;
    p.charWidth = 7.0;
    p.lineHeight = 151;
    view()->UpdateScrollRanges();
    ASSERT_GE(view()->vRange(), 218);
    ASSERT_GE(view()->hRange(), 4682);
    view()->scrollTo(0, 217);
    EXPECT_EQ(view()->scrollOffset(), QPointF(0, 32767));
    view()->scrollTo(0, 218);
    EXPECT_EQ(view()->scrollOffset(), QPointF(0, 0));
    view()->scrollTo(4681, 1);
    EXPECT_EQ(view()->scrollOffset(), QPointF(32767, 151));
    view()->scrollTo(4682, 1);
    EXPECT_EQ(view()->scrollOffset(), QPointF(0, 0));
    view()->scrollTo(0, 0);
    p.pageWidth = 80;
    p.lineHeight = 17;

    // A scroll bar's arrow moves the page by one unit.
    view()->scrollTo(3, 3);
    view()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    view()->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view()->vPos(), 4);
    EXPECT_EQ(view()->hPos(), 2);
    view()->scrollTo(0, 0);

    // A page of scrolling is the whole units that fit in the window less one, at least one.
    p.Zoom = 3;
    p.charWidth = 10.0;
    view()->UpdateScrollRanges();
    ASSERT_EQ(view()->hUnit(), 10);
    ASSERT_EQ(view()->vUnit(), 17);
    view()->resize(400, 300);
    QWidget* port = view()->viewport();
    EXPECT_EQ(view()->horizontalScrollBar()->pageStep(), port->width() / 10 - 1);
    EXPECT_EQ(view()->verticalScrollBar()->pageStep(), port->height() / 17 - 1);
    view()->setMinimumSize(0, 0);
    for (int pixels : {25, 15}) {
        view()->resize(view()->width() - port->width() + pixels,
                       view()->height() - port->height() + pixels);
        ASSERT_EQ(port->width(), pixels);
        ASSERT_EQ(port->height(), pixels);
        EXPECT_EQ(view()->horizontalScrollBar()->pageStep(), 1) << pixels;
        EXPECT_EQ(view()->verticalScrollBar()->pageStep(), 1) << pixels;
    }
}

TEST_F(AppTest, DownRunsFromTheBottomOfOnePageOntoTheTopOfTheNext) {
    shellState().documentPath = pagedDocument("five.txt", 5);
    start();
    ReportView* v = view();
    v->runCommand(CmNextPage);
    ASSERT_EQ(v->record()->curPage, 2);
    const int range = v->vRange();
    ASSERT_GT(range, 0);
    for (int i = 1; i <= range; ++i) {
        QTest::keyClick(v, Qt::Key_Down);
        ASSERT_EQ(v->vPos(), i);
        ASSERT_EQ(v->record()->curPage, 2);
    }
    QTest::keyClick(v, Qt::Key_Down);
    EXPECT_EQ(v->record()->curPage, 3);
    EXPECT_EQ(v->vPos(), 0);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 3 из 5"));

    // Up at the top goes back to the bottom position of the page before; Ctrl+Up is the same.
    const int bottom = v->record()->pageHeight * 10 / v->vUnit();
    QTest::keyClick(v, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(v->record()->curPage, 2);
    EXPECT_EQ(v->vPos(), std::min(bottom, range));
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 2 из 5"));
}

// Home and End go to the page's left edge as well as its top and bottom.
TEST_F(AppTest, HomeAndEndAlsoGoToTheLeftEdge) {
    shellState().documentPath = pagedDocument("three.txt", 3);
    start();
    ReportView* v = view();
    for (int i = 0; i < 6; ++i) v->zoomIn();
    ASSERT_GT(v->hRange(), 0);
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_End}) {
        v->scrollTo(v->hRange(), 5);
        ASSERT_GT(v->hPos(), 0);
        QTest::keyClick(v, key);
        EXPECT_EQ(v->hPos(), 0) << key;
    }
    EXPECT_GT(v->vPos(), 5);  // End went down
}

TEST_F(AppTest, PageKeysAndCtrlPageKeys) {
    shellState().documentPath = pagedDocument("three.txt", 3);
    start();
    ReportView* v = view();
    v->scrollTo(0, 5);
    QTest::keyClick(v, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(v->record()->curPage, 2);
    EXPECT_EQ(v->vPos(), 5);  // same part of the page in view
    QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(v->record()->curPage, 3);
    QTest::keyClick(v, Qt::Key_PageDown, Qt::ControlModifier);  // last page: only repaints
    EXPECT_EQ(v->record()->curPage, 3);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 3 из 3"));

    QTest::keyClick(v, Qt::Key_End);
    EXPECT_EQ(v->vPos(), std::min(v->vRange(), v->record()->pageHeight * 10 / v->vUnit()));
    QTest::keyClick(v, Qt::Key_Home);
    EXPECT_EQ(v->vPos(), 0);
    // PgUp at the top of a page turns to the page before.
    QTest::keyClick(v, Qt::Key_PageUp);
    EXPECT_EQ(v->record()->curPage, 2);
    EXPECT_GT(v->vPos(), 0);
    QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(v->record()->curPage, 1);
    // PgDn inside a page scrolls by the page step.
    v->scrollTo(0, 0);
    const int step = v->verticalScrollBar()->pageStep();
    QTest::keyClick(v, Qt::Key_PageDown);
    EXPECT_EQ(v->vPos(), std::min(step, v->vRange()));
    EXPECT_EQ(v->record()->curPage, 1);
    QTest::keyClick(v, Qt::Key_Right);
    QTest::keyClick(v, Qt::Key_Right);
    QTest::keyClick(v, Qt::Key_Left);
    EXPECT_EQ(v->hPos(), 1);
}

TEST_F(AppTest, AtHalfSizeUpAndDownTurnPagesAtOnce) {
    writeFile("FOLVK95.INI", "[Folvk]\nZoom=1\n");
    shellState().documentPath = pagedDocument("two.txt", 2);
    start();
    ASSERT_EQ(view()->vRange(), 0);
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(view()->record()->curPage, 2);
    QTest::keyClick(view(), Qt::Key_Up);
    EXPECT_EQ(view()->record()->curPage, 1);
}

TEST_F(AppTest, ZoomStopsAtItsLimitsAndRewritesTheSettingsFile) {
    const std::string ini = writeFile("FOLVK95.INI", "[Folvk]\nZoom=10\n[Other]\nkeep=1\n");
    start();
    ReportView* v = view();
    v->runCommand(CmZoomIn);
    EXPECT_EQ(v->record()->Zoom, 11);
    EXPECT_FALSE(v->commandAction(CmZoomIn)->isEnabled());
    std::string text = readFile(ini);
    EXPECT_NE(text.find("Zoom=11"), std::string::npos) << text;
    EXPECT_NE(text.find("keep=1"), std::string::npos) << text;
    v->zoomIn();  // beyond the bound: nothing
    EXPECT_EQ(v->record()->Zoom, 11);

    for (int i = 0; i < 12; ++i) v->runCommand(CmZoomOut);
    EXPECT_EQ(v->record()->Zoom, 1);
    EXPECT_FALSE(v->commandAction(CmZoomOut)->isEnabled());
    v->zoomOut();  // below the bound: nothing
    EXPECT_EQ(v->record()->Zoom, 1);
    text = readFile(ini);
    EXPECT_TRUE(text.find("Zoom=1\r") != std::string::npos ||
                text.find("Zoom=1\n") != std::string::npos)
        << text;
}

TEST_F(AppTest, LandscapeRepaginatesShowsPageOneAndLeavesTheSettingsFile) {
    const std::string ini = writeFile("FOLVK95.INI", "[Folvk]\nZoom=3\n");
    shellState().documentPath = pagedDocument("three.txt", 3);
    start();
    ReportView* v = view();
    const int portraitWidth = v->record()->pageWidth;
    v->runCommand(CmLastPage);
    v->runCommand(CmLandscape);
    EXPECT_EQ(v->record()->curPage, 1);
    EXPECT_EQ(v->record()->Orient, 1);
    EXPECT_GT(v->record()->pageWidth, portraitWidth);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 3"));
    EXPECT_EQ(readFile(ini), "[Folvk]\nZoom=3\n");
}

TEST_F(AppTest, OrientationOverrideWinsOverTheSettingsAtStart) {
    writeFile("FOLVK95.INI", "[Folvk]\nOrient=1\n");
    shellState().orientation = 0;
    start();
    EXPECT_FALSE(view()->printer()->landscape());
    EXPECT_EQ(view()->record()->Orient, 1);
}
