// A big report at start: its first pages are shown while the rest is read, the page field
// reads "Стр. 1 из …", and the commands that need the whole text wait; the count fills in when
// the event loop takes the finished rest over. Another document opened meanwhile stops it.
#include <QLabel>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

constexpr int kPages = 60000;  // some 2 MB: more than the size from which the head comes first

}  // namespace

TEST_F(AppTest, ABigReportShowsItsFirstPageAndTheCountFillsIn) {
    shellState().documentPath = pagedDocument("big.txt", kPages);
    start(false);  // no event is handled before the checks below
    ReportView* v = view();
    ASSERT_TRUE(v->document()->loading());
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из …"));
    const int headPages = v->record()->pageCount;
    ASSERT_GT(headPages, 3);
    for (const int id : {CmLastPage, CmGoToPage, CmFind, CmFindNext, CmExportPdf, CmPrint,
                         CmPrintCurrent, CmCopyTable, CmSaveTables, CmJobLayout})
        EXPECT_FALSE(v->isCommandEnabled(id)) << id;
    EXPECT_TRUE(v->isCommandEnabled(CmNextPage));
    EXPECT_TRUE(v->isCommandEnabled(CmZoomIn));
    // The head's last page may go on in the rest: the page before it is as far as one goes.
    v->document()->goToPage(headPages - 1);
    EXPECT_FALSE(v->isCommandEnabled(CmNextPage));
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. %1 из …").arg(headPages - 1));
    v->document()->goToPage(2);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !v->document()->loading(); }, 20000));
    EXPECT_EQ(v->record()->pageCount, kPages);
    EXPECT_EQ(v->record()->curPage, 2);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 2 из %1").arg(kPages));
    EXPECT_TRUE(v->isCommandEnabled(CmLastPage));
    EXPECT_TRUE(v->isCommandEnabled(CmGoToPage));
    EXPECT_TRUE(v->commandAction(CmLastPage)->isEnabled());
    v->runCommand(CmLastPage);
    EXPECT_EQ(v->record()->curPage, kPages);
}

TEST_F(AppTest, AnotherDocumentOpenedWhileTheRestIsReadStopsIt) {
    shellState().documentPath = pagedDocument("big.txt", kPages);
    const std::string small = pagedDocument("small.txt", 4);
    start(false);
    ASSERT_TRUE(view()->document()->loading());
    view()->openFile(small);
    EXPECT_FALSE(view()->document()->loading());
    // The stopped rest's word, if it was already on its way, changes nothing.
    QTest::qWait(200);
    EXPECT_EQ(view()->record()->pageCount, 4);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 4"));
    // Closed while the rest is read.
    shellState().documentPath = pagedDocument("big2.txt", kPages);
    stop();
    start(false);
    EXPECT_TRUE(view()->document()->loading());
    stop();
    QTest::qWait(100);
}
