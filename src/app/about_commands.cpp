// Exit (109), Help (103), About (104) and the two commands that address the maker.
#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QUrl>

#include "about_dialog.h"
#include "command_ids.h"

#include "app_globals.h"
#include "help_viewer.h"
#include "ruler_win.h"
#include "shell_state.h"

namespace folvek {

void TRulerWin::exitProgram() {
    shellState().printing = false;
    QWidget* frame = window();
    // Esc ends the program, not just the window: nothing else may keep the loop alive.
    if (frame && frame->close()) QCoreApplication::quit();
}

void TRulerWin::showHelp() {
    openHelp(0);
}

void TRulerWin::showAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void TRulerWin::openWebSite() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerWebAddress)));
}

void TRulerWin::mailAuthor() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:%1?SUBJECT=About KRB Folvek")
                                       .arg(QString::fromLatin1(kMakerMailAddress))));
}

void registerAboutCommands(TRulerWin& view) {
    view.addCommand(CmHelp, [&view] { view.showHelp(); });
    view.addCommand(CmWebSite, [&view] { view.openWebSite(); });
    view.addCommand(CmMailAuthor, [&view] { view.mailAuthor(); });
    view.addCommand(CmAbout, [&view] { view.showAbout(); });
}

}  // namespace folvek
