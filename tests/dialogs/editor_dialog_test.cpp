// The built-in editor: what it shows, when it asks, what it writes, and that a failed save
// loses neither the text nor the file.
#include <sys/stat.h>
#include <QCoreApplication>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTextCursor>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dialogs_test_support.h"
#include "editor_dialog.h"
#include "file_replace.h"
#include "string_table.h"

namespace folvek::test {
namespace {

class EditorTest : public DialogsTest {
  protected:
    std::unique_ptr<EditorDialog> open(const std::string& path, bool isDos) {
        EditorSession s;
        s.path = path;
        s.isDos = isDos;
        s.messages = &messages;
        auto d = std::make_unique<EditorDialog>(nullptr, s);
        finished = std::make_unique<QSignalSpy>(d.get(), &QDialog::finished);
        return d;
    }
    static void type(EditorDialog& d, const QString& text) {
        d.editor()->moveCursor(QTextCursor::End);
        d.editor()->insertPlainText(text);
    }
    bool ended() const { return finished->count() > 0; }
    std::unique_ptr<QSignalSpy> finished;
};

TEST_F(EditorTest, DosFileIsShownDecodedAndSavedBackInCodePage866) {
    const std::string original = kDosHello + "\r\n\xc9\xcd\xbb\r\n";
    const std::string path = writeFile("dos.txt", original);
    auto d = open(path, true);
    EXPECT_EQ(d->windowTitle(), QString::fromStdString(path));
    EXPECT_EQ(d->editor()->toPlainText(), QStringLiteral("Привет\n╔═╗\n"));
    EXPECT_FALSE(d->isModified());
    EXPECT_EQ(d->editor()->textCursor().position(), 0);

    type(*d, QStringLiteral("Привет"));
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(d->result(), 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(readFile(path), original + kDosHello);
}

TEST_F(EditorTest, WindowsFileKeepsNulsNoBreakSpacesAndBareLineFeeds) {
    const std::string original = kWinHello + std::string("\0x\xa0y\n\fz\n", 8);
    const std::string path = writeFile("win.txt", original);
    auto d = open(path, false);
    type(*d, QStringLiteral("!"));
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(readFile(path), original + "!");
}

TEST_F(EditorTest, LeavingAnUnchangedTextAsksNothing) {
    const std::string path = writeFile("a.txt", "abc\r\n");
    auto d = open(path, false);
    d->reject();
    ASSERT_TRUE(ended());
    EXPECT_EQ(d->result(), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(readFile(path), "abc\r\n");
}

TEST_F(EditorTest, LeavingAChangedTextAsksAndFollowsTheAnswer) {
    const std::string path = writeFile("a.txt", "abc\r\n");
    auto d = open(path, false);
    type(*d, QStringLiteral("def"));

    messages.answer(MsgAnswer::Cancel);
    d->reject();
    EXPECT_FALSE(ended());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, loadString(StrSaveChanges));
    EXPECT_EQ(messages.shown[0].caption, "");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(readFile(path), "abc\r\n");

    messages.answer(MsgAnswer::Yes);
    d->reject();
    ASSERT_TRUE(ended());
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(readFile(path), "abc\r\ndef");
}

TEST_F(EditorTest, AnsweringNoLeavesTheFileAlone) {
    const std::string path = writeFile("a.txt", "abc");
    auto d = open(path, false);
    type(*d, QStringLiteral("def"));
    messages.answer(MsgAnswer::No);
    d->reject();
    ASSERT_TRUE(ended());
    EXPECT_EQ(d->result(), 0);
    EXPECT_EQ(readFile(path), "abc");
}

TEST_F(EditorTest, AnEmptyTextSavesAnEmptyFileWithTheOldPermissions) {
    const std::string path = writeFile("a.txt", "abc\r\n");
    ::chmod(path.c_str(), 0640);
    auto d = open(path, false);
    d->editor()->clear();
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(readFile(path), "");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(EditorTest, AFileThatCannotBeReadStartsEmptyAndSavingCreatesIt) {
    const std::string path = dirPath() + "new.txt";
    auto d = open(path, false);
    EXPECT_TRUE(d->editor()->toPlainText().isEmpty());
    type(*d, QStringLiteral("x\ny"));
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(readFile(path), "x\r\ny");
}

// A path that is there but cannot be read as a file is not edited: OK would have written an
// empty text over it. (An unreadable file gives EACCES the same way: the document tests check
// that as the user nobody.)
TEST_F(EditorTest, WhatIsThereButCannotBeReadOpensNoEditor) {
    const std::string folder = dirPath() + "folder.txt";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    auto d = open(folder, false);
    EXPECT_TRUE(d->refused());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "!!!");
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->accept();
    EXPECT_FALSE(ended());
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    EditorSession s;
    s.path = folder;
    s.messages = &messages;
    EXPECT_EQ(runBuiltInEditor(nullptr, s), 0);  // no modal run: nothing to answer
}

// Each refusal says why: a folder or a pipe is no file; a path through a file is unreadable.
TEST_F(EditorTest, ARefusalSaysWhetherThePathIsNoFileOrCouldNotBeRead) {
    const std::string fifo = dirPath() + "pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string through = writeFile("plain.txt", "abc") + "/inner.txt";
    const struct {
        std::string path, first;
        int error;
    } cases[] = {
        {dirPath(), "Это не обычный файл: редактор его не открывает.", EISDIR},
        {fifo, "Это не обычный файл: редактор его не открывает.", EINVAL},
        {through, "Файл не удалось прочитать: редактор не открыт.", ENOTDIR},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        auto d = open(c.path, false);
        EXPECT_TRUE(d->refused()) << c.path;
        ASSERT_EQ(messages.shown.size(), 1u) << c.path;
        EXPECT_EQ(messages.shown[0].text, c.first + "\n" + std::strerror(c.error)) << c.path;
    }
}

TEST_F(EditorTest, AFailedWriteKeepsTheEditorTextAndTheOldFile) {
    const std::string path = writeFile("a.txt", "old contents\r\n");
    auto d = open(path, false);
    type(*d, QStringLiteral("new"));
    failSaves();
    d->accept();
    EXPECT_FALSE(ended());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Error writing to file!\n", 0), 0u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(readFile(path), "old contents\r\n");
    EXPECT_EQ(d->editor()->toPlainText(), QStringLiteral("old contents\nnew"));
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dirPath()))
        files += e.path().filename().string().rfind("a.txt", 0) == 0;
    EXPECT_EQ(files, 1);

    fileSystemCalls() = defaultFileSystemCalls();
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(readFile(path), "old contents\r\nnew");
}

TEST_F(EditorTest, AGoneDirectoryIsReportedAndTheEditorStaysOpen) {
    std::filesystem::create_directory(dirPath() + "sub");
    const std::string path = writeFile("sub/a.txt", "abc");
    auto d = open(path, false);
    type(*d, QStringLiteral("def"));
    std::filesystem::remove_all(dirPath() + "sub");
    d->accept();
    EXPECT_FALSE(ended());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Error opening file!\n", 0), 0u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(d->editor()->toPlainText(), QStringLiteral("abcdef"));
}

// Even root, whom permissions do not stop, leaves a file alone that nobody may write.
TEST_F(EditorTest, AReadOnlyFileIsRefusedAndTheEditorStaysOpen) {
    const std::string path = writeFile("ro.txt", "abc");
    ::chmod(path.c_str(), 0444);
    auto d = open(path, false);
    type(*d, QStringLiteral("def"));
    d->accept();
    EXPECT_FALSE(ended());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Error opening file!\n", 0), 0u);
    EXPECT_EQ(readFile(path), "abc");
    EXPECT_EQ(d->editor()->toPlainText(), QStringLiteral("abcdef"));
}

TEST_F(EditorTest, ATooLargeFileIsShownInPartAndReadOnly) {
    const std::string big(3 * kEditorTextLimit + 1, 'x');
    const std::string path = writeFile("big.txt", big);
    auto d = open(path, false);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(loadString(StrFileTooLarge) + "\n", 0), 0u);
    EXPECT_EQ(messages.shown[0].caption, "!!!");
    EXPECT_EQ(d->editor()->toPlainText().size(), static_cast<qsizetype>(kEditorTextLimit));
    EXPECT_TRUE(d->editor()->isReadOnly());
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->accept();
    EXPECT_FALSE(ended());
    d->reject();
    ASSERT_TRUE(ended());
    EXPECT_EQ(d->result(), 0);
    EXPECT_EQ(readFile(path), big);
}

TEST_F(EditorTest, CharactersTheCodePageLacksAreWrittenAsQuestionMarksOnlyWhenAccepted) {
    const std::string path = writeFile("a.txt", "a");
    auto d = open(path, true);
    type(*d, QStringLiteral("✓"));
    messages.answer(MsgAnswer::No);
    d->accept();
    EXPECT_FALSE(ended());
    EXPECT_EQ(readFile(path), "a");
    messages.answer(MsgAnswer::Yes);
    d->accept();
    ASSERT_TRUE(ended());
    EXPECT_EQ(readFile(path), "a?");
}

TEST_F(EditorTest, FixedsysBecomesAFixedPitchFontAndResizingMovesTheButtons) {
    const std::string path = writeFile("a.txt", "a");
    auto d = open(path, false);
    EXPECT_TRUE(QFontInfo(d->editor()->font()).fixedPitch());
    EXPECT_FALSE(d->editor()->font().italic());
    // It opens nearly as large as the screen, 20 pixels short each way, and cannot be made
    // smaller than 200 x 120.
    const QScreen* screen = d->screen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(d->size(),
              QSize(screen->geometry().width() - 20, screen->availableGeometry().height() - 20));
    d->resize(50, 50);
    EXPECT_EQ(d->size(), QSize(200, 120));
    d->show();
    d->resize(640, 480);
    QCoreApplication::processEvents();
    const int h = d->frameGeometry().height();
    EXPECT_EQ(d->okButton()->pos(), QPoint(10, h - 60));
    EXPECT_EQ(d->editor()->geometry().height(), h - 70);
    EXPECT_EQ(d->findChild<QPushButton*>(QStringLiteral("id2"))->pos(), QPoint(110, h - 60));
}

}  // namespace
}  // namespace folvek::test
