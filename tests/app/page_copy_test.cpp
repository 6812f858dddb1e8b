// "Копировать страницу" through the real command and clipboard: the page shown, tags and
// control bytes gone, a DOS frame as Unicode box drawing.
#include <QClipboard>
#include <QGuiApplication>
#include <QStatusBar>

#include "app_fixture.h"
#include "box_cells.h"
#include "command_ids.h"
#include "document_record.h"
#include "page_text.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

TEST_F(AppTest, CopyPagePutsTheShownPageOnTheClipboardWithItsFrameInUnicode) {
    // Code page 866: a double frame round "Итого <B>12</B>", a single rule with a tee, and a
    // second page that must not come along.
    const std::string doc = writeFile("frame.txt",
                                      "first page\r\n\f"
                                      "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
                                      "\xBA\x88\xE2\xAE\xA3\xAE <B>12</B>\xBA   \r\n"
                                      "\xC3\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xB4\r\n"
                                      "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC\r\n"
                                      "\fthird page\r\n");
    shellState().documentPath = doc;
    shellState().dosOverride = DosOverride::Dos;
    start();
    ASSERT_EQ(view()->record()->pageCount, 3);
    view()->runCommand(CmNextPage);
    ASSERT_TRUE(view()->isCommandEnabled(CmCopyPage));
    view()->runCommand(CmCopyPage);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("╔═════════╗\n"
                                                                   "║Итого 12║\n"
                                                                   "├─────────┤\n"
                                                                   "╚═════════╝"));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Страница 2 скопирована"));

    view()->runCommand(CmFirstPage);
    view()->runCommand(CmCopyPage);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first page"));
}

TEST(PageText, ArmsWithoutAnOwnCharacterBecomeTheLineTheyLieOn) {
    EXPECT_EQ(boxCharacter(0), 0);
    EXPECT_EQ(boxCharacter(boxCode(0, 0, 1, 1)), u'─');
    EXPECT_EQ(boxCharacter(boxCode(2, 2, 0, 0)), u'║');
    EXPECT_EQ(boxCharacter(boxCode(1, 1, 2, 0)), u'╡');
    EXPECT_EQ(boxCharacter(boxCode(0, 0, 2, 0)), u'═');  // a half line at a frame's end
    EXPECT_EQ(boxCharacter(boxCode(1, 0, 0, 0)), u'│');
}
