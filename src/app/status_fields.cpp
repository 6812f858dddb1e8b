// Filling the caption and the status-bar fields.
#include "status_fields.h"

#include <QLabel>
#include <QMainWindow>
#include <cstdio>

#include "app_globals.h"
#include "pager.h"
#include "path_field.h"
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

void UpdatePageStatus() {
    QLabel* field = app().pageField;
    pager* p = app().thePager;
    if (!field || !p) return;
    // The format is a fixed entry of the program's own table, with two %d and nothing else.
    char text[36];
    std::snprintf(text, sizeof text, loadString(StrPageOfPages).c_str(),
                  static_cast<int>(p->curPage), static_cast<int>(p->pageCount));
    field->setText(QString::fromUtf8(text));
}

}  // namespace folvek
