// Stand-ins for the commands that later work fills in.
#include "pending_commands.h"

#include <cstdio>

#include "app_globals.h"
#include "message_boxes.h"
#include "font_commands.h"
#include "param_dialog.h"
#include "print_commands.h"
#include "settings_files.h"
#include "ruler_win.h"

namespace folvek {

namespace {

constexpr const char* kNotYet = "Команда пока недоступна";

void notYet(TRulerWin& view) {
    QtMessages box(&view);
    box.show(kNotYet, "FolVk", MsgIcon::Information);
}

}  // namespace

void printWithDialog(TRulerWin& view) {
    QtMessages box(&view);
    PrintContext ctx = printContextFor(view, box);
    printWithDialog(ctx);
}
void printOnCurrentPrinter(TRulerWin& view) {
    QtMessages box(&view);
    PrintContext ctx = printContextFor(view, box);
    printDirect(ctx);
}
void printerSetup(TRulerWin& view) {
    QtMessages box(&view);
    PrintContext ctx = printContextFor(view, box);
    printerSetup(ctx);
}
void sendByMail(TRulerWin& view) { notYet(view); }
void chooseFont(TRulerWin& view) { fontCommand(view); }
void pageParameters(TRulerWin& view) { pageParametersCommand(view); }
void editDocument(TRulerWin& view) { notYet(view); }
void fontLarger(TRulerWin& view) { fontStepCommand(view, +1); }
void fontSmaller(TRulerWin& view) { fontStepCommand(view, -1); }
void loadSettingsFile(TRulerWin& view) { loadSettingsCommand(view); }
void saveSettingsAs(TRulerWin& view) { saveSettingsAsCommand(view); }
void settingsFileChosen(TRulerWin& view, int index) { settingsListChosen(view, index); }


}  // namespace folvek
