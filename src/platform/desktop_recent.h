// The desktop's list of recently used files (recently-used.xbel, the freedesktop format that
// GTK's and KDE's file dialogs, file managers and the shell's search read): a document the
// viewer opened is added there as well as to the viewer's own list.
#pragma once

#include <string>

namespace folvek {

// $XDG_DATA_HOME/recently-used.xbel, by default ~/.local/share/recently-used.xbel.
std::string desktopRecentListPath();

// Adds (or refreshes) `document`, an absolute path, in the list at `listPath` as opened by
// folvek now. A list that exists but cannot be read is left alone rather than replaced; false
// then, and when the list cannot be written.
bool addToDesktopRecent(const std::string& document,
                        const std::string& listPath = desktopRecentListPath());

}  // namespace folvek
