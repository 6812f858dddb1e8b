// Handing the document to xdg-email.
#include "mail_command.h"

#include <QEventLoop>
#include <QProcess>
#include <QWidget>

#include "document_command_context.h"
#include "encoding_offer.h"
#include "messages.h"

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

// Runs the program to its end; the window keeps painting but takes no input meanwhile, so no
// second command can start while the mail client's compose window is open.
int runToEnd(QProcess& proc, QWidget* owner) {
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QWidget* top = owner ? owner->window() : nullptr;
    const bool wasEnabled = top && top->isEnabled();
    if (wasEnabled) top->setEnabled(false);
    if (proc.state() != QProcess::NotRunning) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (wasEnabled) top->setEnabled(true);
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

}  // namespace

QStringList mailArguments(const std::string& path, const std::optional<std::string>& recipient) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    QStringList args{QStringLiteral("--subject"), QString::fromStdString(name),
                     QStringLiteral("--attach"), QString::fromStdString(path)};
    if (recipient && !recipient->empty()) args << QString::fromStdString(*recipient);
    return args;
}

MailOutcome sendDocumentByMail(DocumentCommandContext& ctx) {
    MailOutcome outcome = MailOutcome::Cancelled;
    if (!ctx.path.empty() && offerWindowsEncoding(ctx) != -1) {
        QProcess proc;
        proc.setProcessChannelMode(QProcess::ForwardedChannels);
        proc.setInputChannelMode(QProcess::ForwardedInputChannel);
        proc.start(QLatin1String(kMailProgram), mailArguments(ctx.path, ctx.eValue));
        if (!proc.waitForStarted()) {
            ctx.messages->show(kCannotStart, "!!!", MsgIcon::Error);
            outcome = MailOutcome::NotStarted;
        } else if (const int code = runToEnd(proc, ctx.owner); code != 0) {
            ctx.messages->show(QString::fromUtf8(kFailedFormat).arg(code).toStdString(), "!!!",
                               MsgIcon::Error);
            outcome = MailOutcome::Failed;
        } else {
            outcome = MailOutcome::Sent;
        }
    }
    bringToFront(ctx.owner);
    return outcome;
}

}  // namespace folvek
