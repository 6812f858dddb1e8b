// Handing a web address, a mail address or the shipped help to the desktop's opener
// (xdg-open), and telling the user when the opener cannot be started or reports a failure.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace folvek {

// Receives the complete message text (UTF-8) when opening failed. May run after the call has
// returned: the opener's verdict arrives when it ends.
using DesktopReport = std::function<void(const std::string& text)>;

// Opens `url`. On failure `report` gets `failure` (the first line), the file path or the
// address on the second line, and the reason on the third.
void openWithDesktop(const QUrl& url, const QString& failure, DesktopReport report);

// What the message names: the local path of a file, the address otherwise.
QString desktopTarget(const QUrl& url);

}  // namespace folvek
