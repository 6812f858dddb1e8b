// The shipped HTML help, opened in the desktop's browser at its contents or at a topic.
#pragma once

#include <QString>
#include <QUrl>

namespace folvek {

// A file shipped with the program (help, sample pictures): next to the executable, in the
// install's share/folvek, or in the source tree's resources when run from a build directory.
// Empty when it is nowhere.
QString shippedFile(const QString& relative);

// index.html, or index.html#topicN for topic N > 0.
QUrl helpUrl(int topic);
// Opens it; false when the help is missing or no browser could be started.
bool openHelp(int topic = 0);

}  // namespace folvek
