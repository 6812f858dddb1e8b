// The parameters command: the dialog over the view, then the new layout.
#pragma once

namespace folvek {

class ReportView;

// Runs the parameters dialog modally over the view and applies the result.
void pageParametersCommand(ReportView& view);

void registerParametersCommand(ReportView& view);

}  // namespace folvek
