// One job of the watched folder, laid out and printed (or written as PDF) by a folvek-print of
// its own that reads the job on its standard input.
#pragma once

#include <string>

#include "watch_folder.h"

namespace folvek {

struct JobResult {
    bool ok = false;
    bool stopped = false;  // killed by the stop signal: the file stays for the next start
    std::string reason;
    std::string output;  // what the job wrote on standard error
};

// Runs the job for the file `name` whose bytes `input` holds from offset 0. `outDir` is the PDF
// folder's descriptor (with --pdf-dir), `jobNumber` makes the partial PDF's name unique and
// `stopping` says that the watch is being stopped.
JobResult runWatchJob(const WatchOptions& opt, int outDir, int jobNumber, const std::string& name,
                      int input, bool stopping);

// The first line of a job's messages, without the program's name.
std::string firstLine(const std::string& text);

}  // namespace folvek
