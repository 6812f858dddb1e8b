// Filling "Последние файлы" from recent.cfg and opening its entries.
#include "recent_menu.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "document_signals.h"
#include "recent_files.h"
#include "report_view.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

QString recentEntryText(int index, const std::string& document) {
    QString number = QString::number(index + 1);
    number.insert(number.size() - 1, QLatin1Char('&'));
    QString path = QString::fromStdString(document);
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return number + QLatin1Char(' ') + path;
}

RecentMenu::RecentMenu(ReportView& view, QObject* parent) : QObject(parent), view_(view) {}

void RecentMenu::connectDocument() {
    DocumentSignals* notifier = view_.documentSignals();
    if (notifier && connected_ != notifier) {
        connected_ = notifier;
        connect(notifier, &DocumentSignals::changed, this, [this](unsigned changes) {
            // The rest of a file read in two parts: it was remembered when its head opened.
            if ((changes & (kTextChanged | kSettingsFileChanged)) && !(changes & kLoadCompleted))
                remember();
        });
    }
    remember();
}

void RecentMenu::remember() {
    const ShellState& shell = shellState();
    const Document* doc = view_.document();
    if (doc && doc->record().opened)
        recent::remember(recent::listPath(shell), doc->path(), shell.IniFileName);
    refresh();
}

void RecentMenu::attach(QMenu* submenu) {
    submenu_ = submenu;
    connect(submenu, &QMenu::aboutToShow, this, &RecentMenu::refresh);
    refresh();
}

void RecentMenu::refresh() {
    entries_ = recent::read(recent::listPath(shellState()));
    for (int i = 0; i < static_cast<int>(recent::kMaxEntries); ++i) {
        QAction* a = view_.commandAction(CmRecentFile + i);
        const bool shown = i < static_cast<int>(entries_.size());
        a->setVisible(shown);
        a->setEnabled(shown);
        if (shown) {
            a->setText(recentEntryText(i, entries_[i].document));
            a->setStatusTip(QString::fromStdString(entries_[i].document));
        }
    }
    if (submenu_) submenu_->menuAction()->setEnabled(!entries_.empty());
}

void RecentMenu::open(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const history::Entry entry = entries_[index];
    if (!QFileInfo(QString::fromStdString(entry.document)).isFile()) {
        recent::forget(recent::listPath(shellState()), entry.document);
        refresh();
        ShowStatusMessage(
            &view_, QStringLiteral("Файл не найден: ") + QString::fromStdString(entry.document));
        return;
    }
    view_.openFile(entry.document, entry.hasTab ? &entry.settings : nullptr);
}

void registerRecentCommands(ReportView& view, RecentMenu& menu) {
    for (int i = 0; i < static_cast<int>(recent::kMaxEntries); ++i)
        view.addCommand(
            CmRecentFile + i, [&menu, i] { menu.open(i); },
            [&menu, i] { return i < static_cast<int>(menu.entries().size()); });
}

}  // namespace folvek
