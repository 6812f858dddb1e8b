// Dialogs built from template tables: each control is placed in dialog units, which become
// pixels through the dialog font's average character size (x × avgWidth / 4, y × height / 8),
// and keeps its numeric identifier as objectName "id<N>" and as the property "dialogId".
#pragma once

#include <QString>
#include <vector>

class QDialog;
class QFont;
class QWidget;

namespace folvek {

enum class ControlKind {
    Text,        // static text, left-aligned, word-wrapped
    CenterText,  // static text, centred
    RightText,   // static text, right-aligned
    Icon,        // the program's icon
    Button,      // push button
    DefButton,   // default push button
    Edit,        // single-line edit
    MultiEdit,   // multi-line plain-text edit
    CheckBox,    // auto check box
    Radio,       // auto radio button
    Group,       // group box (frame with a title)
    ComboList,   // drop-down list (pick only)
    ComboEdit,   // drop-down combo with an edit field
    ListBox,
};

struct DialogControl {
    ControlKind kind;
    int id;            // -1: no identifier
    const char* text;  // UTF-8
    int x, y, w, h;    // dialog units; an icon's size is the system icon size
};

struct DialogTemplate {
    const char* name;     // resource name, e.g. "About"
    const char* caption;  // null: no caption bar
    int w, h;             // dialog units
    const char* fontName;
    int pointSize;
    std::vector<DialogControl> controls;
};

// Dialog units to pixels for a font: the average width of the 52 Latin letters and the height.
struct DialogBaseUnits {
    int avgWidth = 0;
    int height = 0;
    int toX(int du) const { return du * avgWidth / 4; }
    int toY(int du) const { return du * height / 8; }
};
DialogBaseUnits dialogBaseUnits(const QFont& font);
QFont dialogFont(const DialogTemplate& t);

// Gives the dialog the template's font, size, caption and window flags and creates its controls.
void buildDialog(QDialog* dialog, const DialogTemplate& t);

// Widens (and heightens) the dialog units until every control's own text fits in the font it
// is shown in: a template drawn for one font cuts Russian texts in another. buildDialog does it
// once, and again when the dialog first shows with its lists filled.
void fitDialogToTexts(QDialog* dialog);

// The control with that identifier, or null.
QWidget* dialogItem(const QWidget* dialog, int id);
QString dialogObjectName(int id);

}  // namespace folvek
