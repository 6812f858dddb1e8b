// The font commands of the main window: the font dialog (106) and one point larger (11852)
// or smaller (11853). Each change is written to the current settings file at once.
#pragma once

namespace folvek {

class TRulerWin;

// 106: the font dialog over the pager's base font.
void fontCommand(TRulerWin& view);
// 11852 (step +1) and 11853 (step -1).
void fontStepCommand(TRulerWin& view, int step);

void registerFontCommands(TRulerWin& view);

}  // namespace folvek
