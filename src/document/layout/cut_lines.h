// What the program says about text that does not reach the paper: the headless tools' warning
// line (English) and the viewer's notes (UTF-8 Russian).
#pragma once

#include <string>

namespace folvek {

class DocumentRecord;

// "WARNING: N lines are wider than the sheet and are cut at its edge (the widest has W
// columns, a sheet holds C); " followed by `fitHint` (how this tool fits them); empty when the
// last pagination cut nothing.
std::string cutLinesWarning(const DocumentRecord& doc, const std::string& fitHint);

// The viewer's key for the fit, as its menu shows it.
inline constexpr const char* kFitWidthKey = "Ctrl+W";

// The status bar: "Строк шире листа: N — Вписать по ширине: Ctrl+W" while lines are cut, the
// fit's size ("Вписано по ширине: 6,5 пт", with ", альбомная" when it turned the sheet) while
// the fit shrinks the font, else empty. The tip explains the short text.
std::string widthStatus(const DocumentRecord& doc);
std::string widthStatusTip(const DocumentRecord& doc);
// What the print and PDF dialogs repeat before a job: empty when nothing is cut.
std::string cutLinesDialogNote(const DocumentRecord& doc);

}  // namespace folvek
