// Open with the history, Save As in text mode, and the text copy behind it.
#include <QLabel>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app_fixture.h"
#include "app_globals.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document_record.h"
#include "report_view.h"
#include "shell_state.h"
#include "text_copy.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

void answerOpen(const std::string& path) {
    dialogHooks().fileDialog = [path](FileDialogKind kind, const FileDialogRequest&) {
        EXPECT_EQ(kind, FileDialogKind::Open);
        return FileDialogAnswer{QString::fromStdString(path)};
    };
}

}  // namespace

TEST_F(AppTest, OpenDialogGetsTheFiltersAndTheDocumentPath) {
    shellState().documentPath = pagedDocument("a.txt", 1);
    start();
    FileDialogRequest seen;
    dialogHooks().fileDialog = [&seen](FileDialogKind, const FileDialogRequest& r) {
        seen = r;
        return FileDialogAnswer{};
    };
    view()->runCommand(CmOpen);
    EXPECT_EQ(seen.startPath.toStdString(), shownPath());
    EXPECT_EQ(seen.filters,
              (QStringList{"Текстовые файлы (*.txt)", "Выходные файлы (*.prn)", "Все файлы (*)"}));
    // Cancelling changes nothing.
    EXPECT_EQ(view()->record()->pageCount, 1);
    EXPECT_EQ(shownPath(), dirPath() + "a.txt");
}

TEST_F(AppTest, OpenLoadsTheDocumentAndRefreshesTheFrame) {
    start();
    const std::string doc = pagedDocument("four.txt", 4);
    answerOpen(doc);
    view()->runCommand(CmOpen);
    EXPECT_EQ(shownPath(), doc);
    EXPECT_EQ(view()->record()->pageCount, 4);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("FolVk - ") + QString::fromStdString(doc));
    EXPECT_EQ(frame->pageField()->text(), QStringLiteral("Стр. 1 из 4"));
    EXPECT_TRUE(view()->commandAction(CmSaveAs)->isEnabled());
    EXPECT_TRUE(view()->commandAction(CmNextPage)->isEnabled());
}

TEST_F(AppTest, SwitchingBetweenDocumentsRestoresEachOnesSettingsFile) {
    writeFile("REPORT.INI", "[Folvk]\nZoom=5\n");
    writeFile("B.INI", "[Folvk]\nZoom=7\n");
    const std::string a = pagedDocument("a.txt", 1);
    const std::string b = pagedDocument("b.txt", 1);
    shellState().documentPath = a;
    shellState().IniFileName = "REPORT.INI";  // as if chosen from the tool bar
    start();
    EXPECT_EQ(view()->record()->Zoom, 5);

    // B has no entry: it keeps REPORT.INI, and A is recorded with it.
    answerOpen(b);
    view()->runCommand(CmOpen);
    EXPECT_EQ(shellState().IniFileName, "REPORT.INI");
    EXPECT_EQ(readFile(dirPath() + "history.cfg"), a + "\tREPORT.INI\r\n");

    shellState().IniFileName = "B.INI";
    view()->record()->loadProfile("B.INI");
    answerOpen(a);
    view()->runCommand(CmOpen);
    EXPECT_EQ(shellState().IniFileName, "REPORT.INI");
    EXPECT_EQ(view()->record()->Zoom, 5);
    EXPECT_EQ(view()->record()->iniPath, dirPath() + "REPORT.INI");

    answerOpen(b);
    view()->runCommand(CmOpen);
    EXPECT_EQ(shellState().IniFileName, "B.INI");
    EXPECT_EQ(view()->record()->Zoom, 7);

    // The end of the run records the document shown.
    stop();
    EXPECT_EQ(readFile(dirPath() + "history.cfg"), a + "\tREPORT.INI\r\n" + b + "\tB.INI\r\n");
}

TEST_F(AppTest, EndingARunWithTheDefaultSettingsCreatesAnEmptyHistory) {
    shellState().documentPath = pagedDocument("a.txt", 1);
    start(false);
    stop();
    EXPECT_TRUE(std::filesystem::exists(dirPath() + "history.cfg"));
    EXPECT_EQ(readFile(dirPath() + "history.cfg"), "");
}

// An unattended run whose history cannot be written says so on standard error and ends with
// a failure instead of waiting on a box nobody answers.
TEST_F(AppTest, AnUnattendedRunThatCannotWriteItsHistoryFailsWithoutABox) {
    shellState().documentPath = pagedDocument("a.txt", 1);
    start(false);
    std::filesystem::create_directories(dirPath() + "history.cfg/taken");
    shellState().batchCopies = 1;
    testing::internal::CaptureStderr();
    stop();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shellState().exitStatus, 1);
    EXPECT_NE(said.find(dirPath() + "history.cfg"), std::string::npos) << said;
}

TEST_F(AppTest, SaveAsCopiesWithCrLfAndShowsTheCopy) {
    const std::string src = writeFile("src.txt", "one\r\ntwo\n\fthree\n\x1aignored");
    shellState().documentPath = src;
    start();
    const std::string dst = dirPath() + "copy.txt";
    dialogHooks().fileDialog = [dst](FileDialogKind kind, const FileDialogRequest& r) {
        EXPECT_EQ(kind, FileDialogKind::Save);
        EXPECT_EQ(r.defaultSuffix, "txt");
        return FileDialogAnswer{QString::fromStdString(dst)};
    };
    view()->runCommand(CmSaveAs);
    EXPECT_EQ(readFile(dst), "one\r\ntwo\r\n\fthree\r\n");
    EXPECT_EQ(shownPath(), dst);
    EXPECT_EQ(frame->fileNameField()->text().toStdString(), dst);
    EXPECT_EQ(view()->record()->pageCount, 2);
    EXPECT_FALSE(std::filesystem::exists(dirPath() + "history.cfg"));  // history untouched
}

TEST(TextCopy, CopyOntoItselfOrALinkToItKeepsTheText) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/doc.txt";
    std::ofstream(path, std::ios::binary) << "a\nb\n";
    ASSERT_EQ(copyTextFile(path, path), CopyResult::Ok);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "a\r\nb\r\n");

    const std::string link = dir.path().toStdString() + "/link.txt";
    std::filesystem::create_symlink(path, link);
    ASSERT_EQ(copyTextFile(path, link), CopyResult::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::ifstream again(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(again), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "a\r\nb\r\n");
}

TEST(TextCopy, FailuresNameTheirSide) {
    QTemporaryDir dir;
    const std::string src = dir.path().toStdString() + "/doc.txt";
    EXPECT_EQ(copyTextFile(src, dir.path().toStdString() + "/x.txt"), CopyResult::SourceFailed);
    std::ofstream(src, std::ios::binary) << "a\n";
    EXPECT_EQ(copyTextFile(src, dir.path().toStdString() + "/no/such/dir/x.txt"),
              CopyResult::TargetFailed);
    std::filesystem::create_directory(dir.path().toStdString() + "/sub");
    EXPECT_EQ(copyTextFile(dir.path().toStdString() + "/sub", src), CopyResult::SourceFailed);
}
