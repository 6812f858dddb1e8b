// "Последние файлы" in the file menu, through the real menu actions: newest first, each
// document reopened with the settings file it was shown with.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "recent_menu.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

QMenu* recentSubmenu(MainFrame* frame) {
    QMenu* file = frame->menuBar()->actions().at(0)->menu();
    for (QAction* a : file->actions())
        if (a->menu() && a->text() == QStringLiteral("Последние файлы")) return a->menu();
    return nullptr;
}

QStringList shownEntries(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList out;
    for (QAction* a : menu->actions())
        if (a->isVisible()) out << a->text();
    return out;
}

void openThroughDialog(ReportView* view, const std::string& path) {
    dialogHooks().fileDialog = [path](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QString::fromStdString(path)};
    };
    view->runCommand(CmOpen);
}

}  // namespace

TEST_F(AppTest, RecentFilesListTheDocumentsShownAndReopenEachWithItsSettings) {
    writeFile("WIDE.INI", "[Folvk]\nZoom=7\n");
    const std::string a = pagedDocument("a.txt", 1);
    const std::string b = pagedDocument("b&c.txt", 2);
    shellState().documentPath = a;
    start();
    QMenu* menu = recentSubmenu(frame.get());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(shownEntries(menu), QStringList{"&1 " + QString::fromStdString(a)});

    // B is shown with WIDE.INI, then A again with the default settings.
    openThroughDialog(view(), b);
    shellState().IniFileName = "WIDE.INI";
    view()->record()->loadProfile("WIDE.INI");
    openThroughDialog(view(), a);
    shellState().IniFileName = "FOLVK95.INI";
    view()->record()->loadProfile("FOLVK95.INI");
    ASSERT_NE(view()->record()->Zoom, 7);
    EXPECT_EQ(shownEntries(menu),
              (QStringList{"&1 " + QString::fromStdString(a),
                           "&2 " + QString::fromStdString(dirPath()) + "b&&c.txt"}));

    // A command for each entry shown, none past them.
    EXPECT_TRUE(view()->isCommandEnabled(CmRecentFile + 1));
    EXPECT_FALSE(view()->isCommandEnabled(CmRecentFile + 2));

    // The second entry reopens B with WIDE.INI.
    QAction* second = menu->actions().at(1);
    ASSERT_TRUE(second->isEnabled());
    second->trigger();
    EXPECT_EQ(shownPath(), b);
    EXPECT_EQ(shellState().IniFileName, "WIDE.INI");
    EXPECT_EQ(view()->record()->Zoom, 7);
    EXPECT_EQ(view()->record()->pageCount, 2);
    EXPECT_EQ(shownEntries(menu).front(), "&1 " + QString::fromStdString(dirPath()) + "b&&c.txt");

    // The first entry reads the document shown again, as it is on disk now.
    pagedDocument("b&c.txt", 3);
    menu->actions().at(0)->trigger();
    EXPECT_EQ(shownPath(), b);
    EXPECT_EQ(view()->record()->pageCount, 3);
}

TEST_F(AppTest, ARecentFileThatIsGoneIsSaidSoAndLeavesTheList) {
    const std::string a = pagedDocument("a.txt", 1);
    const std::string gone = pagedDocument("gone.txt", 3);
    shellState().documentPath = gone;
    start();
    openThroughDialog(view(), a);
    QMenu* menu = recentSubmenu(frame.get());
    ASSERT_EQ(shownEntries(menu).size(), 2);
    std::filesystem::remove(gone);
    menu->actions().at(1)->trigger();
    EXPECT_EQ(shownPath(), a);  // still shown
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("gone.txt")));
    EXPECT_EQ(shownEntries(menu), QStringList{"&1 " + QString::fromStdString(a)});
}

// A place past the list's end (a hidden entry's command) opens nothing and says nothing.
TEST_F(AppTest, APlacePastTheRecentListOpensNothing) {
    const std::string a = pagedDocument("a.txt", 1);
    shellState().documentPath = a;
    start();
    RecentMenu* recent = frame->recentMenu();
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->entries().size(), 1u);
    frame->statusBar()->clearMessage();
    for (int index : {-1, 1, 2, 9}) {
        recent->open(index);
        EXPECT_EQ(shownPath(), a) << index;
        EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty()) << index;
        EXPECT_EQ(recent->entries().size(), 1u) << index;
    }
}

// A recent file's menu text: its place, with the last digit as the key, and its path with any
// '&' doubled so that it shows as itself.
TEST(RecentMenu, EntryTextsNumberThePlacesFromOne) {
    EXPECT_EQ(recentEntryText(0, "/a/b.txt"), QStringLiteral("&1 /a/b.txt"));
    EXPECT_EQ(recentEntryText(8, "/r&d.txt"), QStringLiteral("&9 /r&&d.txt"));
    EXPECT_EQ(recentEntryText(9, "/x.prn"), QStringLiteral("1&0 /x.prn"));
}
