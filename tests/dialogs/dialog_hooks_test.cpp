// The desktop's side of the dialog hooks: file filters made from the string table's pairs, a
// file dialog's failure told as the old program told it, the screen's resolution unless a test
// fixed one, dialogs centred on the screen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <string>

#include "center_dialog.h"
#include "dialog_hooks.h"
#include "document/test_support.h"
#include "file_dialogs.h"

using namespace folvek;

TEST(FileFilters, PairsBecomeQtFiltersWithTheirPatterns) {
    using namespace std::string_literals;
    EXPECT_EQ(
        nameFiltersFromPairs("Отчёты (*.txt)\0*.txt;*.prn\0Все файлы (*.*)\0*.*\0"s),
        (QStringList{QStringLiteral("Отчёты (*.txt *.prn)"), QStringLiteral("Все файлы (*)")}));
    // A description without parentheses, or that starts with one, is kept whole; a description
    // without its pattern is dropped.
    EXPECT_EQ(nameFiltersFromPairs("Рисунки\0*.bmp\0(все)\0*.*\0Лишнее"s),
              (QStringList{QStringLiteral("Рисунки (*.bmp)"), QStringLiteral("(все) (*)")}));
    EXPECT_EQ(nameFiltersFromPairs("a\0*.a"s), QStringList{QStringLiteral("a (*.a)")});
    EXPECT_TRUE(nameFiltersFromPairs("").isEmpty());
    const QStringList settings = settingsFileFilters();
    ASSERT_EQ(settings.size(), 2);
    EXPECT_TRUE(settings[0].contains(QStringLiteral("*.ini"))) << settings[0].toStdString();
    EXPECT_TRUE(settings[1].endsWith(QStringLiteral("(*)"))) << settings[1].toStdString();
}

TEST(FileDialogHook, AFailureIsToldWithItsCodeAndGivesNoName) {
    coretest::MessageRecorder messages;
    dialogHooks().messages = &messages;
    long code = 12290;
    dialogHooks().fileDialog = [&code](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{QStringLiteral("/tmp/chosen.txt"), code};
    };
    EXPECT_TRUE(askFileName(FileDialogKind::Open, {}).isEmpty());
    code = 3;
    EXPECT_TRUE(askFileName(FileDialogKind::Save, {}).isEmpty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "GetOpenFileName returned Error #12290");
    EXPECT_EQ(messages.shown[0].caption, "WARNING");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(messages.shown[1].text, "GetSaveFileName returned Error #3");
    code = 0;
    EXPECT_EQ(askFileName(FileDialogKind::Save, {}), QStringLiteral("/tmp/chosen.txt"));
    EXPECT_EQ(messages.shown.size(), 2u);
    resetDialogHooks();
    EXPECT_EQ(dialogHooks().messages, nullptr);
}

TEST(ScreenResolution, TheScreensUnlessATestFixedOne) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screenLogPixelsY(nullptr), int(std::lround(screen->logicalDotsPerInchY())));
    dialogHooks().logPixelsY = 120;
    EXPECT_EQ(screenLogPixelsY(nullptr), 120);
    dialogHooks().logPixelsY = 1;
    EXPECT_EQ(screenLogPixelsY(nullptr), 1);
    resetDialogHooks();
}

// A dialog is centred on its screen; one larger than the screen keeps as much on it as it
// would overhang on the other side.
TEST(CenterDialog, CentresOnTheScreenEvenWhenTooLarge) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect desk = screen->geometry();
    QWidget small;
    small.resize(300, 200);
    CenterDialog(&small);
    EXPECT_EQ(small.frameGeometry().topLeft(),
              QPoint((desk.x() + desk.width() - small.frameGeometry().width()) / 2,
                     (desk.y() + desk.height() - small.frameGeometry().height()) / 2));
    QWidget large;
    large.resize(desk.width() + 200, desk.height() + 100);
    CenterDialog(&large);
    EXPECT_EQ(large.frameGeometry().topLeft(),
              QPoint(std::abs(desk.x() + desk.width() - large.frameGeometry().width()) / 2,
                     std::abs(desk.y() + desk.height() - large.frameGeometry().height()) / 2));
    EXPECT_GT(large.frameGeometry().x(), 0);
    CenterDialog(nullptr);  // nothing to move
}
