// "Копировать" and "Копировать страницу": the text of the cells selected on the page, or of the
// whole page shown, onto the clipboard as Unicode, frame characters as box drawing.
#pragma once

namespace folvek {

class ReportView;

void copyShownPage(ReportView& view);
void copySelection(ReportView& view);
void registerPageCopyCommand(ReportView& view);

}  // namespace folvek
