// The built-in document editor `EditorDialog`: a nearly full-screen, resizable dialog over the
// document file. It edits the file on disk, never the document in memory: OK writes the text
// back (in the DOS code page when the file is a DOS file) and ends with 1; leaving without
// saving ends with 0.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "messages.h"
#include "text_encoding.h"

class QPlainTextEdit;
class QPushButton;

namespace folvek {

struct EditorSession {
    std::string path;
    bool isDos = false;                    // taken from `IsDos` when the editor starts
    std::optional<TextEncoding> encoding;  // the loaded text's; when unset, isDos decides
    std::string fontName = "fixedsys";     // `EditFontName`
    std::uint8_t charSet = 1;              // `FontCharSet`
    MessageSink* messages = nullptr;       // null: message boxes owned by the editor
};

// Files above this many bytes are shown read-only: editing them would have meant cutting them.
inline constexpr std::int64_t kEditorTextLimit = 524288;

class EditorDialog : public QDialog {
    Q_OBJECT
  public:
    EditorDialog(QWidget* owner, EditorSession session);
    ~EditorDialog() override;

    QPlainTextEdit* editor() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    bool isModified() const;
    // The file is there but could not be read (or is no regular file): the reason was shown,
    // the text is empty and read-only, and the editor should not be run.
    bool refused() const { return refused_; }

    // OK: writes the file and ends with 1; on a failure the message is shown and the editor
    // stays open with its text.
    void accept() override;
    // "Отмена", Escape and the close box: asks first when the text was changed.
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void loadFile();
    void layoutControls();
    MsgAnswer tell(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons = MsgButtons::Ok);

    EditorSession session_;
    std::unique_ptr<MessageSink> ownMessages_;
    QPlainTextEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool refused_ = false;
    bool crlf_ = true;
    bool bom_ = false;
    Utf16Form utf16_ = Utf16Form::None;
};

// Runs the editor modally over `owner` (through the dialog hooks, which tests answer) and
// returns its result (1 saved, 0 not saved).
int runBuiltInEditor(QWidget* owner, const EditorSession& session);

}  // namespace folvek
