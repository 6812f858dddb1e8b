// The shared fixture of the dialogs' tests.
#include "dialogs_test_support.h"

#include <fstream>
#include <iterator>

#include "app_globals.h"
#include "dialog_hooks.h"
#include "edit_plugin.h"
#include "editor_dialog.h"
#include "file_replace.h"

#include <cerrno>
#include "document_record.h"
#include "shell_state.h"

namespace folvek::test {

MsgAnswer ScriptedMessages::show(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) {
    shown.push_back({text, caption, icon, buttons});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return MsgAnswer::Cancel;
    }
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

void answerEditor(std::function<int(EditorDialog&)> answer) {
    dialogHooks().runModal = [answer = std::move(answer)](QDialog& dialog) {
        auto* editor = dynamic_cast<EditorDialog*>(&dialog);
        if (!editor) {
            ADD_FAILURE() << "a dialog other than the editor was run";
            return 0;
        }
        return answer(*editor);
    };
}

void DialogsTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    qputenv("FOLVEK_HOME", dir.path().toUtf8());
    shellState() = ShellState{};
    shellState().programDir = dirPath();
    // Only the libraries a test names are ever loaded.
    editPluginSearch() = EditPluginSearch{{dir.path() + QStringLiteral("/no-plugin")}, false};
}

void DialogsTest::TearDown() {
    resetDialogHooks();
    fileSystemCalls() = defaultFileSystemCalls();
    editPluginSearch() = EditPluginSearch{};
}

std::string DialogsTest::dirPath() const {
    return dir.path().toStdString() + "/";
}

std::string DialogsTest::writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = dirPath() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string DialogsTest::readFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DocumentCommandContext DialogsTest::context(const std::string& path, bool isDos) {
    // A record without a printer: pagination is not what these tests look at.
    static StderrMessages quiet;
    RecordContext pc;
    pc.messages = &quiet;
    pc.programDir = dirPath();
    doc = std::make_unique<DocumentRecord>(std::move(pc), "FOLVK95.INI", "");
    doc->IsDos = isDos ? 1 : 0;
    doc->loadText(path);

    DocumentCommandContext ctx;
    ctx.doc = doc.get();
    ctx.path = path;
    ctx.messages = &messages;
    ctx.editorMessages = &messages;
    ctx.reload = [this, path] {
        ++relayouts;
        doc->freeText();
        doc->loadText(path);
    };
    return ctx;
}

void failSaves() {
    fileSystemCalls().sync = [](int) {
        errno = ENOSPC;
        return -1;
    };
}

}  // namespace folvek::test
