// The built-in editor's font: the face named by the settings (`EditFontName`) for the script
// its character set (`FontCharSet`) names, at the control's default size, not italic.
#pragma once

#include <QFont>
#include <cstdint>
#include <string>

namespace folvek {

// "fixedsys" (the old system's fixed-pitch screen font) and faces that are not installed, or
// that lack the character set's script, become the system's fixed-pitch font.
QFont editorFont(const std::string& faceName, std::uint8_t charSet, const QFont& base);

}  // namespace folvek
