// The parameters command (102): the dialog over the view, then the new layout.
#pragma once

namespace folvek {

class TRulerWin;

// Runs the parameters dialog modally over the view and applies the result.
void pageParametersCommand(TRulerWin& view);

void registerParametersCommand(TRulerWin& view);

}  // namespace folvek
