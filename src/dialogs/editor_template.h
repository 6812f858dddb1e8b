// The `EDITOR` dialog template: the edit control and the "OK" and "Отмена" buttons.
#pragma once

#include "dialog_template.h"

namespace folvek {

enum EditorControl {
    kEditorText = 101,
    kEditorOk = 1,
    kEditorCancel = 2,
};

const DialogTemplate& editorTemplate();

}  // namespace folvek
