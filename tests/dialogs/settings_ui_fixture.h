// A main window over a temporary settings directory for the settings dialogs and commands,
// with every dialog answered by the test: file and font dialogs, the modal run of the
// parameters dialog, help and message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog_hooks.h"
#include "main_frame.h"
#include "messages.h"

class QDialog;

namespace folvek {
class ParamDialog;
class DocumentRecord;
class ReportView;
}  // namespace folvek

namespace folvek::test {

class RecordedBoxes : public MessageSink {
  public:
    struct Call {
        std::string text, caption;
        MsgIcon icon;
    };
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons) override {
        calls.push_back({text, caption, icon});
        return MsgAnswer::Ok;
    }
    std::vector<Call> calls;
};

class SettingsUiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the frame; a document set in shellState().documentPath before is loaded.
    void start();
    ReportView& view() const;
    DocumentRecord& doc() const;

    std::string dirPath() const;  // the settings directory, ends with '/'
    std::string writeFile(const std::string& path, const std::string& bytes);
    // The value of key in [Folvk] of the file, or nothing when the file or key is missing.
    std::optional<std::string> iniValue(const std::string& path, const std::string& key) const;
    bool exists(const std::string& path) const;

    // The file dialogs answer with these paths in turn (empty: cancel); requests are kept.
    void answerFiles(std::vector<FileDialogAnswer> answers);
    struct FileRequest {
        FileDialogKind kind;
        FileDialogRequest request;
    };
    std::vector<FileRequest> fileRequests;

    // Runs the parameters command; `act` works the open dialog like a user would.
    void runParameters(const std::function<void(ParamDialog&)>& act);
    static void setEdit(QDialog& d, int id, const QString& text);
    static QString editText(QDialog& d, int id);
    static void click(QDialog& d, int id);
    static bool isChecked(QDialog& d, int id);

    QTemporaryDir dir;
    std::unique_ptr<MainFrame> frame;
    RecordedBoxes messages;
    std::vector<int> helpTopics;

  private:
    std::vector<FileDialogAnswer> answers_;
};

}  // namespace folvek::test
