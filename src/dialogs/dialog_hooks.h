// What the settings dialogs ask of the desktop, replaceable so that tests answer instead of a
// person: the file and font dialogs, running a modal dialog, the help, message boxes and the
// screen's vertical resolution.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "file_dialogs.h"
#include "log_font.h"

class QDialog;
class QWidget;

namespace folvek {

class MessageSink;

enum class FileDialogKind { Open, Save };

// An empty path with error 0 is a cancel; a nonzero error is a failure of the dialog itself.
struct FileDialogAnswer {
    QString path;
    long error = 0;
};

struct FontDialogRequest {
    QWidget* owner = nullptr;
    LogFont font;         // the initial font; its height is for the screen
    int logPixelsY = 96;  // the screen's vertical resolution
};
struct FontDialogResult {
    LogFont font;  // the request's font with face, height, weight, italic, character set chosen
    int pointSizeTenths = 0;  // the chosen size in tenths of a point
};

struct DialogHooks {
    std::function<FileDialogAnswer(FileDialogKind, const FileDialogRequest&)> fileDialog;
    std::function<std::optional<FontDialogResult>(const FontDialogRequest&)> fontDialog;
    std::function<int(QDialog&)> runModal;  // returns the dialog's result
    std::function<void(int topic)> openHelp;
    MessageSink* messages = nullptr;  // null: a message box over the owner
    int logPixelsY = 0;               // 0: the screen's
};

// The process's hooks; resetDialogHooks() restores the desktop's own.
DialogHooks& dialogHooks();
void resetDialogHooks();

// LOGPIXELSY of the screen the widget is on (or the primary screen), unless a test set one.
int screenLogPixelsY(const QWidget* widget);

// The common-dialog failure box: "GetOpenFileName returned Error #<code>" (or GetSaveFileName),
// caption "WARNING", error icon.
void reportFileDialogError(QWidget* owner, FileDialogKind kind, long code);

// Runs the file dialog; returns the chosen path, or empty after a cancel or a reported failure.
QString askFileName(FileDialogKind kind, const FileDialogRequest& request);

// The filters of the settings-file dialogs (StrSettingsFilter): settings files, then all files.
QStringList settingsFileFilters();

}  // namespace folvek
