// "Обновить" (Ctrl+R) and the watch on the shown document's file. A report that another program
// is still writing changes under the viewer: the change is offered in the status bar with the
// reload key and never applied unasked.
#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

namespace folvek {

class ReportView;

class DocumentWatch : public QObject {
    Q_OBJECT
  public:
    explicit DocumentWatch(ReportView& view, QObject* parent = nullptr);

    // Starts listening to the view's document (once it has one) and watches its file.
    void connectDocument();
    // Reads the document again from its file, keeping the page and the scroll position. A file
    // that cannot be read is reported and the shown text stays.
    void reload();
    // The file changed on disk since it was read, and the user was told.
    bool changeOffered() const { return offered_; }

  signals:
    void changeNoticed();

  private:
    void follow();
    void fileChanged();
    void settle();
    void say(const QString& text);

    ReportView& view_;
    QObject* connected_ = nullptr;
    QFileSystemWatcher watcher_;
    QTimer settle_;  // a writer changes the file many times in a row: look once it is quiet
    std::string path_;
    QDateTime readStamp_;  // the file as it was read: time and size
    qint64 readSize_ = -1;
    bool offered_ = false;
    bool missingOffered_ = false;  // the offer was made for a file that had gone
};

// The text of the offer: "Файл изменён на диске. Обновить: Ctrl+R".
QString changedOnDiskMessage();

void registerReloadCommand(ReportView& view, DocumentWatch& watch);

}  // namespace folvek
