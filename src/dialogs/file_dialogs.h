// The open and save file dialogs of the view, replaceable so that tests can answer them.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QWidget;

namespace folvek {

// A NUL-separated list of description/pattern pairs (strings 1016, 1025) as Qt name filters.
QStringList nameFiltersFromPairs(const std::string& pairs);

struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString startPath;    // the file-name field starts with it
    QStringList filters;  // the first one is preselected
    QString defaultSuffix;
};

// Each returns the chosen path, or an empty text when the user cancelled.
struct FileDialogs {
    std::function<QString(const FileDialogRequest&)> open;
    std::function<QString(const FileDialogRequest&)> save;
};
FileDialogs& fileDialogs();

}  // namespace folvek
