// Handing the document to xdg-email, its path as the bytes the file system holds.
#include "mail_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>
#include <QWidget>

#include "document_command_context.h"
#include "encoding_offer.h"
#include "messages.h"
#include "run_program.h"

namespace folvek {

namespace {

constexpr const char* kCannotStart =
    "Не удалось запустить почтовую программу (xdg-email). Установите пакет xdg-utils и "
    "настройте почтовый клиент.";
constexpr const char* kFailedFormat =
    "Почтовая программа не смогла отправить документ (xdg-email, код %1).";

void bringToFront(QWidget* owner) {
    if (!owner) return;
    QWidget* top = owner->window();
    top->raise();
    top->activateWindow();
    top->setFocus();
}

}  // namespace

std::vector<std::string> mailArguments(const std::string& path,
                                       const std::optional<std::string>& recipient) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::string> args{"--subject", name, "--attach", path};
    if (recipient && !recipient->empty()) args.push_back(*recipient);
    return args;
}

MailOutcome sendDocumentByMail(DocumentCommandContext& ctx) {
    MailOutcome outcome = MailOutcome::Cancelled;
    if (!ctx.path.empty() && offerWindowsEncoding(ctx) != -1) {
        std::vector<std::string> argv = mailArguments(ctx.path, ctx.eValue);
        argv.insert(argv.begin(), kMailProgram);
        // The window keeps painting but takes no input meanwhile, so no second command can
        // start while the mail client's compose window is open.
        QWidget* top = ctx.owner ? ctx.owner->window() : nullptr;
        const bool wasEnabled = top && top->isEnabled();
        if (wasEnabled) top->setEnabled(false);
        const ProgramRun run = runProgram(
            argv, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
        if (wasEnabled) top->setEnabled(true);
        if (!run.started) {
            ctx.messages->show(kCannotStart, "!!!", MsgIcon::Error);
            outcome = MailOutcome::NotStarted;
        } else if (run.exitCode != 0) {
            ctx.messages->show(QString::fromUtf8(kFailedFormat).arg(run.exitCode).toStdString(),
                               "!!!", MsgIcon::Error);
            outcome = MailOutcome::Failed;
        } else {
            outcome = MailOutcome::Sent;
        }
    }
    bringToFront(ctx.owner);
    return outcome;
}

}  // namespace folvek
