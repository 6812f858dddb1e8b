// The shipped HTML help, opened in the desktop's browser at its contents or at a topic.
#pragma once

#include <QString>
#include <QUrl>

#include "desktop_open.h"

namespace folvek {

// A file shipped with the program (help, sample pictures): next to the executable, in the
// install's share/folvek, or in the source tree's resources when run from a build directory.
// Empty when it is nowhere.
QString shippedFile(const QString& relative);

// index.html, or index.html#topicN for topic N > 0.
QUrl helpUrl(int topic);
// Opens it with the desktop's opener. A missing help file, or an opener that fails, is told
// to `report` with the path and the reason. False when the help file is missing.
bool openHelp(int topic = 0, DesktopReport report = {});

// The first line of the message when the help cannot be shown.
inline constexpr const char* kHelpFailure = "Не удалось открыть справку.";

}  // namespace folvek
