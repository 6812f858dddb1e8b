// Passing messages in the status bar give the fields back: after a while, at the next page turn,
// the next command or the next document, with the fields showing what is current by then.
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "command_table.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

QLabel* pageField(MainFrame* frame) {
    return frame->statusBar()->findChild<QLabel*>(QStringLiteral("id2"));
}

}  // namespace

TEST_F(AppTest, AMessageGivesWayToThePageFieldAtTheNextPageTurnOrCommand) {
    shellState().documentPath = pagedDocument("five.txt", 5);
    start();
    QStatusBar* bar = frame->statusBar();
    view()->setFocus();

    view()->runCommand(CmCopyPage);
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("Страница 1 скопирована"));
    EXPECT_FALSE(pageField(frame.get())->isVisible());  // the message covers the fields

    // A page turn by key: the message goes, the page field is back with the new page.
    QTest::keyClick(view(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_TRUE(pageField(frame.get())->isVisible());
    EXPECT_EQ(pageField(frame.get())->text(), QStringLiteral("Стр. 2 из 5"));

    // Any other command ends it too, even one that changes no page.
    view()->runCommand(CmCopyPage);
    ASSERT_FALSE(bar->currentMessage().isEmpty());
    view()->runCommand(CmZoomIn);
    EXPECT_TRUE(bar->currentMessage().isEmpty());

    // Another document.
    view()->runCommand(CmCopyPage);
    ASSERT_FALSE(bar->currentMessage().isEmpty());
    view()->openFile(pagedDocument("three.txt", 3));
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_EQ(pageField(frame.get())->text(), QStringLiteral("Стр. 1 из 3"));

    // Left alone, it leaves by itself.
    ShowStatusMessage(view(), QStringLiteral("passing"), 50);
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("passing"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->currentMessage().isEmpty(), 2000);
    EXPECT_TRUE(pageField(frame.get())->isVisible());
}

// Every command of the menus says what it does while it is highlighted, apart from the two
// that address the maker.
TEST(CommandHints, EveryMenuCommandHasAHint) {
    for (const MenuSpec& menu : menuBarSpec())
        for (const MenuEntry& e : menu.entries) {
            if (e.id <= 0 || e.id == CmWebSite || e.id == CmMailAuthor) continue;
            EXPECT_FALSE(commandHint(e.id).isEmpty()) << e.id;
        }
    for (int id :
         {CmReload, CmExportPdf, CmFind, CmFindNext, CmFindPrevious, CmCopyPage, CmGoToPage})
        EXPECT_FALSE(commandHint(id).isEmpty()) << id;
}
