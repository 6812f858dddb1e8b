// Choosing the editor's font.
#include "editor_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <optional>

namespace folvek {

namespace {

// Windows character-set numbers to the script a face must cover; 1 (default) asks for none.
std::optional<QFontDatabase::WritingSystem> scriptOf(std::uint8_t charSet) {
    switch (charSet) {
        case 0:    // ANSI
        case 186:  // Baltic
        case 238:  // Eastern Europe
            return QFontDatabase::Latin;
        case 204:
            return QFontDatabase::Cyrillic;
        case 161:
            return QFontDatabase::Greek;
        case 177:
            return QFontDatabase::Hebrew;
        case 178:
            return QFontDatabase::Arabic;
        case 222:
            return QFontDatabase::Thai;
        default:
            return std::nullopt;
    }
}

// The system's fixed-pitch face when the font database agrees that it is one (some
// monospace faces do not say so), else the first well-known fixed-pitch face installed.
QString fixedPitchFamily(const QStringList& families) {
    QStringList candidates{QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family(),
                           QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QStringLiteral("Noto Mono"), QStringLiteral("Courier New")};
    for (const QString& f : candidates)
        if (families.contains(f, Qt::CaseInsensitive) && QFontDatabase::isFixedPitch(f)) return f;
    for (const QString& f : families)
        if (QFontDatabase::isFixedPitch(f)) return f;
    return {};
}

}  // namespace

QFont editorFont(const std::string& faceName, std::uint8_t charSet, const QFont& base) {
    const QString face = QString::fromStdString(faceName).trimmed();
    const auto script = scriptOf(charSet);
    const QStringList families =
        script ? QFontDatabase::families(*script) : QFontDatabase::families();
    QFont font = base;
    if (!face.isEmpty() && face.compare(QLatin1String("fixedsys"), Qt::CaseInsensitive) != 0 &&
        families.contains(face, Qt::CaseInsensitive)) {
        font.setFamily(face);
    } else if (const QString fixed = fixedPitchFamily(families); !fixed.isEmpty()) {
        font.setFamily(fixed);
    } else {
        font.setFamilies(QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    font.setItalic(false);
    return font;
}

}  // namespace folvek
