// Entry routine of the viewer: records the command line, shows the start-up window, looks the
// document up in the history and runs the application.
#include <cstdio>
#include <string>

#include "app_globals.h"
#include "application.h"
#include "command_line.h"
#include "file_replace.h"
#include "history.h"
#include "program_info.h"
#include "shell_state.h"
#include "startup_window.h"
#include "temp_cleanup.h"
#include "temp_names.h"

int main(int argc, char** argv) {
    using namespace folvek;
    // Answered before Qt starts: neither needs a display.
    switch (infoRequested(argc, argv)) {
        case InfoRequest::Help:
            std::fputs(viewerUsage().c_str(), stdout);
            return 0;
        case InfoRequest::Version:
            std::fputs(viewerVersion().c_str(), stdout);
            return 0;
        case InfoRequest::None:
            break;
    }
    // Killed while saving a PDF, the viewer leaves no half-written file beside it.
    temp_cleanup::installHandlers();
    ShellState& shell = shellState();
    shell.documentPath.clear();
    shell.programDir = settingsDirectory();
    std::string error;
    if (!ensureSettingsDirectory(&error))
        std::fprintf(stderr, "folvek: settings directory: %s\n", error.c_str());
    removeLeftoverTemps(shell.programDir);  // what a save cut short by a crash left behind

    FolvekApplication application(argc, argv);
    showStartupWindow();

    parseCommandLine(argc, argv, shell);
    // Refused before any window: an unattended run must end, not wait on a box.
    if (const std::string refusal = commandLineRefusal(shell); !refusal.empty()) {
        std::fprintf(stderr, "folvek: %s\n", refusal.c_str());
        destroyStartupWindow();
        return 2;
    }
    if (!shell.documentPath.empty()) removeLeftoverTemps(directoryOf(shell.documentPath));
    if (!shell.iniGiven && !shell.documentPath.empty()) history::lookup(shell);

    application.initMainWindow();
    const int result = application.exec();
    application.destroyMainWindow();
    destroyStartupWindow();
    return result != 0 ? result : shell.exitStatus;
}
