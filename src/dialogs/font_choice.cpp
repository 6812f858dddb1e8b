// The font dialog's start and result.
#include "font_choice.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "mul_div.h"
#include "qt_font_cache.h"

namespace folvek {

QString withoutFoundry(const QString& family) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
    return QString(family).remove(foundry).trimmed();
}

QFont initialDialogFont(const FontDialogRequest& r) {
    QFont f(withoutFoundry(FontCache::familyFor(r.font.faceName)));
    const std::int32_t points =
        heightToPoints(r.font.height < 0 ? r.font.height : negated(r.font.height), r.logPixelsY);
    if (points > 0) f.setPointSize(points);
    f.setWeight(
        static_cast<QFont::Weight>(r.font.weight <= 0 ? 400 : std::min(r.font.weight, 1000)));
    f.setItalic(r.font.italic != 0);
    // The dialog selects a style by its name; without one that the family has, it starts on the
    // family's first style (for Liberation Mono "Bold Italic").
    const QString family = f.family();
    const int wanted = f.weight();
    QString best;
    int bestDistance = INT_MAX;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::italic(family, style) != f.italic()) continue;
        const int distance = std::abs(QFontDatabase::weight(family, style) - wanted);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = style;
        }
    }
    if (!best.isEmpty()) f.setStyleName(best);
    return f;
}

namespace {

int tenthsOfPoint(const QFont& f, int logPixelsY) {
    return f.pointSizeF() > 0 ? static_cast<int>(std::lround(f.pointSizeF() * 10))
                              : static_cast<int>(std::lround(f.pixelSize() * 720.0 / logPixelsY));
}

}  // namespace

FontDialogResult takeBackFont(const FontDialogRequest& r, const QFont& initial,
                              const QFont& chosen) {
    FontDialogResult out;
    out.font = r.font;
    const QString family = withoutFoundry(chosen.family());
    if (family != withoutFoundry(initial.family()))
        out.font.setFaceName(family.toUtf8().constData());
    out.pointSizeTenths = tenthsOfPoint(chosen, r.logPixelsY);
    if (out.pointSizeTenths != tenthsOfPoint(initial, r.logPixelsY))
        out.font.height = negated(MulDiv(out.pointSizeTenths, r.logPixelsY, 720));
    out.font.weight = std::clamp(static_cast<int>(chosen.weight()), 100, 900);
    out.font.italic = chosen.italic() ? 1 : 0;
    // Qt fonts carry no character set; the one handed in stays.
    return out;
}

void hideFontEffects(QFontDialog& dialog) {
    // The effects are the group of check boxes; the dialog names none of its parts.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        if (!group->findChildren<QCheckBox*>().isEmpty()) {
            for (QCheckBox* box : group->findChildren<QCheckBox*>()) box->setChecked(false);
            group->hide();
        }
    // The sample is a line edit that takes only the room left over: with the effects gone it
    // is left too low for any text to show. It gets room for a large size, and Cyrillic beside
    // the Latin letters, which is what a report's font must have.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->isHidden()) continue;
        auto* sample = group->findChild<QLineEdit*>();
        if (!sample) continue;
        const int line = QFontMetrics(dialog.font()).height();
        group->setMinimumHeight(4 * line);
        sample->setMinimumHeight(3 * line);
        sample->setText(QStringLiteral("АаБбВвЯя AaBbYyZz 0123"));
    }
}

}  // namespace folvek
