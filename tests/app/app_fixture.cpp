// The fixture behind the shell's tests.
#include "app_fixture.h"

#include <QTest>
#include <fstream>
#include <iterator>

#include "app_globals.h"
#include "dialog_hooks.h"
#include "document.h"
#include "report_view.h"
#include "shell_state.h"

namespace folvek::test {

void AppTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    qputenv("FOLVEK_HOME", dir.path().toUtf8());
    ShellState& shell = shellState();
    shell = ShellState{};
    shell.programDir = dirPath();
    // No test may block on a real file dialog: each is cancelled unless the test answers.
    resetDialogHooks();
    dialogHooks().fileDialog = [](FileDialogKind, const FileDialogRequest&) {
        return FileDialogAnswer{};
    };
}

void AppTest::TearDown() {
    stop();
    resetDialogHooks();
}

MainFrame* AppTest::start(bool show) {
    frame.reset(createMainWindow(false));
    if (show) {
        frame->resize(900, 700);
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    return frame.get();
}

void AppTest::stop() {
    frame.reset();
}

std::string AppTest::dirPath() const {
    return dir.path().toStdString() + "/";
}

std::string AppTest::writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = dirPath() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string AppTest::readFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string AppTest::pagedDocument(const std::string& name, int pages) {
    std::string text;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) text += "\f";
        text += "page " + std::to_string(p) + "\nsecond line\nthird line\n";
    }
    return writeFile(name, text);
}

ReportView* AppTest::view() const {
    return frame ? frame->view() : nullptr;
}

std::string AppTest::shownPath() const {
    return view() && view()->document() ? view()->document()->path() : std::string();
}

}  // namespace folvek::test
