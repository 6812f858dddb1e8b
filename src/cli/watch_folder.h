// folvek-print --watch: prints every file that a DOS program (through its emulator's printer
// port) or a person drops in a folder, once the file is complete, then moves it to done/ (or
// deletes it); a file that cannot be printed goes to failed/ with a log beside it. Moving a
// file out of the folder is the only record of what was printed, so a restart never prints a
// file twice and needs no state file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

struct WatchOptions {
    std::string dir;
    std::int64_t settleMs = 1000;      // no change in size or time for this long: complete
    std::int64_t maxWaitMs = 60000;    // printed after this long even while it still grows
    std::string printer;               // the CUPS queue; empty: the default queue
    std::string pdfDir;                // not empty: PDF files here instead of printing
    bool deleteDone = false;           // delete printed files instead of keeping them in done/
    bool force = false;                // print files that are not print jobs too
    std::string program;               // the folvek-print that lays out each job
    std::vector<std::string> jobArgs;  // layout options handed to every job
};

// Watches until SIGTERM or SIGINT (exit status 0) or until the folder disappears (1); 1 also
// when it cannot be watched at all or another watcher holds its lock, 2 when the PDF folder is
// the watched folder itself.
int watchFolder(const WatchOptions& options);

}  // namespace folvek
