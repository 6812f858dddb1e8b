// Settings that cannot be written back (the zoom keys and the font commands write them at every
// press) are said once, in the status bar, with the file's path: no box at every key, and not
// silence either. Saving under a new name still says it in a box.
#include <QStatusBar>

#include "app_fixture.h"
#include "command_ids.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::AppTest;

TEST_F(AppTest, SettingsThatCannotBeSavedAreSaidOnceInTheStatusBarWithThePath) {
    shellState().documentPath = pagedDocument("r.txt", 2);
    start();
    // A folder that is a file: no user, root included, can write a settings file in it.
    writeFile("notafolder", "x");
    const std::string ini = dirPath() + "notafolder/FOLVK95.INI";
    view()->record()->iniPath = ini;
    view()->runCommand(CmZoomIn);
    const QString said = frame->statusBar()->currentMessage();
    EXPECT_TRUE(said.startsWith(QStringLiteral("Настройки не сохранены: "))) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromStdString(ini))) << said.toStdString();
    // And why, in brackets after it.
    EXPECT_TRUE(said.contains(QString::fromStdString(ini + " ("))) << said.toStdString();
    EXPECT_TRUE(said.endsWith(QLatin1Char(')'))) << said.toStdString();
    // Once: the next press leaves the status bar to the user.
    frame->statusBar()->clearMessage();
    view()->runCommand(CmZoomIn);
    view()->runCommand(CmZoomOut);
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty());
}
