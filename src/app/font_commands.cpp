// Choosing the base font and stepping its size by whole points.
#include "font_commands.h"

#include "command_ids.h"
#include "dialog_hooks.h"
#include "document.h"
#include "document_record.h"
#include "mul_div.h"
#include "report_view.h"

namespace folvek {

void fontCommand(ReportView& view) {
    if (DocumentRecord* p = view.record()) {
        FontDialogRequest request;
        request.owner = &view;
        request.font = p->logFont;
        request.logPixelsY = screenLogPixelsY(&view);
        if (auto chosen = dialogHooks().fontDialog(request)) {
            // Only these five come back; pitch and the fixed fields stay the settings' own.
            LogFont& lf = p->logFont;
            lf.setFaceName(chosen->font.faceName);
            lf.height = chosen->font.height;
            lf.italic = chosen->font.italic;
            lf.weight = chosen->font.weight;
            lf.charSet = chosen->font.charSet;
            view.document()->fontChanged();
        }
    }
}

void fontStepCommand(ReportView& view, int step) {
    if (DocumentRecord* p = view.record()) {
        const int dpi = screenLogPixelsY(&view);
        const std::int64_t next =
            static_cast<std::int64_t>(heightToPoints(p->logFont.height, dpi)) + step;
        // Neither a size of 0 points nor one beyond the 32-bit range is a font.
        if (next > 0 && next <= INT32_MAX) {
            p->logFont.height = pointsToHeight(static_cast<std::int32_t>(next), dpi);
            view.document()->fontChanged();
        }
    }
}

void registerFontCommands(ReportView& view) {
    view.addCommand(CmFont, [&view] { fontCommand(view); });
    view.addCommand(CmFontLarger, [&view] { fontStepCommand(view, +1); });
    view.addCommand(CmFontSmaller, [&view] { fontStepCommand(view, -1); });
}

}  // namespace folvek
