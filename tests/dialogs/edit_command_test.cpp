// The edit command: which editor runs for each kind of edit.so, the Windows-encoding offer in
// front of a library that only knows Windows text, and the reload after a change.
#include <sys/stat.h>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <cerrno>
#include <filesystem>

#include "codepage.h"
#include "dialogs_test_support.h"
#include "document_record.h"
#include "edit_command.h"
#include "edit_plugin.h"
#include "editor_dialog.h"
#include "file_replace.h"
#include "string_table.h"

namespace folvek::test {
namespace {

class EditCommandTest : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        log = dirPath() + "plugin.log";
        qputenv("FOLVEK_PLUGIN_LOG", QByteArray::fromStdString(log));
        qputenv("FOLVEK_PLUGIN_RESULT", "1");
        qunsetenv("FOLVEK_PLUGIN_APPEND");
        // The built-in editor, when it runs, says so and leaves without saving.
        answerEditor([this](EditorDialog&) {
            ++builtInRuns;
            return 0;
        });
    }
    void usePlugin(const char* kind) {
        editPluginSearch() =
            EditPluginSearch{{QStringLiteral(FOLVEK_TEST_PLUGIN_DIR "/") + kind}, false};
    }
    std::string calls() const { return readFile(log); }

    std::string log;
    int builtInRuns = 0;
};

TEST_F(EditCommandTest, EditFile2GetsTheDosFlagAndTheEValueWithoutAQuestion) {
    usePlugin("with_editfile2");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    ctx.eValue = "boss@example.com";
    qputenv("FOLVEK_PLUGIN_APPEND", "\n");
    EXPECT_EQ(editDocumentFile(ctx), 1);
    EXPECT_EQ(calls(), "editFile2|null|" + path + "|boss@example.com|1\n");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(builtInRuns, 0);
    EXPECT_EQ(relayouts, 1);
    EXPECT_EQ(doc->IsDos, 1);
}

TEST_F(EditCommandTest, AnUnchangedFileIsNotReloadedAndAMissingEValueIsNull) {
    usePlugin("with_editfile2");
    qputenv("FOLVEK_PLUGIN_RESULT", "0");
    const std::string path = writeFile("a.txt", "abc");
    DocumentCommandContext ctx = context(path, false);
    EXPECT_EQ(editDocumentFile(ctx), 0);
    EXPECT_EQ(calls(), "editFile2|null|" + path + "|<null>|0\n");
    EXPECT_EQ(relayouts, 0);
}

TEST_F(EditCommandTest, EditFileAfterYesGetsTheWholeFileInWindowsEncoding) {
    usePlugin("only_editfile");
    // A NUL in the middle must not cut the rewritten file.
    const std::string dos = kDosHello + std::string("\0", 1) + kDosHello + "\r\n";
    const std::string path = writeFile("dos.txt", dos);
    DocumentCommandContext ctx = context(path, true);
    messages.answer(MsgAnswer::Yes);
    EXPECT_EQ(editDocumentFile(ctx), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, loadString(StrRewriteInWindows));
    EXPECT_EQ(messages.shown[0].caption, "???");
    EXPECT_EQ(readFile(path), kWinHello + std::string("\0", 1) + kWinHello + "\r\n");
    EXPECT_EQ(doc->IsDos, 0);
    EXPECT_EQ(calls(), "editFile|null|" + path + "|<null>\n");
    EXPECT_EQ(builtInRuns, 0);
    EXPECT_EQ(relayouts, 2);  // after the rewrite and after the edit
    ASSERT_GE(doc->lines.size(), 1u);
    EXPECT_EQ(std::string(doc->lines.textAt(0)), kWinHello);
}

TEST_F(EditCommandTest, EditFileAfterNoFallsBackToTheBuiltInEditorOnTheDosFile) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    messages.answer(MsgAnswer::No);
    bool sawDos = false;
    answerEditor([&](EditorDialog& d) {
        ++builtInRuns;
        sawDos = d.editor()->toPlainText() == QStringLiteral("Привет");
        return 0;
    });
    EXPECT_EQ(editDocumentFile(ctx), 0);
    EXPECT_EQ(builtInRuns, 1);
    EXPECT_TRUE(sawDos);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(readFile(path), kDosHello);
    EXPECT_EQ(doc->IsDos, 1);
}

TEST_F(EditCommandTest, EditFileAfterCancelDoesNothing) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    messages.answer(MsgAnswer::Cancel);
    EXPECT_EQ(editDocumentFile(ctx), 0);
    EXPECT_EQ(builtInRuns, 0);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(readFile(path), kDosHello);
    EXPECT_EQ(doc->IsDos, 1);
    EXPECT_EQ(relayouts, 0);
}

TEST_F(EditCommandTest, EditFileOnAWindowsFileAsksNothing) {
    usePlugin("only_editfile");
    const std::string path = writeFile("a.txt", "abc");
    DocumentCommandContext ctx = context(path, false);
    ctx.eValue = "";
    EXPECT_EQ(editDocumentFile(ctx), 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(calls(), "editFile|null|" + path + "|\n");
}

TEST_F(EditCommandTest, AFailedRewriteIsReportedAndChangesNothing) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    messages.answer(MsgAnswer::Yes);
    failSaves();
    EXPECT_EQ(editDocumentFile(ctx), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(messages.shown[1].text, "Не удалось переписать файл в Windows кодировке!\n" +
                                          saveFailureReason({SaveStatus::WriteFailed, ENOSPC}));
    EXPECT_EQ(readFile(path), kDosHello);
    EXPECT_EQ(doc->IsDos, 1);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(builtInRuns, 0);
}

// A file gone before it could be read again has no reason to give: the message stands alone,
// and the document stays a DOS one.
TEST_F(EditCommandTest, ARewriteOfAFileGoneSaysSoWithoutAReason) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    messages.answer(MsgAnswer::Yes);
    EXPECT_EQ(editDocumentFile(ctx), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Не удалось переписать файл в Windows кодировке!");
    EXPECT_EQ(doc->IsDos, 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A read-only DOS file is not rewritten, even by root: the user hears why.
TEST_F(EditCommandTest, AReadOnlyFileIsNotRewritten) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    ::chmod(path.c_str(), 0444);
    DocumentCommandContext ctx = context(path, true);
    messages.answer(MsgAnswer::Yes);
    EXPECT_EQ(editDocumentFile(ctx), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find(saveFailureReason({SaveStatus::ReadOnly, EACCES})),
              std::string::npos);
    EXPECT_EQ(readFile(path), kDosHello);
    EXPECT_EQ(doc->IsDos, 1);
    EXPECT_EQ(calls(), "");
}

// A file gone before it could be read again is a failed rewrite too, though no write failed.
TEST_F(EditCommandTest, AFileThatCannotBeReadAgainIsNotTakenForRewritten) {
    usePlugin("only_editfile");
    const std::string path = writeFile("dos.txt", kDosHello);
    DocumentCommandContext ctx = context(path, true);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    messages.answer(MsgAnswer::Yes);
    EXPECT_EQ(editDocumentFile(ctx), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(doc->IsDos, 1);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(relayouts, 0);
}

TEST_F(EditCommandTest, ALibraryWithoutEntryPointsOrNoLibraryMeansTheBuiltInEditor) {
    const std::string path = writeFile("a.txt", "abc");
    for (const char* kind : {"neither", "missing"}) {
        usePlugin(kind);
        builtInRuns = 0;
        DocumentCommandContext ctx = context(path, true);
        EXPECT_EQ(editDocumentFile(ctx), 0) << kind;
        EXPECT_EQ(builtInRuns, 1) << kind;
        EXPECT_TRUE(messages.shown.empty()) << kind;
    }
}

TEST_F(EditCommandTest, ASavedBuiltInEditReloadsTheDocument) {
    const std::string path = writeFile("dos.txt", kDosHello + "\r\n");
    DocumentCommandContext ctx = context(path, true);
    answerEditor([](EditorDialog& d) {
        d.editor()->moveCursor(QTextCursor::End);
        d.editor()->insertPlainText(QStringLiteral("Мир"));
        d.accept();
        return d.result();
    });
    EXPECT_EQ(editDocumentFile(ctx), 1);
    EXPECT_EQ(relayouts, 1);
    ASSERT_EQ(doc->lines.size(), 2u);
    std::string world = "\x8c\xa8\xe0";
    oemToAnsi(world.data(), world.size());
    EXPECT_EQ(std::string(doc->lines.textAt(1)), world);
    EXPECT_EQ(doc->IsDos, 1);
}

TEST_F(EditCommandTest, Utf8AndKoi8FilesRoundTripThroughTheEditorInTheirOwnEncoding) {
    const struct {
        const char* name;
        std::string bytes;
        std::string added;  // "Мир" in the file's encoding
        TextEncoding encoding;
    } files[] = {
        {"bom-utf8.txt",
         "\xef\xbb\xbf\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 "
         "\xe2\x95\x94\xe2\x95\x90\xe2\x95\x97 \xe2\x82\xac\r\n",
         "\xd0\x9c\xd0\xb8\xd1\x80", TextEncoding::Utf8},
        {"koi8.txt", "\xf0\xd2\xc9\xd7\xc5\xd4 \xa5\xa0\xa8\n", "\xed\xc9\xd2",
         TextEncoding::Koi8r},
    };
    for (const auto& f : files) {
        const std::string path = writeFile(f.name, f.bytes);
        DocumentCommandContext ctx = context(path, false);
        ASSERT_EQ(doc->textEncoding, f.encoding) << f.name;
        // Saved without a change: the same bytes.
        answerEditor([](EditorDialog& d) {
            d.accept();
            return d.result();
        });
        EXPECT_EQ(editDocumentFile(ctx), 1) << f.name;
        EXPECT_EQ(readFile(path), f.bytes) << f.name;
        // An edit is written in the file's encoding, and the document reloads as before.
        answerEditor([](EditorDialog& d) {
            d.editor()->moveCursor(QTextCursor::End);
            d.editor()->insertPlainText(QStringLiteral("Мир"));
            d.accept();
            return d.result();
        });
        EXPECT_EQ(editDocumentFile(ctx), 1) << f.name;
        EXPECT_EQ(readFile(path), f.bytes + f.added) << f.name;
        EXPECT_EQ(doc->textEncoding, f.encoding) << f.name;
        ASSERT_EQ(doc->lines.size(), 2u) << f.name;
        EXPECT_STREQ(doc->lines.textAt(1), "\xcc\xe8\xf0") << f.name;
        EXPECT_EQ(messages.shown.size(), 0u) << f.name;
    }
}

TEST_F(EditCommandTest, NoDocumentNoEdit) {
    DocumentCommandContext ctx;
    ctx.messages = &messages;
    EXPECT_EQ(editDocumentFile(ctx), 0);
    EXPECT_EQ(builtInRuns, 0);
}

}  // namespace
}  // namespace folvek::test
