// A big report opened after the start (the Open dialog, the recent files, Ctrl+R) shows its
// first pages while the rest is read, as at start: "Стр. 1 из …", the commands that need the
// whole text wait, the count fills in. The rest's completion is not a new read: the file-changed
// offer and the recent list take no notice of it.
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "document_reload.h"
#include "recent_files.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

constexpr int kPages = 60000;  // some 2 MB: more than the size from which the head comes first

int timesListed(const std::string& path) {
    int n = 0;
    for (const auto& entry : recent::read(recent::listPath(shellState())))
        if (entry.document == path) ++n;
    return n;
}

bool waitForWhole(ReportView* v) {
    return QTest::qWaitFor([v] { return !v->document()->loading(); }, 20000);
}

}  // namespace

TEST_F(AppTest, ABigReportOpenedLaterShowsItsHeadAndTheCountFillsIn) {
    const std::string small = pagedDocument("small.txt", 3);
    const std::string big = pagedDocument("big.txt", kPages);
    shellState().documentPath = small;
    start(false);
    ReportView* v = view();
    dialogHooks().fileDialog = [big](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(big)};
    };
    v->runCommand(CmOpen);
    ASSERT_TRUE(v->document()->loading());
    EXPECT_EQ(shownPath(), big);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из …"));
    EXPECT_FALSE(v->isCommandEnabled(CmLastPage));
    EXPECT_FALSE(v->isCommandEnabled(CmFind));
    // The document left is remembered; the one opening enters the list once.
    EXPECT_EQ(timesListed(small), 1);
    EXPECT_EQ(timesListed(big), 1);
    ASSERT_TRUE(waitForWhole(v));
    EXPECT_EQ(v->record()->pageCount, kPages);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из %1").arg(kPages));
    EXPECT_TRUE(v->isCommandEnabled(CmLastPage));
    EXPECT_EQ(timesListed(big), 1);

    // Again from the recent files.
    v->openFile(small);
    v->openFile(big);
    ASSERT_TRUE(v->document()->loading());
    // Closed while the rest is read: the thread stops and the history is written.
    stop();
    QTest::qWait(100);
    EXPECT_EQ(timesListed(big), 1);
}

TEST_F(AppTest, CtrlROnABigReportKeepsAPageBeyondTheHead) {
    shellState().documentPath = pagedDocument("big.txt", kPages);
    start(false);
    ReportView* v = view();
    ASSERT_TRUE(waitForWhole(v));
    v->document()->goToPage(kPages - 10);
    v->runCommand(CmReload);
    ASSERT_TRUE(v->document()->loading());
    EXPECT_LT(v->record()->curPage, kPages - 10);
    EXPECT_TRUE(frame->pageField()->text().endsWith(QStringLiteral("из …")));
    ASSERT_TRUE(waitForWhole(v));
    EXPECT_EQ(v->record()->curPage, kPages - 10);
    EXPECT_EQ(frame->pageField()->text(),
              QStringLiteral("Стр. %1 из %2").arg(kPages - 10).arg(kPages));
    // A reload while the rest of the last one is read starts again, and ends the same.
    v->runCommand(CmReload);
    v->runCommand(CmReload);
    ASSERT_TRUE(waitForWhole(v));
    EXPECT_EQ(v->record()->curPage, kPages - 10);
    EXPECT_EQ(v->record()->pageCount, kPages);
}

TEST_F(AppTest, TheRestsCompletionNeitherDropsNorRepeatsTheFileChangedOffer) {
    const std::string doc = writeFile("log.txt", "one\ntwo\n");
    shellState().documentPath = doc;
    start(false);
    DocumentWatch* watch = frame->documentWatch();
    QSignalSpy noticed(watch, &DocumentWatch::changeNoticed);
    QTest::qWait(1100);  // a later write gets another time stamp
    writeFile("log.txt", "one\ntwo\nthree\n");
    ASSERT_TRUE(QTest::qWaitFor([watch] { return watch->changeOffered(); }, 5000));
    // The completion of a read (the rest of a big file) leaves the offer standing, in the
    // status bar too...
    view()->document()->notify(kTextChanged | kLayoutChanged | kPageChanged | kLoadCompleted);
    EXPECT_TRUE(watch->changeOffered());
    EXPECT_EQ(frame->statusBar()->currentMessage(), changedOnDiskMessage());
    QTest::qWait(500);
    EXPECT_EQ(noticed.count(), 1);
    // ...where a new read takes it back.
    view()->document()->notify(kTextChanged);
    EXPECT_FALSE(watch->changeOffered());
}
