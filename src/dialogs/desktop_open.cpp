// Running xdg-open without waiting for it.
#include "desktop_open.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace folvek {

namespace {

void tell(const DesktopReport& report, const QString& failure, const QUrl& url,
          const QString& reason) {
    if (report)
        report((failure + QLatin1Char('\n') + desktopTarget(url) + QLatin1Char('\n') + reason)
                   .toStdString());
}

}  // namespace

QString desktopTarget(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

void openWithDesktop(const QUrl& url, const QString& failure, DesktopReport report) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        // Qt has other ways on some desktops (a portal, a known browser); it says only whether
        // one of them started.
        if (!QDesktopServices::openUrl(url))
            tell(report, failure, url,
                 QStringLiteral("Не найдена программа xdg-open (xdg-utils)."));
        return;
    }
    // xdg-open may wait for the browser it started, so it is never waited for here.
    auto* proc = new QProcess(QCoreApplication::instance());
    proc->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(proc, &QProcess::errorOccurred, proc,
                     [proc, url, failure, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         tell(report, failure, url,
                              QStringLiteral("xdg-open не запускается: ") + proc->errorString());
                         proc->deleteLater();
                     });
    QObject::connect(proc, &QProcess::finished, proc,
                     [proc, url, failure, report](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit)
                             tell(report, failure, url, QStringLiteral("xdg-open прерван."));
                         else if (code != 0)
                             tell(report, failure, url,
                                  QStringLiteral("xdg-open завершился с кодом %1.").arg(code));
                         proc->deleteLater();
                     });
    // An opener still running when the program ends is left to finish on its own.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, proc, [proc] {
        proc->disconnect();
        proc->setParent(nullptr);
    });
    // A local file with an anchor goes as an address: a plain path would lose the place in the
    // page the help was asked for.
    const bool plainPath = url.isLocalFile() && !url.hasFragment();
    proc->start(opener, {plainPath ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
}

}  // namespace folvek
