// Settings files: the tool-bar list, loading, saving as, and the choice from the list.
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>

#include "app_globals.h"
#include "document_record.h"
#include "report_view.h"
#include "settings_files.h"
#include "settings_ui_fixture.h"
#include "shell_state.h"

using namespace folvek;
using folvek::test::SettingsUiTest;

namespace {

QStringList entries(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
    return out;
}

std::string settings(const char* fontSize, const char* isDos = "NO") {
    return std::string("[Folvk]\r\nFontSize=") + fontSize + "\r\nIsDos=" + isDos + "\r\n";
}

}  // namespace

TEST_F(SettingsUiTest, SavedFileIsListedAndSelected) {
    writeFile(dirPath() + "b.ini", settings("-13"));
    writeFile(dirPath() + "A.INI", settings("-13"));
    writeFile(dirPath() + "notes.txt", "");
    start();
    QComboBox* combo = app().settingsList;
    ASSERT_NE(combo, nullptr);
    doc().PenWidth = 5;
    answerFiles({{QString::fromStdString(dirPath() + "new.ini"), 0}});
    saveSettingsAsCommand(view());
    EXPECT_EQ(entries(combo), QStringList({"A.INI", "b.ini", "new.ini"}));
    EXPECT_EQ(combo->currentText(), "new.ini");
    EXPECT_EQ(shellState().IniFileName, dirPath() + "new.ini");
    EXPECT_EQ(iniValue(dirPath() + "new.ini", "PenWidth"), "5");
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(fileRequests[0].request.startPath.toStdString(), dirPath() + "FOLVK95.INI");
    // The tool bar's list shows a usual name whole in its own font.
    const int name = combo->fontMetrics().horizontalAdvance(QStringLiteral("warehouse-866.ini"));
    EXPECT_GT(combo->sizeHint().width(), name + 16);
}

TEST_F(SettingsUiTest, FileSavedElsewhereIsNotListed) {
    writeFile(dirPath() + "a.ini", settings("-13"));
    writeFile(dirPath() + "other.ini", settings("-13"));
    QTemporaryDir elsewhere;
    start();
    const std::string outside = elsewhere.path().toStdString() + "/OTHER.ini";
    answerFiles({{QString::fromStdString(outside), 0}});
    saveSettingsAsCommand(view());
    QComboBox* combo = app().settingsList;
    EXPECT_EQ(entries(combo), QStringList({"a.ini", "other.ini"}));
    EXPECT_EQ(combo->currentText(), "other.ini");  // same name, ignoring case
    EXPECT_TRUE(exists(outside));
    EXPECT_EQ(doc().iniPath, outside);
}

TEST_F(SettingsUiTest, ChoiceLoadsFromTheSettingsDirectory) {
    writeFile(dirPath() + "x.ini", settings("-20"));
    QTemporaryDir elsewhere;
    const std::string outside =
        writeFile(elsewhere.path().toStdString() + "/x.ini", settings("-30"));
    start();
    answerFiles({{QString::fromStdString(outside), 0}});
    loadSettingsCommand(view());
    EXPECT_EQ(doc().logFont.height, -30);
    EXPECT_EQ(shellState().IniFileName, outside);
    QComboBox* combo = app().settingsList;
    ASSERT_EQ(combo->currentText(), "x.ini");

    settingsListChosen(view(), combo->currentIndex());
    EXPECT_EQ(doc().logFont.height, -20);
    EXPECT_EQ(shellState().IniFileName, "x.ini");
    EXPECT_EQ(doc().iniPath, dirPath() + "x.ini");
    // Nothing was written by either.
    EXPECT_EQ(iniValue(outside, "FontSize"), "-30");
    EXPECT_EQ(iniValue(dirPath() + "x.ini", "PenWidth"), std::nullopt);
}

TEST_F(SettingsUiTest, LoadedIsDosWaitsForTheNextLoad) {
    const std::string path = writeFile(dirPath() + "doc.txt", "first\n");
    writeFile(dirPath() + "dos.ini", settings("-13", "YES"));
    shellState().documentPath = path;
    start();
    writeFile(path, "second\n");
    QComboBox* combo = app().settingsList;
    settingsListChosen(view(), combo->findText("dos.ini"));
    EXPECT_EQ(doc().IsDos, 1);
    EXPECT_STREQ(doc().lineAt(0), "first");

    answerFiles({{QString::fromStdString(dirPath() + "dos.ini"), 0}});
    loadSettingsCommand(view());
    EXPECT_STREQ(doc().lineAt(0), "first");
}

TEST_F(SettingsUiTest, DialogFailuresAndCancelsChangeNothing) {
    start();
    answerFiles({{QString(), 3}, {QString(), 0}, {QString(), 7}});
    const std::string before = doc().iniPath;
    loadSettingsCommand(view());
    loadSettingsCommand(view());
    saveSettingsAsCommand(view());
    ASSERT_EQ(fileRequests.size(), 3u);
    EXPECT_EQ(fileRequests[0].request.filters,
              QStringList({"Файлы настройки (*.ini)", "Все файлы (*)"}));
    ASSERT_EQ(messages.calls.size(), 2u);
    EXPECT_EQ(messages.calls[0].text, "GetOpenFileName returned Error #3");
    EXPECT_EQ(messages.calls[1].text, "GetSaveFileName returned Error #7");
    EXPECT_EQ(messages.calls[1].caption, "WARNING");
    EXPECT_EQ(doc().iniPath, before);
    EXPECT_EQ(shellState().IniFileName, "FOLVK95.INI");
    EXPECT_FALSE(exists(before));
}

// "Отчет.ini" in CP1251: listed, and chosen by its own bytes, not by a U+FFFD look-alike.
TEST_F(SettingsUiTest, ANameThatIsNotUtf8IsChosenByItsBytes) {
    const std::string name = "\xCE\xF2\xF7\xE5\xF2.ini";
    writeFile(dirPath() + name, settings("-40"));
    writeFile(dirPath() + "a.ini", settings("-13"));
    start();
    QComboBox* combo = app().settingsList;
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemData(1).toByteArray().toStdString(), name);
    settingsListChosen(view(), 1);
    EXPECT_EQ(doc().logFont.height, -40);
    EXPECT_EQ(shellState().IniFileName, name);
    EXPECT_EQ(doc().iniPath, dirPath() + name);
}
