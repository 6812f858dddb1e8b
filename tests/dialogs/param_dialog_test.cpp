// The page parameters dialog: conversions, corrections, save-as proposals, the cancel paths,
// the choosers and what the command lays out again afterwards.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "app_globals.h"
#include "dialog_template.h"
#include "document.h"
#include "document_record.h"
#include "param_dialog.h"
#include "param_template.h"
#include "printer_settings.h"
#include "report_view.h"
#include "settings_ui_fixture.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::SettingsUiTest;

namespace {

std::string ini(const SettingsUiTest*) {
    return shellState().programDir + "FOLVK95.INI";
}

}  // namespace

TEST_F(SettingsUiTest, MarginsRoundTripThroughMillimetres) {
    start();
    runParameters([](ParamDialog& d) {
        setEdit(d, kParamLeftMargin, "25.4");
        setEdit(d, kParamTopMargin, " 12,7 mm");  // a decimal comma is read as a point
        setEdit(d, kParamBottomMargin, "abc");
        click(d, kParamOk);
    });
    EXPECT_EQ(doc().LeftMargin, 100.0L);
    EXPECT_EQ(doc().TopMargin, 50.0L);
    EXPECT_EQ(doc().BottomMargin, 0.0L);
    EXPECT_EQ(iniValue(ini(this), "LeftMargin"), "100.00");
    EXPECT_EQ(iniValue(ini(this), "TopMargin"), "50.00");
    EXPECT_EQ(iniValue(ini(this), "BottomMargin"), "0.00");

    QString shown, shownTop;
    runParameters([&](ParamDialog& d) {
        shown = editText(d, kParamLeftMargin);
        shownTop = editText(d, kParamTopMargin);
        click(d, kParamCancel);
    });
    EXPECT_EQ(shown, "25.40");
    EXPECT_EQ(shownTop, "12.70");
}

TEST_F(SettingsUiTest, HeightStringIsKeptAtTenOrMore) {
    start();
    const std::pair<const char*, int> cases[] = {{"0", 100}, {"-5", 100}, {"abc", 100},   {"1", 10},
                                                 {"9", 10},  {"10", 10},  {"  42xyz", 42}};
    for (const auto& [typed, stored] : cases) {
        const char* text = typed;  // clang 14 cannot capture a structured binding
        runParameters([&](ParamDialog& d) {
            setEdit(d, kParamHeightString, text);
            click(d, kParamOk);
        });
        EXPECT_EQ(doc().HeightString, stored) << typed;
        EXPECT_EQ(iniValue(ini(this), "HeightString"), std::to_string(stored)) << typed;
    }
}

TEST_F(SettingsUiTest, FontSizeShownInPointsAt96Dpi) {
    start();
    ASSERT_EQ(doc().logFont.height, -13);
    QString shown;
    runParameters([&](ParamDialog& d) {
        shown = editText(d, kParamFontPoints);
        click(d, kParamOk);
    });
    EXPECT_EQ(shown, "10");
    EXPECT_EQ(doc().logFont.height, -13);
    EXPECT_EQ(iniValue(ini(this), "FontSize"), "-13");

    runParameters([&](ParamDialog& d) {
        setEdit(d, kParamFontPoints, "11");
        setEdit(d, kParamFontName, "Liberation Mono, a name far longer than a face name may be");
        click(d, kParamOk);
    });
    EXPECT_EQ(doc().logFont.height, -15);  // MulDiv(11, 96, 72) = 14.67 rounds to 15
    EXPECT_STREQ(doc().logFont.faceName, "Liberation Mono, a name far lon");
}

TEST_F(SettingsUiTest, SaveAsProposesTheDocumentNameOrTheCurrentFile) {
    start();
    // No document: the current settings file.
    answerFiles({{QString::fromStdString(dirPath() + "mine.ini"), 0}});
    int result = -1;
    runParameters([&](ParamDialog& d) {
        setEdit(d, kParamPenWidth, "3");
        click(d, kParamSaveAs);
        result = d.result();
    });
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(fileRequests[0].kind, FileDialogKind::Save);
    EXPECT_EQ(fileRequests[0].request.startPath.toStdString(), dirPath() + "FOLVK95.INI");
    EXPECT_EQ(fileRequests[0].request.defaultSuffix, "ini");
    EXPECT_EQ(fileRequests[0].request.filters,
              QStringList({"Файлы настройки (*.ini)", "Все файлы (*)"}));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shellState().IniFileName, dirPath() + "mine.ini");
    EXPECT_EQ(doc().iniPath, dirPath() + "mine.ini");
    EXPECT_EQ(iniValue(dirPath() + "mine.ini", "PenWidth"), "3");
    EXPECT_FALSE(exists(dirPath() + "FOLVK95.INI"));

    // A document with and without an extension.
    for (const char* name : {"REPORT.TXT", "REPORT"}) {
        fileRequests.clear();
        view().document()->load(writeFile(dirPath() + "data_" + name, "text\n"));
        runParameters([](ParamDialog& d) {
            click(d, kParamSaveAs);
            click(d, kParamCancel);
        });
        ASSERT_EQ(fileRequests.size(), 1u);
        EXPECT_EQ(fileRequests[0].request.startPath.toStdString(), dirPath() + "data_REPORT.ini")
            << name;
    }
}

TEST_F(SettingsUiTest, CancelledSaveAsKeepsTheTakenValuesWithoutWritingOrLayout) {
    start();
    const auto generation = doc().layoutGeneration;
    bool stillOpen = false;
    runParameters([&](ParamDialog& d) {
        setEdit(d, kParamLeftMargin, "10");
        click(d, kParamSaveAs);  // the Save dialog is cancelled
        stillOpen = d.result() == 0 && editText(d, kParamLeftMargin) == "10";
        click(d, kParamCancel);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_NEAR(static_cast<double>(doc().LeftMargin), 39.370078, 1e-6);
    EXPECT_EQ(doc().layoutGeneration, generation);
    EXPECT_FALSE(exists(ini(this)));
    EXPECT_EQ(shellState().IniFileName, "FOLVK95.INI");
}

TEST_F(SettingsUiTest, FontChooserWritesWeightItalicAndCharsetAtOnce) {
    start();
    std::optional<FontDialogRequest> asked;
    dialogHooks().fontDialog = [&](const FontDialogRequest& r) {
        asked = r;
        FontDialogResult out{r.font, 140};
        out.font.setFaceName("Liberation Serif");
        out.font.weight = 700;
        out.font.italic = 1;
        out.font.charSet = 204;
        return std::optional<FontDialogResult>(out);
    };
    QString face, points;
    runParameters([&](ParamDialog& d) {
        setEdit(d, kParamFontPoints, "12");
        click(d, kParamChooseFont);
        face = editText(d, kParamFontName);
        points = editText(d, kParamFontPoints);
        click(d, kParamCancel);
    });
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->font.height, -16);
    EXPECT_STREQ(asked->font.faceName, "Courier New");
    EXPECT_EQ(asked->font.clipPrecision, 0);  // all zero but the five values
    EXPECT_EQ(face, "Liberation Serif");
    EXPECT_EQ(points, "14");
    // Cancelled: the three values stay, face and size do not arrive.
    EXPECT_EQ(doc().logFont.weight, 700);
    EXPECT_EQ(doc().logFont.italic, 1);
    EXPECT_EQ(doc().logFont.charSet, 204);
    EXPECT_STREQ(doc().logFont.faceName, "Courier New");
    EXPECT_EQ(doc().logFont.height, -13);
    EXPECT_FALSE(exists(ini(this)));
}

TEST_F(SettingsUiTest, OnlyTheDosToggleReloadsTheDocument) {
    const std::string path = writeFile(dirPath() + "doc.txt", "first\n");
    shellState().documentPath = path;
    start();
    ASSERT_STREQ(doc().lineAt(0), "first");
    writeFile(path, "second\n");
    runParameters([](ParamDialog& d) {
        setEdit(d, kParamPenWidth, "2");
        click(d, kParamIsWrap);
        click(d, kParamOk);
    });
    EXPECT_STREQ(doc().lineAt(0), "first");
    EXPECT_EQ(doc().isWrap, 1);

    writeFile(path, "\x8F\xE0\xA8\xA2\xA5\xE2\n");  // "Привет" in code page 866
    runParameters([](ParamDialog& d) {
        click(d, kParamIsDos);
        click(d, kParamOk);
    });
    EXPECT_EQ(doc().IsDos, 1);
    EXPECT_STREQ(doc().lineAt(0), "\xCF\xF0\xE8\xE2\xE5\xF2");  // the same in 1251
    EXPECT_EQ(iniValue(ini(this), "IsDos"), "YES");
}

TEST_F(SettingsUiTest, TheEncodingChoiceReloadsAndIsStored) {
    // "Привет" in KOI8-R is too short to tell from 1251 for sure; the user says what it is.
    const std::string path = writeFile(dirPath() + "koi.txt", "\xf0\xd2\xc9\xd7\xc5\xd4\n");
    shellState().documentPath = path;
    start();
    runParameters([](ParamDialog& d) {
        auto* c = qobject_cast<QComboBox*>(dialogItem(&d, kParamEncoding));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->count(), 5);
        EXPECT_EQ(c->currentText(), QStringLiteral("Автоматически"));
        c->setCurrentIndex(3);
        click(d, kParamOk);
    });
    EXPECT_EQ(doc().Encoding, EncodingChoice::Koi8r);
    EXPECT_EQ(doc().textEncoding, TextEncoding::Koi8r);
    EXPECT_STREQ(doc().lineAt(0), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(iniValue(ini(this), "Encoding"), "koi8-r");
    EXPECT_EQ(iniValue(ini(this), "IsDos"), "NO");
}

TEST_F(SettingsUiTest, OrientationRadiosTouchNothingElse) {
    start();
    doc().Orient = 3;  // would be 127 + 3: the "В конце текста" box
    bool anyRadio = true, textEnd = true;
    runParameters([&](ParamDialog& d) {
        anyRadio = isChecked(d, kParamPortrait) || isChecked(d, kParamLandscape);
        textEnd = isChecked(d, kParamInTextEnd);
        click(d, kParamOk);
    });
    EXPECT_FALSE(anyRadio);
    EXPECT_FALSE(textEnd);
    EXPECT_EQ(doc().Orient, 3);
    EXPECT_EQ(doc().inTextEnd, 0);

    runParameters([](ParamDialog& d) {
        click(d, kParamLandscape);
        click(d, kParamOk);
    });
    EXPECT_EQ(doc().Orient, 1);
    EXPECT_TRUE(view().printer()->landscape());
    EXPECT_EQ(iniValue(ini(this), "Orient"), "1");

    // Each orientation opens with its own button set.
    for (const int orient : {0, 1}) {
        doc().Orient = orient;
        bool portrait = false, landscape = false;
        runParameters([&](ParamDialog& d) {
            portrait = isChecked(d, kParamPortrait);
            landscape = isChecked(d, kParamLandscape);
            click(d, kParamCancel);
        });
        EXPECT_EQ(portrait, orient == 0) << orient;
        EXPECT_EQ(landscape, orient == 1) << orient;
    }
}

// The two "На всех листах" boxes belong to the top and the bottom picture, each read from its
// own box and shown from its own key.
TEST_F(SettingsUiTest, EachPictureHasItsOwnEverySheetBox) {
    start();
    for (const auto& [top, bottom] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}}) {
        runParameters([&, top = top, bottom = bottom](ParamDialog& d) {
            if (isChecked(d, kParamInAll1) != bool(top)) click(d, kParamInAll1);
            if (isChecked(d, kParamInAll2) != bool(bottom)) click(d, kParamInAll2);
            click(d, kParamOk);
        });
        EXPECT_EQ(doc().InAll1, top);
        EXPECT_EQ(doc().InAll2, bottom);
        bool shownTop = false, shownBottom = false;
        runParameters([&](ParamDialog& d) {
            shownTop = isChecked(d, kParamInAll1);
            shownBottom = isChecked(d, kParamInAll2);
            click(d, kParamCancel);
        });
        EXPECT_EQ(shownTop, bool(top));
        EXPECT_EQ(shownBottom, bool(bottom));
    }
}

TEST_F(SettingsUiTest, PictureChooserFillsOnlyTheEdit) {
    start();
    doc().TopFile = "old.bmp";
    answerFiles({{"/pictures/top.bmp", 0}, {QString(), 12}});
    QString afterChoice, afterFailure;
    runParameters([&](ParamDialog& d) {
        click(d, kParamTopChoose);
        afterChoice = editText(d, kParamTopFile);
        click(d, kParamBotChoose);
        afterFailure = editText(d, kParamBottFile);
        click(d, kParamCancel);
    });
    ASSERT_EQ(fileRequests.size(), 2u);
    EXPECT_EQ(fileRequests[0].kind, FileDialogKind::Open);
    EXPECT_EQ(fileRequests[0].request.startPath, "old.bmp");
    EXPECT_EQ(fileRequests[0].request.filters, QStringList({"Точечные рисунки (*.bmp)"}));
    EXPECT_EQ(afterChoice, "/pictures/top.bmp");
    EXPECT_EQ(afterFailure, "");
    EXPECT_EQ(doc().TopFile, "old.bmp");
    ASSERT_EQ(messages.calls.size(), 1u);
    EXPECT_EQ(messages.calls[0].text, "GetOpenFileName returned Error #12");
    EXPECT_EQ(messages.calls[0].caption, "WARNING");
    EXPECT_EQ(messages.calls[0].icon, MsgIcon::Error);
}

TEST_F(SettingsUiTest, KeysHelpAndEscape) {
    start();
    int result = -1;
    runParameters([&](ParamDialog& d) {
        QTest::keyClick(&d, Qt::Key_F1);
        setEdit(d, kParamPenWidth, "7");
        QTest::keyClick(&d, Qt::Key_Escape);
        result = d.result();
    });
    EXPECT_EQ(helpTopics, std::vector<int>({4}));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(doc().PenWidth, 0);

    // Enter is OK, not help.
    runParameters([&](ParamDialog& d) {
        setEdit(d, kParamPenWidth, "7");
        d.show();  // the default button answers Enter only when shown
        QApplication::processEvents();
        QTest::keyClick(&d, Qt::Key_Return);
        result = d.result();
    });
    EXPECT_EQ(helpTopics, std::vector<int>({4}));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(doc().PenWidth, 7);
}

TEST_F(SettingsUiTest, TemplateHasEveryControlInTabOrder) {
    start();
    ParamDialog d(doc(), &view());
    EXPECT_EQ(d.windowTitle(), "Параметры страницы");
    int withId = 0;
    for (const DialogControl& c : paramTemplate().controls)
        if (c.id >= 0) {
            ++withId;
            EXPECT_NE(dialogItem(&d, c.id), nullptr) << c.id;
        }
    EXPECT_EQ(paramTemplate().controls.size(), 48u);
    EXPECT_EQ(withId, 35);
    // The edits in the order the Tab key visits them.
    std::vector<int> edits;
    QWidget* w = dialogItem(&d, kParamFontName);
    for (int i = 0; w && i < 100; ++i, w = w->nextInFocusChain())
        if (auto* e = qobject_cast<QLineEdit*>(w); e && edits.size() < 11)
            edits.push_back(e->property("dialogId").toInt());
    EXPECT_EQ(edits, std::vector<int>({122, 124, 101, 102, 103, 113, 117, 104, 110, 106, 111}));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialogItem(&d, kParamPenWidth))->maxLength(), 50);
    EXPECT_GT(qobject_cast<QLineEdit*>(dialogItem(&d, kParamTopFile))->maxLength(), 254);
}

// A margin too large to write as millimetres (a hand-edited settings file) is shown as 0.00,
// not as the first character of a number cut short.
TEST_F(SettingsUiTest, AMarginTooLargeToWriteIsShownAsZero) {
    start();
    doc().LeftMargin = 1e300L;
    doc().TopMargin = -1e300L;
    QString left, top;
    runParameters([&](ParamDialog& d) {
        left = editText(d, kParamLeftMargin);
        top = editText(d, kParamTopMargin);
        click(d, kParamCancel);
    });
    EXPECT_EQ(left, QStringLiteral("0.00"));
    EXPECT_EQ(top, QStringLiteral("0.00"));
}
