// Finding and opening the shipped help.
#include "help_viewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>

#include "dialog_hooks.h"

namespace folvek {

QString shippedFile(const QString& relative) {
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList roots{appDir, appDir + QStringLiteral("/../share/folvek")};
#ifdef FOLVEK_RESOURCE_DIR
    roots << QStringLiteral(FOLVEK_RESOURCE_DIR);
#endif
    for (const QString& root : roots) {
        QFileInfo fi(QDir(root).filePath(relative));
        if (fi.isFile()) return fi.canonicalFilePath();
    }
    return {};
}

QString helpPage(int topic) {
    switch (topic) {
        case HelpViewing:
            return QStringLiteral("viewing.html");
        case HelpPages:
            return QStringLiteral("commands.html#view");
        case HelpPrinting:
            return QStringLiteral("printing.html");
        case HelpParameters:
            return QStringLiteral("parameters.html");
        case HelpEditor:
            return QStringLiteral("editor-mail.html#builtin");
        case HelpGoToPage:
            return QStringLiteral("viewing.html#pages");
        case HelpSavePdf:
            return QStringLiteral("viewing.html#save");
        default:
            return QStringLiteral("index.html");
    }
}

QUrl helpUrl(int topic) {
    const QString page = helpPage(topic);
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    // A help directory without the topic's page (an older install) still has its contents.
    QString file = shippedFile(QStringLiteral("help/") + page.left(hash));
    const bool found = !file.isEmpty();
    if (!found) file = shippedFile(QStringLiteral("help/index.html"));
    if (file.isEmpty()) return {};
    QUrl url = QUrl::fromLocalFile(file);
    if (found && hash >= 0) url.setFragment(page.mid(hash + 1));
    return url;
}

void addHelpKey(QWidget& dialog, int topic) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), &dialog);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, &dialog, [topic] {
        if (dialogHooks().openHelp) dialogHooks().openHelp(topic);
    });
}

bool openHelp(int topic, DesktopReport report) {
    const QUrl url = helpUrl(topic);
    if (!url.isValid()) {
        if (report)
            report(std::string(kHelpFailure) + "\nhelp/index.html\n" +
                   "Файл справки не найден ни рядом с программой, ни в share/folvek.");
        return false;
    }
    openWithDesktop(url, QString::fromUtf8(kHelpFailure), std::move(report));
    return true;
}

}  // namespace folvek
