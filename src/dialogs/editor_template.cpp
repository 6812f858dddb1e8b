// The editor's template table, in dialog units.
#include "editor_template.h"

namespace folvek {

const DialogTemplate& editorTemplate() {
    static const DialogTemplate t{
        "EDITOR",
        "Редактирование документа",
        389,
        213,
        "MS Sans Serif",
        8,
        {
            {ControlKind::MultiEdit, kEditorText, "", 4, 4, 380, 177},
            {ControlKind::Button, kEditorOk, "OK", 8, 188, 50, 16},
            {ControlKind::Button, kEditorCancel, "Отмена", 72, 188, 50, 16},
        },
    };
    return t;
}

}  // namespace folvek
