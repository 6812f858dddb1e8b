// The file menu's "Последние файлы": the last ten documents, newest first, each reopened with
// the settings file it was shown with.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "history.h"

class QMenu;

namespace folvek {

class ReportView;

class RecentMenu : public QObject {
    Q_OBJECT
  public:
    explicit RecentMenu(ReportView& view, QObject* parent = nullptr);

    // Every document the view shows is put first in the list.
    void connectDocument();
    // The submenu holding the entries' actions; its entries follow the list when it opens.
    void attach(QMenu* submenu);
    // Reads the list again and shows it in the actions.
    void refresh();
    // Opens entry `index` as Open does; a file that is gone is said so and leaves the list.
    void open(int index);

    const std::vector<history::Entry>& entries() const { return entries_; }

  private:
    void remember();

    ReportView& view_;
    QObject* connected_ = nullptr;
    QPointer<QMenu> submenu_;
    std::vector<history::Entry> entries_;
};

// The menu text of entry `index`: "&1 /path" .. "1&0 /path", with '&' in the path kept.
QString recentEntryText(int index, const std::string& document);

// CmRecentFile .. CmRecentFile + 9.
void registerRecentCommands(ReportView& view, RecentMenu& menu);

}  // namespace folvek
