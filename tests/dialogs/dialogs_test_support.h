// Shared by the editor, edit-command and mail tests: a message sink that answers from a
// script, and a fixture with its own settings directory, a DOS/Windows document and a record.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document_command_context.h"
#include "document_record.h"
#include "messages.h"

namespace folvek {
class EditorDialog;
}

namespace folvek::test {

struct ShownMessage {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
};

// Answers questions in order; a question nobody scripted fails the test and is cancelled.
class ScriptedMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
    void answer(MsgAnswer a) { answers.push_back(a); }
    std::deque<MsgAnswer> answers;
    std::vector<ShownMessage> shown;
};

// The built-in editor, when it runs, is handed to `answer` instead of a modal loop; the
// answer's value is the editor's result.
void answerEditor(std::function<int(EditorDialog&)> answer);

// Makes every later save fail at its final sync, as a full disk does (root ignores permissions).
void failSaves();

class DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string dirPath() const;  // ends with '/'
    std::string writeFile(const std::string& name, const std::string& bytes);
    std::string readFile(const std::string& path) const;
    // A context over `path` with a DocumentRecord (IsDos as given) whose reload reads the text
    // again.
    DocumentCommandContext context(const std::string& path, bool isDos);

    QTemporaryDir dir;
    ScriptedMessages messages;
    std::unique_ptr<DocumentRecord> doc;
    int relayouts = 0;
};

// "Привет" in code page 866 and in code page 1251.
inline const std::string kDosHello = "\x8f\xe0\xa8\xa2\xa5\xe2";
inline const std::string kWinHello = "\xcf\xf0\xe8\xe2\xe5\xf2";

}  // namespace folvek::test
