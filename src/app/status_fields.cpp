// Filling the caption and the status-bar fields.
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
#include "path_field.h"
#include "report_view.h"
#include "shell_state.h"
#include "string_table.h"

namespace folvek {

void ShowDocumentName() {
    const QString path = QString::fromStdString(shellState().documentPath);
    if (QMainWindow* frame = app().frame)
        frame->setWindowTitle(QString::fromUtf8(kFrameTitle) + QStringLiteral(" - ") + path);
    if (QLabel* field = app().fileNameField) {
        if (auto* pathField = qobject_cast<PathField*>(field))
            pathField->setPath(path);
        else
            field->setText(path);
    }
    UpdatePageStatus();
}

namespace {

// The shown file's rest is still being read.
bool documentLoading() {
    const ReportView* view = app().view;
    return view && view->model() && view->model()->loading();
}

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

void UpdateEncodingStatus() {
    QLabel* field = app().encodingField;
    DocumentRecord* p = app().theRecord;
    if (!field || !p) return;
    if (shellState().documentPath.empty()) {
        field->clear();
        field->setToolTip(QString());
        return;
    }
    QString text = QString::fromLatin1(encodingLabel(p->textEncoding, p->utf16));
    QString tip = p->encodingDetected ? QStringLiteral("Кодировка определена по тексту")
                                      : QStringLiteral("Кодировка задана");
    if (p->unmappableChars > 0) {
        // Said in words: a lone "?" in the field would pass for part of the label.
        text += QStringLiteral(", знаков «?»: %1").arg(p->unmappableChars);
        tip += QStringLiteral(
                   "\nЗнаков, которых нет в кодировке Windows (показаны \"?\"): %1"
                   "\nТекст на другом языке лучше открыть в текстовом редакторе.")
                   .arg(p->unmappableChars);
    }
    field->setText(text);
    field->setToolTip(tip);
}

void UpdateWidthStatus() {
    QLabel* field = app().widthField;
    DocumentRecord* p = app().theRecord;
    if (ReportView* view = app().view; view && p) {
        QAction* fit = view->commandAction(CmFitWidth);
        fit->setCheckable(true);
        fit->setChecked(p->FitWidth != 0);
    }
    if (!field) return;
    if (!p || shellState().documentPath.empty() || documentLoading()) {
        field->clear();
        field->setToolTip(QString());
        return;
    }
    field->setText(QString::fromStdString(widthStatus(*p)));
    field->setToolTip(QString::fromStdString(widthStatusTip(*p)));
}

void UpdatePageStatus() {
    UpdateEncodingStatus();
    UpdateWidthStatus();
    QLabel* field = app().pageField;
    DocumentRecord* p = app().theRecord;
    if (!field || !p) return;
    if (documentLoading()) {
        // The count of a file still being read fills in when it is whole.
        field->setText(QStringLiteral("Стр. %1 из …").arg(p->curPage));
        return;
    }
    // The format is a fixed entry of the program's own table, with two %d and nothing else.
    char text[36];
    std::snprintf(text, sizeof text, loadString(StrPageOfPages).c_str(),
                  static_cast<int>(p->curPage), static_cast<int>(p->pageCount));
    field->setText(QString::fromUtf8(text));
}

}  // namespace folvek
