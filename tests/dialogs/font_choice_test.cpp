// The font dialog starts on the face actually used, gives back the configured name when nothing
// changed, never a foundry suffix, and offers no effects. The dialog is shown without a modal
// loop; which face stands in for "Courier New" depends on this machine's fonts (Debian's
// fonts-liberation2 gives Liberation Mono), so the test asks fontconfig rather than assuming.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>

#include "font_choice.h"
#include "qt_font_cache.h"

using namespace folvek;

namespace {

FontDialogRequest courierNew() {
    FontDialogRequest r;
    r.font.setFaceName("Courier New");
    r.font.height = -13;  // 10 points at 96 dpi
    r.logPixelsY = 96;
    return r;
}

}  // namespace

TEST(FontChoice, StartsOnTheFaceUsedAndKeepsTheConfiguredNameWhenNothingChanged) {
    const FontDialogRequest r = courierNew();
    const QFont initial = initialDialogFont(r);
    EXPECT_EQ(initial.family(), FontCache::familyFor("Courier New"));
    EXPECT_EQ(initial.pointSize(), 10);
    if (!QFontDatabase::hasFamily(QStringLiteral("Courier New"))) {
        EXPECT_TRUE(QFontDatabase::hasFamily(initial.family())) << initial.family().toStdString();
    }

    // OK without a change: the settings keep "Courier New" and the height exactly.
    const FontDialogResult same = takeBackFont(r, initial, initial);
    EXPECT_STREQ(same.font.faceName, "Courier New");
    EXPECT_EQ(same.font.height, -13);
    EXPECT_EQ(same.font.weight, 400);
    EXPECT_EQ(same.font.italic, 0);

    // Another face and size are taken, without the foundry Qt appends to twin families.
    QFont other(QStringLiteral("DejaVu Sans Mono [PfEd]"));
    other.setPointSize(12);
    other.setBold(true);
    other.setItalic(true);
    const FontDialogResult changed = takeBackFont(r, initial, other);
    EXPECT_STREQ(changed.font.faceName, "DejaVu Sans Mono");
    EXPECT_EQ(changed.font.height, -16);
    EXPECT_EQ(changed.pointSizeTenths, 120);
    EXPECT_EQ(changed.font.weight, 700);
    EXPECT_EQ(changed.font.italic, 1);  // the flag the settings file stores, not any true value
    // The settings' character set stays; the heaviest and lightest weights are kept as such.
    FontDialogRequest cyrillic = courierNew();
    cyrillic.font.charSet = 204;
    other.setWeight(QFont::Black);
    EXPECT_EQ(takeBackFont(cyrillic, initial, other).font.charSet, 204);
    EXPECT_EQ(takeBackFont(cyrillic, initial, other).font.weight, 900);
    other.setWeight(QFont::Thin);
    EXPECT_EQ(takeBackFont(cyrillic, initial, other).font.weight, 100);
    other.setWeight(QFont::Weight(1));  // lighter than any weight a settings file names
    EXPECT_EQ(takeBackFont(cyrillic, initial, other).font.weight, 100);
    other.setWeight(QFont::Weight(1000));
    EXPECT_EQ(takeBackFont(cyrillic, initial, other).font.weight, 900);
}

// A settings font of weight 0 is a normal one in the dialog, not the thinnest; weights past
// the heaviest are the heaviest.
TEST(FontChoice, AWeightOfNoneStartsOnNormal) {
    FontDialogRequest r = courierNew();
    r.font.weight = 0;
    EXPECT_EQ(initialDialogFont(r).weight(), QFont::Normal);
    r.font.weight = 1;
    EXPECT_EQ(initialDialogFont(r).weight(), 1);
    r.font.weight = 700;
    EXPECT_EQ(initialDialogFont(r).weight(), QFont::Bold);
    r.font.weight = 5000;
    EXPECT_EQ(initialDialogFont(r).weight(), 1000);
}

TEST(FontChoice, FoundrySuffixesGo) {
    EXPECT_EQ(withoutFoundry(QStringLiteral("Nimbus Mono PS [urw]")),
              QStringLiteral("Nimbus Mono PS"));
    EXPECT_EQ(withoutFoundry(QStringLiteral("Liberation Mono")), QStringLiteral("Liberation Mono"));
}

TEST(FontChoice, TheDialogOffersNoEffectsAndSelectsTheFaceUsed) {
    const QFont initial = initialDialogFont(courierNew());
    QFontDialog dialog(initial);
    hideFontEffects(dialog);
    dialog.show();
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        EXPECT_FALSE(box->isVisible()) << box->text().toStdString();
    EXPECT_EQ(withoutFoundry(dialog.currentFont().family()), initial.family());
    // The sample shows its text, Cyrillic too, in a box tall enough for a line of it.
    bool sampled = false;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->text().contains(QStringLiteral("Яя"))) {
            sampled = true;
            EXPECT_TRUE(edit->isVisible());
            EXPECT_GE(edit->height(), QFontMetrics(edit->font()).height());
        }
    EXPECT_TRUE(sampled);
    // The regular style, not the family's first one.
    EXPECT_FALSE(dialog.currentFont().italic());
    EXPECT_LT(dialog.currentFont().weight(), QFont::DemiBold);
    const QFont bold = [] {
        FontDialogRequest r = courierNew();
        r.font.weight = 700;
        return initialDialogFont(r);
    }();
    QFontDialog boldDialog(bold);
    EXPECT_TRUE(boldDialog.currentFont().bold());
    EXPECT_FALSE(boldDialog.currentFont().italic());
    dialog.close();
}
