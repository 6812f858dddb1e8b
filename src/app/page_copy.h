// "Копировать страницу": the text of the page shown onto the clipboard as Unicode, frame
// characters as box drawing.
#pragma once

namespace folvek {

class TRulerWin;

void copyShownPage(TRulerWin& view);
void registerPageCopyCommand(TRulerWin& view);

}  // namespace folvek
