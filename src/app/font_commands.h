// The font commands of the main window: the font dialog (106) and one point larger (11852)
// or smaller (11853). Each change is written to the current settings file at once.
#pragma once

namespace folvek {

class ReportView;

// 106: the font dialog over the record's base font.
void fontCommand(ReportView& view);
// 11852 (step +1) and 11853 (step -1).
void fontStepCommand(ReportView& view, int step);

void registerFontCommands(ReportView& view);

}  // namespace folvek
