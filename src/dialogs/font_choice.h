// What the font dialog starts on and what it gives back: it starts on the face the report is
// actually drawn with (a configured "Courier New" is drawn with Liberation Mono), a choice left
// unchanged keeps the configured name, a family never carries Qt's foundry suffix ("[urw]"),
// and the dialog offers no effects.
#pragma once

#include <QFont>
#include <QString>

#include "dialog_hooks.h"

class QFontDialog;

namespace folvek {

// "Liberation Mono [urw]" → "Liberation Mono".
QString withoutFoundry(const QString& family);

// The font the dialog starts on: the family the renderer uses for the face, with the
// request's size, weight and slant.
QFont initialDialogFont(const FontDialogRequest& request);

// The request's font with what the user chose: face, height, weight, italic. A family and size
// equal to the initial ones keep the configured face and height as they were.
FontDialogResult takeBackFont(const FontDialogRequest& request, const QFont& initial,
                              const QFont& chosen);

// Removes the dialog's effects (strike-out, underline): the report has no use for them.
void hideFontEffects(QFontDialog& dialog);

}  // namespace folvek
