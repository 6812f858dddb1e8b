// Running the search off the main thread and stepping through its matches.
#include "find_bar.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "codepage.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "document_signals.h"
#include "job_layout.h"
#include "job_search.h"
#include "report_view.h"
#include "status_fields.h"

namespace folvek {

namespace {

// The document holds code page 1251; the field's text is converted to it. A character the code
// page has no place for cannot be in the document, so such a text has no match: nothing, not
// a '?' that would find the document's question marks.
std::optional<std::string> toDocumentBytes(const QString& text) {
    const char16_t* table = ansiToUnicodeTable();
    std::string out;
    out.reserve(text.size());
    for (QChar ch : text) {
        if (ch.unicode() < 0x80) {
            out.push_back(static_cast<char>(ch.unicode()));
            continue;
        }
        int b = 0x80;
        while (b < 256 && table[b] != ch.unicode()) ++b;
        if (b == 256) return std::nullopt;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

}  // namespace

FindBar::FindBar(ReportView* view, QWidget* parent) : QToolBar(parent), view_(view) {
    setObjectName(QStringLiteral("FindBar"));
    setWindowTitle(QStringLiteral("Найти"));
    setMovable(false);
    setFloatable(false);
    addWidget(new QLabel(QStringLiteral("Найти: "), this));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("FindField"));
    field_->setClearButtonEnabled(true);
    field_->setMinimumWidth(240);
    field_->installEventFilter(this);
    addWidget(field_);
    QAction* next = addAction(QStringLiteral("Далее"));
    next->setToolTip(QStringLiteral("Найти далее (Ctrl+G)"));
    connect(next, &QAction::triggered, this, &FindBar::findNext);
    QAction* previous = addAction(QStringLiteral("Назад"));
    previous->setToolTip(QStringLiteral("Найти назад (Shift+Ctrl+G)"));
    connect(previous, &QAction::triggered, this, &FindBar::findPrevious);
    QAction* close = addAction(QStringLiteral("✕"));
    close->setToolTip(QStringLiteral("Закрыть (Esc)"));
    connect(close, &QAction::triggered, this, [this] {
        stop();
        hide();
        view_->setSearchMarks(nullptr);
        view_->setFocus(Qt::OtherFocusReason);
    });
    connect(field_, &QLineEdit::textChanged, this, [this] {
        stop();
        forget();
    });
    hide();
}

FindBar::~FindBar() {
    stop();
}

void FindBar::connectDocument() {
    DocumentSignals* notifier = view_->documentSignals();
    if (!notifier || connected_ == notifier) return;
    connected_ = notifier;
    // The worker reads the lines: it stops before they are replaced, and its matches go.
    connect(
        notifier, &DocumentSignals::aboutToReplaceLines, this,
        [this] {
            stop();
            forget();
        },
        Qt::DirectConnection);
}

void FindBar::activate() {
    connectDocument();
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_) {
        // Esc, Enter and the find keys belong to the field while it has the focus: Esc would
        // otherwise end the program, and the one-letter keys would turn pages.
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                key->key() == Qt::Key_Enter) {
                event->accept();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                if (searching()) {
                    stop();
                    say(QStringLiteral("Поиск прерван"));
                } else {
                    hide();
                    view_->setSearchMarks(nullptr);
                    view_->setFocus(Qt::OtherFocusReason);
                }
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                (key->modifiers() & Qt::ShiftModifier) ? findPrevious() : findNext();
                return true;
            }
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void FindBar::findNext() {
    step(true);
}

void FindBar::findPrevious() {
    step(false);
}

void FindBar::step(bool forward) {
    if (!isVisible()) show();
    if (field_->text().isEmpty()) {
        activate();
        return;
    }
    if (searched_ != field_->text()) {
        start(forward);
        return;
    }
    if (searching()) {
        pendingForward_ = forward;
        return;
    }
    if (matches_.empty()) {
        say(QStringLiteral("Не найдено"));
        return;
    }
    const int n = static_cast<int>(matches_.size());
    if (current_ < 0) {
        showMatchAt(0);
        return;
    }
    // Past the last match the search goes on from the first, and says so.
    const int next = (current_ + (forward ? 1 : n - 1)) % n;
    const bool wrapped = forward ? next <= current_ : next >= current_;
    showMatchAt(next, wrapped ? (forward ? 1 : -1) : 0);
}

void FindBar::start(bool forward) {
    stop();
    forget();
    connectDocument();
    Document* doc = view_->document();
    if (!doc) return;
    searched_ = field_->text();
    pendingForward_ = forward;
    cancel_ = false;
    const quint64 run = ++run_;
    const std::optional<std::string> bytes = toDocumentBytes(searched_);
    auto query = bytes ? std::make_shared<TextQuery>(*bytes) : nullptr;
    const LineStore* lines = &doc->record().lines;
    // A job laid out by itself is searched in the text its pages print.
    std::shared_ptr<const JobLayout> job = doc->record().jobLayout;
    say(QStringLiteral("Поиск..."));
    worker_ = std::thread([this, query, lines, job, run] {
        auto result = std::make_shared<SearchResult>();
        if (query)
            *result =
                job ? searchJob(*job, *query, &cancel_) : searchLines(*lines, *query, &cancel_);
        QMetaObject::invokeMethod(
            this, [this, result, run] { finished(result, run); }, Qt::QueuedConnection);
    });
}

void FindBar::stop() {
    if (!worker_.joinable()) return;
    cancel_ = true;
    worker_.join();
    ++run_;  // an answer already posted belongs to a search nobody waits for
    if (matches_.empty()) searched_.clear();
}

void FindBar::waitForSearch() {
    if (worker_.joinable()) worker_.join();
}

void FindBar::finished(std::shared_ptr<SearchResult> result, quint64 run) {
    if (run != run_) return;
    if (worker_.joinable()) worker_.join();
    matches_ = std::move(result->matches);
    complete_ = result->complete;
    current_ = -1;
    if (matches_.empty()) {
        say(QStringLiteral("Не найдено"));
        view_->setSearchMarks(nullptr);
    } else {
        view_->setSearchMarks(&matches_);
        // The first match on or after the page shown (before it, searching backwards).
        const int here = view_->record() ? view_->record()->curPage : 1;
        int index = pendingForward_ ? 0 : static_cast<int>(matches_.size()) - 1;
        const int n = static_cast<int>(matches_.size());
        if (pendingForward_) {
            for (int i = 0; i < n; ++i)
                if (view_->sheetOf(matches_[i]) >= here) {
                    index = i;
                    break;
                }
        } else {
            for (int i = n - 1; i >= 0; --i)
                if (view_->sheetOf(matches_[i]) <= here) {
                    index = i;
                    break;
                }
        }
        showMatchAt(index);
    }
    emit searchFinished();
}

void FindBar::showMatchAt(int index, int wrapped) {
    current_ = index;
    view_->showMatch(matches_[index]);
    QString text = QStringLiteral("Найдено: %1 из %2").arg(index + 1).arg(matches_.size());
    if (!complete_) text += QStringLiteral(" (поиск остановлен)");
    if (wrapped > 0) text += QStringLiteral(" — поиск продолжен с начала документа");
    if (wrapped < 0) text += QStringLiteral(" — поиск продолжен с конца документа");
    say(text);
}

void FindBar::forget() {
    searched_.clear();
    matches_.clear();
    current_ = -1;
    complete_ = true;
    view_->setSearchMarks(nullptr);
}

void FindBar::say(const QString& text) {
    ShowStatusMessage(this, text);
}

void registerFindCommands(ReportView& view, FindBar& bar) {
    auto shown = [&view] { return view.record() && !view.record()->lines.empty(); };
    view.addCommand(
        CmFind, [&bar] { bar.activate(); }, shown);
    view.addCommand(
        CmFindNext, [&bar] { bar.findNext(); }, shown);
    view.addCommand(
        CmFindPrevious, [&bar] { bar.findPrevious(); }, shown);
}

}  // namespace folvek
