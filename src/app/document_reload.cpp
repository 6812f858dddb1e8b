// Reading the shown document again, and noticing when its file changes on disk.
#include "document_reload.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>

#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "document_signals.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {

constexpr int kSettleMs = 300;

}  // namespace

QString changedOnDiskMessage() {
    return QStringLiteral("Файл изменён на диске. Обновить: Ctrl+R");
}

DocumentWatch::DocumentWatch(ReportView& view, QObject* parent) : QObject(parent), view_(view) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DocumentWatch::fileChanged);
    // The folder too: a file moved away and back, or written anew under its name, ends the
    // watch on the file itself, and only the folder tells that it is there again.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DocumentWatch::fileChanged);
    connect(&settle_, &QTimer::timeout, this, &DocumentWatch::settle);
}

void DocumentWatch::connectDocument() {
    DocumentSignals* notifier = view_.documentSignals();
    if (notifier && connected_ != notifier) {
        connected_ = notifier;
        connect(notifier, &DocumentSignals::changed, this, [this](unsigned changes) {
            // The rest of a file read in two parts is the same read: the offer stays as it is.
            if ((changes & kTextChanged) && !(changes & kLoadCompleted)) follow();
        });
    }
    follow();
}

// After every read: the file now shown is the one watched, as it is now.
void DocumentWatch::follow() {
    offered_ = false;
    missingOffered_ = false;
    settle_.stop();
    QStringList old = watcher_.files();
    old += watcher_.directories();
    if (!old.isEmpty()) watcher_.removePaths(old);
    path_ = view_.document() ? view_.document()->path() : std::string();
    readStamp_ = QDateTime();
    readSize_ = -1;
    if (path_.empty()) return;
    const QString file = QString::fromStdString(path_);
    const QFileInfo info(file);
    if (info.exists()) {
        readStamp_ = info.lastModified();
        readSize_ = info.size();
    }
    watcher_.addPath(file);
    const QString folder = info.absolutePath();
    if (QFileInfo(folder).isDir()) watcher_.addPath(folder);
}

void DocumentWatch::fileChanged() {
    settle_.start();
}

void DocumentWatch::settle() {
    if (path_.empty()) return;
    const QString file = QString::fromStdString(path_);
    const QFileInfo info(file);
    // A writer that replaces the file (write a new one, rename it over) ends the watch on the
    // old one: watch the new one.
    if (info.exists() && !watcher_.files().contains(file)) watcher_.addPath(file);
    if (info.exists() && info.lastModified() == readStamp_ && info.size() == readSize_) return;
    // Other files of the folder come and go: a missing file is offered once, not each time.
    if (!info.exists() && offered_ && missingOffered_) return;
    missingOffered_ = !info.exists();
    offered_ = true;
    say(changedOnDiskMessage());
    emit changeNoticed();
}

void DocumentWatch::reload() {
    Document* doc = view_.document();
    if (!doc || !doc->hasPath()) return;
    const std::string path = doc->path();
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile() || !info.isReadable()) {
        // An empty window in place of the report would lose what the user was reading.
        say(QStringLiteral("Не удаётся прочитать файл: ") + info.filePath());
        // The next change to the file is offered again, whether or not it is back yet.
        offered_ = false;
        missingOffered_ = false;
        if (info.exists() && !watcher_.files().contains(info.filePath()))
            watcher_.addPath(info.filePath());
        return;
    }
    const int h = view_.hPos(), v = view_.vPos();
    doc->reload();
    view_.scrollTo(h, v);
    say(QString());
}

void DocumentWatch::say(const QString& text) {
    // The offer stays longer than a passing message: it asks the user to do something.
    if (text.isEmpty())
        ClearStatusMessage(&view_);
    else
        ShowStatusMessage(&view_, text, 3 * kStatusMessageMs);
}

void registerReloadCommand(ReportView& view, DocumentWatch& watch) {
    // Never while a job reads the pages: the lines would be replaced under it.
    view.addCommand(
        CmReload, [&watch] { watch.reload(); },
        [&view] {
            return view.document() && view.document()->hasPath() && !shellState().printing;
        });
}

}  // namespace folvek
