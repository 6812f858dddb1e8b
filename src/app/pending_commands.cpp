// Stand-ins for the commands that later work fills in.
#include "pending_commands.h"

#include <cstdio>

#include "app_globals.h"
#include "message_boxes.h"
#include "ruler_win.h"

namespace folvek {

namespace {

constexpr const char* kNotYet = "Команда пока недоступна";

void notYet(TRulerWin& view) {
    QtMessages box(&view);
    box.show(kNotYet, "FolVk", MsgIcon::Information);
}

}  // namespace

void printWithDialog(TRulerWin& view) { notYet(view); }
void printOnCurrentPrinter(TRulerWin& view) { notYet(view); }
void printerSetup(TRulerWin& view) { notYet(view); }
void sendByMail(TRulerWin& view) { notYet(view); }
void chooseFont(TRulerWin& view) { notYet(view); }
void pageParameters(TRulerWin& view) { notYet(view); }
void editDocument(TRulerWin& view) { notYet(view); }
void fontLarger(TRulerWin& view) { notYet(view); }
void fontSmaller(TRulerWin& view) { notYet(view); }
void loadSettingsFile(TRulerWin& view) { notYet(view); }
void saveSettingsAs(TRulerWin& view) { notYet(view); }
void settingsFileChosen(TRulerWin& view, int) { notYet(view); }

bool printBatchCopy(TRulerWin&) {
    // Unattended: no box that would wait for someone.
    std::fprintf(stderr, "FolVk: %s\n", kNotYet);
    return true;
}

}  // namespace folvek
