// The shipped HTML help, opened in the desktop's browser at its contents or at a topic.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include "desktop_open.h"

namespace folvek {

// A file shipped with the program (help, sample pictures): next to the executable, in the
// install's share/folvek, or in the source tree's resources when run from a build directory.
// Empty when it is nowhere.
QString shippedFile(const QString& relative);

// The help's topics: the contents and the pages the dialogs' help opens.
enum HelpTopic : int {
    HelpContents = 0,
    HelpViewing = 1,
    HelpPages = 2,
    HelpPrinting = 3,
    HelpParameters = 4,
    HelpEditor = 5,
    HelpGoToPage = 6,
    HelpSavePdf = 7,
};

// The page (with its anchor) of a topic, relative to the help directory; index.html for an
// unknown one.
QString helpPage(int topic);
// The page of the topic in the shipped help; empty when the help is not found.
QUrl helpUrl(int topic);
// Opens it with the desktop's opener. A missing help file, or an opener that fails, is told
// to `report` with the path and the reason. False when the help file is missing.
bool openHelp(int topic = 0, DesktopReport report = {});

// F1 anywhere in `dialog` opens the topic's page (through the dialog hooks).
void addHelpKey(QWidget& dialog, int topic);

// The first line of the message when the help cannot be shown.
inline constexpr const char* kHelpFailure = "Не удалось открыть справку.";

}  // namespace folvek
