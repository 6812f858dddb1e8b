// The commands the view hands to the printing and dialog code.
#include "command_handlers.h"

#include "font_commands.h"
#include "message_boxes.h"
#include "param_command.h"
#include "print_commands.h"
#include "ruler_win.h"
#include "settings_files.h"
#include "view_document_commands.h"

namespace folvek {

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
void sendByMail(TRulerWin& view) {
    runSendCommand(view);
}
void chooseFont(TRulerWin& view) {
    fontCommand(view);
}
void pageParameters(TRulerWin& view) {
    pageParametersCommand(view);
}
void editDocument(TRulerWin& view) {
    runEditCommand(view);
}
void fontLarger(TRulerWin& view) {
    fontStepCommand(view, +1);
}
void fontSmaller(TRulerWin& view) {
    fontStepCommand(view, -1);
}
void loadSettingsFile(TRulerWin& view) {
    loadSettingsCommand(view);
}
void saveSettingsAs(TRulerWin& view) {
    saveSettingsAsCommand(view);
}
void settingsFileChosen(TRulerWin& view, int index) {
    settingsListChosen(view, index);
}

}  // namespace folvek
