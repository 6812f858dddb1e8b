// The fixture behind the dialogs' tests.
#include "settings_ui_fixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <fstream>

#include "app_globals.h"
#include "dialog_template.h"
#include "file_dialogs.h"
#include "ini_file.h"
#include "param_command.h"
#include "param_dialog.h"
#include "report_view.h"
#include "shell_state.h"

namespace folvek::test {

void SettingsUiTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    qputenv("FOLVEK_HOME", dir.path().toUtf8());
    ShellState& shell = shellState();
    shell = ShellState{};
    shell.programDir = dirPath();
    // Nothing may wait for a person.
    resetDialogHooks();
    DialogHooks& h = dialogHooks();
    h.logPixelsY = 96;
    h.messages = &messages;
    h.fileDialog = [this](FileDialogKind kind, const FileDialogRequest& r) {
        fileRequests.push_back({kind, r});
        if (answers_.empty()) return FileDialogAnswer{};
        FileDialogAnswer a = answers_.front();
        answers_.erase(answers_.begin());
        return a;
    };
    h.fontDialog = [](const FontDialogRequest&) { return std::optional<FontDialogResult>(); };
    h.runModal = [](QDialog&) { return 0; };
    h.openHelp = [this](int topic) { helpTopics.push_back(topic); };
}

void SettingsUiTest::TearDown() {
    frame.reset();
    resetDialogHooks();
}

void SettingsUiTest::start() {
    frame.reset(createMainWindow(false));
}

ReportView& SettingsUiTest::view() const {
    return *frame->view();
}
DocumentRecord& SettingsUiTest::doc() const {
    return *frame->view()->record();
}

std::string SettingsUiTest::dirPath() const {
    return dir.path().toStdString() + "/";
}

std::string SettingsUiTest::writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::optional<std::string> SettingsUiTest::iniValue(const std::string& path,
                                                    const std::string& key) const {
    IniFile ini;
    if (!ini.load(path)) return std::nullopt;
    return ini.get("Folvk", key);
}

bool SettingsUiTest::exists(const std::string& path) const {
    return std::ifstream(path).good();
}

void SettingsUiTest::answerFiles(std::vector<FileDialogAnswer> answers) {
    answers_ = std::move(answers);
}

void SettingsUiTest::runParameters(const std::function<void(ParamDialog&)>& act) {
    dialogHooks().runModal = [act](QDialog& d) {
        act(static_cast<ParamDialog&>(d));
        return d.result();
    };
    pageParametersCommand(view());
}

void SettingsUiTest::setEdit(QDialog& d, int id, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(dialogItem(&d, id));
    ASSERT_NE(e, nullptr) << id;
    e->setText(text);
}

QString SettingsUiTest::editText(QDialog& d, int id) {
    auto* e = qobject_cast<QLineEdit*>(dialogItem(&d, id));
    return e ? e->text() : QStringLiteral("<no edit %1>").arg(id);
}

void SettingsUiTest::click(QDialog& d, int id) {
    auto* b = qobject_cast<QAbstractButton*>(dialogItem(&d, id));
    ASSERT_NE(b, nullptr) << id;
    b->click();
}

bool SettingsUiTest::isChecked(QDialog& d, int id) {
    auto* b = qobject_cast<QAbstractButton*>(dialogItem(&d, id));
    return b && b->isChecked();
}

}  // namespace folvek::test
