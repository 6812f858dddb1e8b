// The optional external editor: a shared library `edit.so`, looked up next to the program
// first and then by the system's library search, loaded for one edit and freed after it.
// Its entry points have C linkage and return non-zero when the file was changed:
//   int editFile2(void* owner, const char* path, const char* eValue, int isDos);
//   int editFile(void* owner, const char* path, const char* eValue);
// `owner` is the main window's QWidget*; `eValue` is null when /e was not given.
#pragma once

#include <QStringList>

namespace folvek {

struct DocumentCommandContext;

using EditFile2Fn = int (*)(void* owner, const char* path, const char* eValue, int isDos);
using EditFileFn = int (*)(void* owner, const char* path, const char* eValue);

enum class PluginOutcome {
    NotUsed,    // no library, no entry point, or the Windows-encoding offer declined
    Handled,    // an entry point edited the file; `changed` says whether it changed
    Cancelled,  // the Windows-encoding offer was cancelled: the edit stops here
};

struct EditPluginResult {
    PluginOutcome outcome = PluginOutcome::NotUsed;
    int changed = 0;
};

EditPluginResult runEditPlugin(DocumentCommandContext& ctx);

// Where the library is looked for: these directories in order (by default the program's
// directory), then, when `systemSearch` is set, the system's library search.
struct EditPluginSearch {
    QStringList directories;
    bool systemSearch = true;
};
EditPluginSearch& editPluginSearch();

}  // namespace folvek
