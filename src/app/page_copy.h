// "Копировать страницу": the text of the page shown onto the clipboard as Unicode, frame
// characters as box drawing.
#pragma once

namespace folvek {

class ReportView;

void copyShownPage(ReportView& view);
void registerPageCopyCommand(ReportView& view);

}  // namespace folvek
