// The font commands of the main window: the font dialog and one point larger or smaller. Each
// change is written to the current settings file at once.
#pragma once

namespace folvek {

class ReportView;

// The font dialog over the record's base font.
void fontCommand(ReportView& view);
// One point larger (step +1) or smaller (step -1).
void fontStepCommand(ReportView& view, int step);

void registerFontCommands(ReportView& view);

}  // namespace folvek
