// The view's commands that live in the printing and dialog code, one entry point each, so the
// command table does not depend on how each is built.
#pragma once

namespace folvek {

class TRulerWin;

void printWithDialog(TRulerWin& view);                // 107
void printOnCurrentPrinter(TRulerWin& view);          // 233
void printerSetup(TRulerWin& view);                   // 11842
void sendByMail(TRulerWin& view);                     // 11845
void chooseFont(TRulerWin& view);                     // 106
void pageParameters(TRulerWin& view);                 // 102
void editDocument(TRulerWin& view);                   // 11844
void fontLarger(TRulerWin& view);                     // 11852
void fontSmaller(TRulerWin& view);                    // 11853
void loadSettingsFile(TRulerWin& view);               // 11849
void saveSettingsAs(TRulerWin& view);                 // 11851
void settingsFileChosen(TRulerWin& view, int index);  // combo box 5555, selection changed

}  // namespace folvek
