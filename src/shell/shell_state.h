// The process-wide shell state: what the command line asked for, where the settings live,
// and whether a print job is running. One instance per process, filled before the window exists.
#pragma once

#include <optional>
#include <string>

namespace folvek {

enum class DosOverride { None, Windows, Dos };

// The most copies one /m run prints: /m99999999999 is a typing slip, not two billion jobs.
inline constexpr int kMaxBatchCopies = 999;

struct ShellState {
    // The document the command line names (canonical), shown first; empty: none. From then on
    // the shown file is the window's Document's path.
    std::string documentPath;
    std::string programDir;                       // settings directory, ends with '/'
    std::string IniFileName = "FOLVK95.INI";      // bare names live in programDir
    bool iniGiven = false;                        // /i was given: the history is not consulted
    DosOverride dosOverride = DosOverride::None;  // /w, /d
    std::optional<std::string> eValue;            // /e: mail recipient, editor's third argument
    int orientation = -1;                         // /p 0, /l 1, -1 none
    int batchCopies = 0;    // /m: 0 interactive, n >= 1 print n copies, < 0 quit
    bool printing = false;  // a print job runs: the program may not close
    int exitStatus = 0;     // raised by a failure an unattended run reports on stderr
};

// The settings directory: $FOLVEK_HOME, else $XDG_CONFIG_HOME/folvek, else
// $HOME/.config/folvek. Always ends with '/'. Nothing is created.
std::string settingsDirectory();

// Creates the settings directory (and its parents) when missing. Returns false and fills
// `error` (when given) when it cannot be created or is not a directory.
bool ensureSettingsDirectory(std::string* error = nullptr);

// The process's one shell state.
ShellState& shellState();

}  // namespace folvek
