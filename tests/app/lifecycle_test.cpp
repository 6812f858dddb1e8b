// Start-up window, Esc ending the program, the can-close check, the About template, the
// registered commands.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "about_dialog.h"
#include "app_fixture.h"
#include "app_globals.h"
#include "application.h"
#include "command_ids.h"
#include "command_table.h"
#include "report_view.h"
#include "shell_state.h"
#include "startup_window.h"

using namespace folvek;
using folvek::test::AppTest;

TEST_F(AppTest, StartupWindowHidesItsOkButtonAndGoesAwayAtTheFirstPaint) {
    QDialog* wait = showStartupWindow();
    ASSERT_TRUE(startupWindowExists());
    QWidget* ok = dialogItem(wait, kAboutOk);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(ok->isVisible());
    auto* status = qobject_cast<QLabel*>(dialogItem(wait, kAboutStatus));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), QStringLiteral("Загрузка..."));
    start();
    view()->viewport()->repaint();
    EXPECT_FALSE(startupWindowExists());
}

TEST_F(AppTest, EscEndsTheProgram) {
    start();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    bool timedOut = false;
    QTimer::singleShot(0, view(), [this] { QTest::keyClick(view(), Qt::Key_Escape); });
    QTimer::singleShot(5000, qApp, [&timedOut] {
        timedOut = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(AppTest, NoClosingWhilePrinting) {
    start();
    shellState().printing = true;
    EXPECT_FALSE(FolvekApplication::canClose());
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    // Exit clears the flag first, so it always ends the run.
    view()->runCommand(CmExit);
    EXPECT_FALSE(shellState().printing);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(AppTest, AboutTemplateLaysOutInDialogUnits) {
    AboutDialog about(nullptr);
    const DialogBaseUnits u = dialogBaseUnits(about.font());
    EXPECT_EQ(about.size(), QSize(u.toX(163), u.toY(140)));
    QWidget* ok = dialogItem(&about, kAboutOk);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->geometry(), QRect(u.toX(102), u.toY(118), u.toX(58), u.toY(14)));
    EXPECT_EQ(ok->property("dialogId").toInt(), 2);
    auto* product = qobject_cast<QLabel*>(dialogItem(&about, kAboutProduct));
    ASSERT_TRUE(product);
    EXPECT_EQ(product->text(), QStringLiteral("K R B Folvek"));
    QTimer::singleShot(0, ok, [ok] { static_cast<QPushButton*>(ok)->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

// Every command of the menu and the tool bar is registered by some module, so none of them is
// a dead entry.
TEST_F(AppTest, EveryMenuAndToolBarCommandIsRegistered) {
    start(false);
    for (const CommandInfo& info : commandInfos())
        EXPECT_TRUE(view()->hasCommand(info.id)) << info.id << " " << info.menuText;
    for (const ToolGadget& g : toolBarSpec()) {
        if (g.command != 0 && g.command != IdSettingsList) {
            EXPECT_TRUE(view()->hasCommand(g.command)) << g.command;
        }
    }
    EXPECT_TRUE(view()->hasCommand(CmFrameworkExit));
}
