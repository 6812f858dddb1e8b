// The find bar under the tool bar: a text field, next and previous, and the count of matches.
// The whole document is searched on a worker thread; the window stays live and Esc stops it.
// Matches are marked on the page in the preview only.
#pragma once

#include <QToolBar>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "text_search.h"

class QLabel;
class QLineEdit;

namespace folvek {

class ReportView;

class FindBar : public QToolBar {
    Q_OBJECT
  public:
    explicit FindBar(ReportView* view, QWidget* parent = nullptr);
    ~FindBar() override;

    // "Найти...": shows the bar and puts the cursor in its field.
    void activate();
    // "Найти далее" / "Найти назад": the next match after (before) the one shown, from the page
    // shown; the first call for a new text searches the document first.
    void findNext();
    void findPrevious();

    QLineEdit* field() const { return field_; }
    bool searching() const { return worker_.joinable(); }
    const std::vector<TextMatch>& matches() const { return matches_; }
    int currentMatch() const { return current_; }
    // Waits for a running search to end (tests, and before the lines change).
    void waitForSearch();

  signals:
    void searchFinished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectDocument();
    void start(bool forward);
    void stop();
    void finished(std::shared_ptr<SearchResult> result, quint64 run);
    void step(bool forward);
    // `wrapped`: 1 when the step went past the last match to the first, -1 the other way.
    void showMatchAt(int index, int wrapped = 0);
    void forget();
    void say(const QString& text);

    ReportView* view_;
    QObject* connected_ = nullptr;  // the document signals listened to
    QLineEdit* field_ = nullptr;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    quint64 run_ = 0;             // the search whose answer is awaited
    bool pendingForward_ = true;  // the direction asked for while it runs
    QString searched_;            // the text the matches belong to; empty: none
    std::vector<TextMatch> matches_;
    bool complete_ = true;
    int current_ = -1;
};

// "Найти..." (Ctrl+F), "Найти далее" (Ctrl+G), "Найти назад" (Shift+Ctrl+G).
void registerFindCommands(ReportView& view, FindBar& bar);

}  // namespace folvek
