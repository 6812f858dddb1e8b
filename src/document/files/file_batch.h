// Many files saved as one: the CSV files of a table export, one per table, thousands of them.
// Syncing each before the next (what saveFile does) costs the disk a flush per file; here every
// new file is written before any target changes, the file system is flushed once for all of
// them (syncfs), and only then do they take their targets' names, the folder synced once.
// A file for a new target is written without a name (O_TMPFILE) and named with a link, which
// never replaces a file that appeared there meanwhile; one that replaces an old file, or any
// file where unnamed files cannot be made, is written in a hidden folder beside the targets
// and renamed over its target. A failure before the naming (a full disk, a failed sync)
// leaves every old file as it was and removes what was written; a naming that fails puts back
// the files already in place (the old ones are kept as hard links in the hidden folder until
// the end). A killed process leaves only the hidden folder, which the signal clean-up or the
// next start removes; unnamed files vanish with it.
// Targets a rename cannot serve (a device or pipe, a file with several links or another owner,
// targets in different folders, a folder the user may not write) are saved one by one through
// saveFile, each safe on its own as before.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "file_replace.h"

namespace folvek {

struct BatchSaveResult {
    SaveResult result;       // the first failure, or Ok
    std::size_t failed = 0;  // the index of the file that failed
    bool ok() const { return result.ok(); }
};

// Saves `bytesOf(k)` to `paths[k]` for every k. Refusals (a read-only file, a directory...) are
// found before anything is written. For many files `bytesOf` is called from two threads at
// once, each thread asking for its indices in rising order; a failed batch may ask for an index
// again when it falls back to saving one by one.
BatchSaveResult saveFiles(const std::vector<std::string>& paths,
                          const std::function<std::string(std::size_t)>& bytesOf);

}  // namespace folvek
