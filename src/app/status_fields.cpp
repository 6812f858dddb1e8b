// Filling the caption and the status-bar fields from the shown document.
#include "status_fields.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>

#include "app_globals.h"
#include "command_ids.h"
#include "cut_lines.h"
#include "document.h"
#include "document_record.h"
#include "document_signals.h"
#include "path_field.h"
#include "report_view.h"
#include "string_table.h"

namespace folvek {

StatusFields::StatusFields(ReportView& view, const Fields& fields, QObject* parent)
    : QObject(parent),
      view_(view),
      frame_(fields.frame),
      fileName_(fields.fileName),
      page_(fields.page),
      encoding_(fields.encoding),
      width_(fields.width) {}

void StatusFields::connectDocument() {
    DocumentSignals* notifier = view_.documentSignals();
    if (notifier && connected_ != notifier) {
        connected_ = notifier;
        connect(notifier, &DocumentSignals::changed, this, &StatusFields::documentChanged);
    }
    const Document* doc = view_.document();
    showName(doc);
    showPage(doc);
}

void StatusFields::documentChanged(unsigned changes) {
    const Document* doc = view_.document();
    if (changes & kPathChanged) showName(doc);
    if (changes & (kTextChanged | kLayoutChanged | kPageChanged)) {
        // Another page or another document: a message about the one left is stale. The rest
        // of the shown file read at last is neither: a message (the file-changed offer) stays.
        if (!(changes & kLoadCompleted)) ClearStatusMessage(&view_);
        showPage(doc);
    }
}

void StatusFields::showName(const Document* doc) {
    const QString path = doc ? QString::fromStdString(doc->path()) : QString();
    if (frame_)
        frame_->setWindowTitle(QString::fromUtf8(kFrameTitle) + QStringLiteral(" - ") + path);
    if (fileName_) fileName_->setPath(path);
}

void StatusFields::showEncoding(const Document* doc) {
    if (!encoding_) return;
    if (!doc || !doc->hasPath()) {
        encoding_->clear();
        encoding_->setToolTip(QString());
        return;
    }
    const ShownEncoding shown = doc->encoding();
    QString text = QString::fromLatin1(encodingLabel(shown.encoding, shown.utf16));
    QString tip = shown.detected ? QStringLiteral("Кодировка определена по тексту")
                                 : QStringLiteral("Кодировка задана");
    if (shown.unmappable > 0) {
        // Said in words: a lone "?" in the field would pass for part of the label.
        text += QStringLiteral(", знаков «?»: %1").arg(shown.unmappable);
        tip += QStringLiteral(
                   "\nЗнаков, которых нет в кодировке Windows (показаны \"?\"): %1"
                   "\nТекст на другом языке лучше открыть в текстовом редакторе.")
                   .arg(shown.unmappable);
    }
    encoding_->setText(text);
    encoding_->setToolTip(tip);
}

void StatusFields::showWidth(const Document* doc) {
    if (doc) {
        QAction* fit = view_.commandAction(CmFitWidth);
        fit->setCheckable(true);
        fit->setChecked(doc->record().FitWidth != 0);
    }
    if (!width_) return;
    // A file still being read: its widest line is not known yet.
    if (!doc || !doc->hasPath() || doc->loading()) {
        width_->clear();
        width_->setToolTip(QString());
        return;
    }
    width_->setText(QString::fromStdString(widthStatus(doc->record())));
    width_->setToolTip(QString::fromStdString(widthStatusTip(doc->record())));
}

void StatusFields::showPage(const Document* doc) {
    showEncoding(doc);
    showWidth(doc);
    if (!page_ || !doc) return;
    const DocumentRecord& p = doc->record();
    if (doc->loading()) {
        // The count of a file still being read fills in when it is whole.
        page_->setText(QStringLiteral("Стр. %1 из …").arg(p.curPage));
        return;
    }
    // The format is a fixed entry of the program's own table, with two %d and nothing else.
    char text[36];
    std::snprintf(text, sizeof text, loadString(StrPageOfPages).c_str(),
                  static_cast<int>(p.curPage), static_cast<int>(p.pageCount));
    page_->setText(QString::fromUtf8(text));
}

namespace {

QStatusBar* statusBarOf(QWidget* from) {
    QMainWindow* frame = from ? qobject_cast<QMainWindow*>(from->window()) : nullptr;
    if (!frame) frame = app().frame;
    return frame ? frame->statusBar() : nullptr;
}

}  // namespace

void ShowStatusMessage(QWidget* from, const QString& text, int ms) {
    if (QStatusBar* bar = statusBarOf(from)) bar->showMessage(text, ms);
}

void ClearStatusMessage(QWidget* from) {
    if (QStatusBar* bar = statusBarOf(from)) bar->clearMessage();
}

}  // namespace folvek
