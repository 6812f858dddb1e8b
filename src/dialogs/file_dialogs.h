// What a file dialog is asked for, and the standard open and save dialogs; tests answer them
// through the dialog hooks.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QWidget;

namespace folvek {

// A NUL-separated list of description/pattern pairs (StrTextFileFilter, StrSettingsFilter) as Qt
// name filters.
QStringList nameFiltersFromPairs(const std::string& pairs);

struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString startPath;    // the file-name field starts with it
    QStringList filters;  // the first one is preselected
    QString defaultSuffix;
};

// The standard dialog; returns the chosen path, or an empty text when the user cancelled.
QString runOpenFileDialog(const FileDialogRequest& request);
QString runSaveFileDialog(const FileDialogRequest& request);

}  // namespace folvek
