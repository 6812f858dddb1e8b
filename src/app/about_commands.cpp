// Exit, Help, About and the two commands that address the maker.
#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include "about_dialog.h"
#include "command_ids.h"

#include "app_globals.h"
#include "desktop_open.h"
#include "dialog_hooks.h"
#include "help_viewer.h"
#include "message_boxes.h"
#include "report_view.h"
#include "shell_state.h"

namespace folvek {

void ReportView::exitProgram() {
    shellState().printing = false;
    QWidget* frame = window();
    // Esc ends the program, not just the window: nothing else may keep the loop alive.
    if (frame && frame->close()) QCoreApplication::quit();
}

namespace {

// The opener answers later; by then the view may be gone, and the box has no owner.
DesktopReport reportTo(ReportView* view) {
    QPointer<ReportView> owner = view;
    return [owner](const std::string& text) {
        if (MessageSink* sink = dialogHooks().messages) {
            sink->show(text, "!!!", MsgIcon::Error);
            return;
        }
        QtMessages box(owner.data());
        box.show(text, "!!!", MsgIcon::Error);
    };
}

}  // namespace

void ReportView::showHelp() {
    openHelp(0, reportTo(this));
}

void ReportView::showAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void ReportView::openWebSite() {
    openWithDesktop(QUrl(QString::fromLatin1(kMakerWebAddress)),
                    QStringLiteral("Не удалось открыть веб-страницу."), reportTo(this));
}

void ReportView::mailAuthor() {
    openWithDesktop(QUrl(QStringLiteral("mailto:%1?SUBJECT=About KRB Folvek")
                             .arg(QString::fromLatin1(kMakerMailAddress))),
                    QStringLiteral("Не удалось открыть почтовую программу."), reportTo(this));
}

void registerAboutCommands(ReportView& view) {
    view.addCommand(CmHelp, [&view] { view.showHelp(); });
    view.addCommand(CmWebSite, [&view] { view.openWebSite(); });
    view.addCommand(CmMailAuthor, [&view] { view.mailAuthor(); });
    view.addCommand(CmAbout, [&view] { view.showAbout(); });
}

}  // namespace folvek
