// The font dialog and the one-point steps: the MulDiv arithmetic, the stop at 0 points, and
// the settings file written at once.
#include "font_commands.h"
#include "app_globals.h"
#include "dialog_numbers.h"
#include "document_record.h"
#include "mul_div.h"
#include "report_view.h"
#include "settings_ui_fixture.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::SettingsUiTest;

TEST(MulDivTest, RoundsToNearestAndFailsLikeWindows) {
    EXPECT_EQ(MulDiv(11, 96, 72), 15);
    EXPECT_EQ(MulDiv(-13, 72, 96), -10);
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(5, 1, 0), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
    EXPECT_EQ(pointsToHeight(9, 96), -12);
    EXPECT_EQ(heightToPoints(INT32_MIN, 72), INT32_MAX);
}

TEST(DialogNumbersTest, LeadingNumbersOfTypedText) {
    EXPECT_EQ(leadingInt("  -42abc"), -42);
    EXPECT_EQ(leadingInt("+7"), 7);
    EXPECT_EQ(leadingInt("x1"), 0);
    EXPECT_EQ(leadingInt("99999999999"), INT32_MAX);
    EXPECT_EQ(leadingInt(QString(49, ' ') + "12"), 1);  // only 50 characters are read
    EXPECT_DOUBLE_EQ(leadingReal(" 12,5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingReal("-.5mm"), -0.5);
    EXPECT_DOUBLE_EQ(leadingReal("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(leadingReal("1e999"), 0.0);
    EXPECT_DOUBLE_EQ(leadingReal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(leadingReal("1,2,3"), 1.2);
    EXPECT_DOUBLE_EQ(leadingReal("+3,25"), 3.25);
    EXPECT_DOUBLE_EQ(leadingReal("9,75"), 9.75);  // the comma after a 9 and after a 0
    EXPECT_DOUBLE_EQ(leadingReal("10,5"), 10.5);
    EXPECT_DOUBLE_EQ(leadingReal("7"), 7.0);
    EXPECT_DOUBLE_EQ(leadingReal(QString(49, ' ') + "12"), 1.0);  // 50 characters here too
    // Nothing that starts a number: a sign alone, a point alone, a letter, a Cyrillic letter.
    for (const char* text : {"", "  ", "-", ".", "e5", "x1", "+-1"})
        EXPECT_DOUBLE_EQ(leadingReal(text), 0.0) << text;
    EXPECT_DOUBLE_EQ(leadingReal(QString::fromUtf8("Ж5")), 0.0);
    EXPECT_DOUBLE_EQ(leadingReal(QString::fromUtf8("5Ж")), 5.0);
    EXPECT_EQ(utf8Cut(QString::fromUtf8("Шрифт"), 5), "\xD0\xA8\xD1\x80");  // no half letter
    EXPECT_EQ(utf8Cut(QString::fromUtf8("Шрифт"), 4), "\xD0\xA8\xD1\x80");
    EXPECT_EQ(utf8Cut(QString::fromUtf8("Шрифт"), 10), "Шрифт");
    EXPECT_EQ(utf8Cut(QString::fromUtf8("Шрифт"), 1), "");
    EXPECT_EQ(utf8Cut(QStringLiteral("abc"), 2), "ab");
}

TEST_F(SettingsUiTest, StepsMoveOnePointAt96Dpi) {
    start();
    const std::string ini = dirPath() + "FOLVK95.INI";
    fontStepCommand(view(), +1);
    EXPECT_EQ(doc().logFont.height, -15);
    EXPECT_EQ(iniValue(ini, "FontSize"), "-15");

    doc().logFont.height = -13;
    fontStepCommand(view(), -1);
    EXPECT_EQ(doc().logFont.height, -12);
    EXPECT_EQ(iniValue(ini, "FontSize"), "-12");
}

TEST_F(SettingsUiTest, StepsStopAtOnePointAndIgnoreCellHeights) {
    start();
    const std::string ini = dirPath() + "FOLVK95.INI";
    doc().logFont.height = -1;  // 0.75 points, shown as 1
    const auto generation = doc().layoutGeneration;
    fontStepCommand(view(), -1);
    EXPECT_EQ(doc().logFont.height, -1);
    EXPECT_FALSE(exists(ini));
    EXPECT_EQ(doc().layoutGeneration, generation);

    doc().logFont.height = 13;  // a cell height gives a negative point size
    fontStepCommand(view(), +1);
    fontStepCommand(view(), -1);
    EXPECT_EQ(doc().logFont.height, 13);
    EXPECT_FALSE(exists(ini));
}

TEST_F(SettingsUiTest, FontDialogTakesFiveValuesAndKeepsPitch) {
    start();
    doc().logFont.pitchAndFamily = 49;
    std::optional<FontDialogRequest> asked;
    dialogHooks().fontDialog = [&](const FontDialogRequest& r) {
        asked = r;
        FontDialogResult out{r.font, 140};
        out.font.setFaceName("Liberation Serif");
        out.font.height = -19;
        out.font.weight = 700;
        out.font.italic = 1;
        out.font.charSet = 204;
        out.font.pitchAndFamily = 2;
        out.font.underline = 1;
        return std::optional<FontDialogResult>(out);
    };
    fontCommand(view());
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->font.pitchAndFamily, 49);
    EXPECT_EQ(asked->logPixelsY, 96);
    const LogFont& lf = doc().logFont;
    EXPECT_STREQ(lf.faceName, "Liberation Serif");
    EXPECT_EQ(lf.height, -19);
    EXPECT_EQ(lf.weight, 700);
    EXPECT_EQ(lf.italic, 1);
    EXPECT_EQ(lf.charSet, 204);
    EXPECT_EQ(lf.pitchAndFamily, 49);
    EXPECT_EQ(lf.underline, 0);
    const std::string ini = dirPath() + "FOLVK95.INI";
    EXPECT_EQ(iniValue(ini, "FontName"), "Liberation Serif");
    EXPECT_EQ(iniValue(ini, "FontSize"), "-19");
    EXPECT_EQ(iniValue(ini, "FontWeight"), "700");
    EXPECT_EQ(iniValue(ini, "FontCharSet"), "204");
    EXPECT_EQ(iniValue(ini, "PITCH"), std::nullopt);
}

TEST_F(SettingsUiTest, CancelledFontDialogChangesNothing) {
    start();
    const LogFont before = doc().logFont;
    fontCommand(view());
    EXPECT_TRUE(doc().logFont == before);
    EXPECT_FALSE(exists(dirPath() + "FOLVK95.INI"));
}
