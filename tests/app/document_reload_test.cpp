// "Обновить" and the watch on the document's file, through the real frame: the page stays
// where it was, a change on disk is only offered, a vanished file keeps the text shown.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app_fixture.h"
#include "command_ids.h"
#include "document_record.h"
#include "document_reload.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

std::string pages(int n, const char* word = "page") {
    std::string text;
    for (int p = 1; p <= n; ++p) {
        if (p > 1) text += "\f";
        text += std::string(word) + " " + std::to_string(p) + "\nline\n";
    }
    return text;
}

}  // namespace

TEST_F(AppTest, CtrlRReadsTheFileAgainKeepingThePageClampedToTheNewCount) {
    shellState().documentPath = writeFile("grow.txt", pages(5));
    start();
    view()->setFocus();
    view()->runCommand(CmLastPage);
    view()->runCommand(CmPrevPage);
    ASSERT_EQ(view()->record()->curPage, 4);

    writeFile("grow.txt", pages(7));
    QTest::keyClick(view(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(view()->record()->pageCount, 7);
    EXPECT_EQ(view()->record()->curPage, 4);

    writeFile("grow.txt", pages(2));
    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 2);
    EXPECT_EQ(view()->record()->curPage, 2);
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 2 из 2"));
}

TEST_F(AppTest, AChangeOnDiskIsOfferedInTheStatusBarAndNotApplied) {
    const std::string doc = writeFile("log.txt", pages(3));
    shellState().documentPath = doc;
    start();
    DocumentWatch* watch = frame->documentWatch();
    QSignalSpy noticed(watch, &DocumentWatch::changeNoticed);

    writeFile("log.txt", pages(6));
    ASSERT_TRUE(noticed.wait(5000));
    EXPECT_TRUE(watch->changeOffered());
    EXPECT_EQ(frame->statusBar()->currentMessage(), changedOnDiskMessage());
    // The offer stays three times as long as a passing message.
    const auto* shownFor = frame->statusBar()->findChild<QTimer*>();
    ASSERT_NE(shownFor, nullptr);
    EXPECT_EQ(shownFor->interval(), 3 * 5000);
    EXPECT_EQ(view()->record()->pageCount, 3);  // nothing reloaded by surprise

    // Not while a print job reads the pages.
    shellState().printing = true;
    view()->updateCommandStates();
    EXPECT_FALSE(view()->commandAction(CmReload)->isEnabled());
    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 3);
    shellState().printing = false;

    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 6);
    EXPECT_FALSE(watch->changeOffered());

    // A writer that renames a new file over the old one is still seen, and again after that.
    const std::string temp = writeFile("log.tmp", pages(8));
    ASSERT_EQ(std::rename(temp.c_str(), doc.c_str()), 0);
    ASSERT_TRUE(noticed.wait(5000));
    writeFile("log.txt", pages(9));
    noticed.clear();
    ASSERT_TRUE(noticed.wait(5000));
    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 9);
}

TEST_F(AppTest, ReloadOfAVanishedFileKeepsTheTextShown) {
    const std::string doc = writeFile("gone.txt", pages(4));
    shellState().documentPath = doc;
    start();
    view()->runCommand(CmNextPage);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(doc)));
    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 4);
    EXPECT_EQ(view()->record()->curPage, 2);
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("gone.txt")));
}

// Moved away, Ctrl+R fails; moved back and written to, the change is offered again, and taken.
TEST_F(AppTest, AFailedReloadLeavesTheWatchOn) {
    const std::string doc = writeFile("moving.txt", pages(2));
    shellState().documentPath = doc;
    start();
    DocumentWatch* watch = frame->documentWatch();
    QSignalSpy noticed(watch, &DocumentWatch::changeNoticed);
    const std::string away = dirPath() + "elsewhere.txt";
    ASSERT_EQ(std::rename(doc.c_str(), away.c_str()), 0);
    ASSERT_TRUE(noticed.wait(5000));
    view()->runCommand(CmReload);
    EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith(
        QStringLiteral("Не удаётся прочитать файл")));
    EXPECT_FALSE(watch->changeOffered());

    ASSERT_EQ(std::rename(away.c_str(), doc.c_str()), 0);
    QTest::qWait(500);
    noticed.clear();
    writeFile("moving.txt", pages(5));
    ASSERT_TRUE(noticed.wait(5000));
    EXPECT_TRUE(watch->changeOffered());
    view()->runCommand(CmReload);
    EXPECT_EQ(view()->record()->pageCount, 5);
}
