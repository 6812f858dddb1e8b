// Running a helper program (xdg-email, lp) with arguments passed byte for byte: a file name
// that is not valid UTF-8 (a CP1251 name copied from a Windows disk) reaches the program as it
// is on disk, where a QString argument would have turned it into U+FFFD.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace folvek {

struct ProgramRun {
    bool started = false;   // false: not found or not executable
    int exitCode = -1;      // -1 when it died from a signal or was stopped for taking too long
    int signal = 0;         // the signal it died of, 0 when it exited
    bool timedOut = false;  // stopped (SIGKILL) for taking too long
};

// Where the program's standard streams go: -1 leaves the caller's own.
struct ProgramStreams {
    int input = -1, output = -1, errors = -1;
};

// Runs argv[0] (looked up on PATH) and waits for it. `whileWaiting`, when given, is called
// every few milliseconds (to keep a window painted); timeoutMs < 0 waits without end.
ProgramRun runProgram(const std::vector<std::string>& argv,
                      const std::function<void()>& whileWaiting = {}, int timeoutMs = -1,
                      const ProgramStreams& streams = {});

}  // namespace folvek
