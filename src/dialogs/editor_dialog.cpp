// The built-in editor: loading the file into the control, the resize rule, saving and leaving.
#include "editor_dialog.h"

#include "dialog_hooks.h"

#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <cerrno>
#include <cstring>

#include "center_dialog.h"
#include "editor_codec.h"
#include "editor_font.h"
#include "editor_template.h"
#include "file_replace.h"
#include "help_viewer.h"
#include "message_boxes.h"
#include "string_table.h"

namespace folvek {

namespace {

constexpr const char* kShownInPart =
    "Показано только начало файла; он открыт только для чтения, чтобы не потерять остальное.";
constexpr const char* kUnreadable = "Файл не удалось прочитать: редактор не открыт.";
constexpr const char* kNotAFile = "Это не обычный файл: редактор его не открывает.";
constexpr const char* kReadOnlyTitle = " (только начало файла, только чтение)";
TextEncoding fileEncoding(const EditorSession& s) {
    return s.encoding.value_or(s.isDos ? TextEncoding::Cp866 : TextEncoding::Cp1251);
}

constexpr const char* kUnmappableText =
    "Некоторые символы текста нельзя записать в кодировке файла, они будут заменены знаком "
    "\"?\". Сохранить файл?";

}  // namespace

EditorDialog::EditorDialog(QWidget* owner, EditorSession session)
    : QDialog(owner), session_(std::move(session)) {
    buildDialog(this, editorTemplate());
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    setMinimumSize(200, 120);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (!session_.messages) ownMessages_ = std::make_unique<QtMessages>(this);

    edit_ = qobject_cast<QPlainTextEdit*>(dialogItem(this, kEditorText));
    ok_ = qobject_cast<QPushButton*>(dialogItem(this, kEditorOk));
    cancel_ = qobject_cast<QPushButton*>(dialogItem(this, kEditorCancel));
    connect(ok_, &QPushButton::clicked, this, &EditorDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &EditorDialog::reject);
    addHelpKey(*this, HelpEditor);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        resize(screen->geometry().width() - 20, screen->availableGeometry().height() - 20);
    }
    CenterDialog(this);
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(session_.path)));

    loadFile();
    edit_->setFont(editorFont(session_.fontName, session_.charSet, edit_->font()));
    edit_->document()->setModified(false);
    layoutControls();
    edit_->setFocus();
}

EditorDialog::~EditorDialog() = default;

bool EditorDialog::isModified() const {
    return edit_->document()->isModified();
}

MsgAnswer EditorDialog::tell(const std::string& text, const std::string& caption, MsgIcon icon,
                             MsgButtons buttons) {
    MessageSink* sink = session_.messages ? session_.messages : ownMessages_.get();
    return sink->show(text, caption, icon, buttons);
}

void EditorDialog::loadFile() {
    std::string bytes;
    std::size_t total = 0;
    // Only what the control may hold is read: a file of gigabytes costs no more than that.
    // A missing file leaves the editor empty and saving creates it; one that is there but
    // cannot be read is not edited at all, or OK would write an empty text over it.
    if (!readFilePrefix(session_.path, static_cast<std::size_t>(kEditorTextLimit), bytes, total)) {
        const int why = errno;
        if (why == ENOENT) return;
        refused_ = true;
        tell(std::string(why == EISDIR || why == EINVAL ? kNotAFile : kUnreadable) + "\n" +
                 std::strerror(why),
             "!!!", MsgIcon::Error);
        edit_->setReadOnly(true);
        ok_->setEnabled(false);
        return;
    }
    if (total > bytes.size()) {
        tell(loadString(StrFileTooLarge) + "\n" + kShownInPart, "!!!", MsgIcon::Information);
        edit_->setReadOnly(true);
        ok_->setEnabled(false);
        setWindowTitle(windowTitle() + QString::fromUtf8(kReadOnlyTitle));
    }
    EditorText text = decodeEditorText(bytes, fileEncoding(session_));
    crlf_ = text.crlf;
    bom_ = text.bom;
    utf16_ = text.utf16;
    edit_->setPlainText(text.text);
    edit_->moveCursor(QTextCursor::Start);
}

void EditorDialog::layoutControls() {
    const QRect outer = frameGeometry();
    const int frame = qMax(0, (outer.width() - width()) / 2);
    const int w = outer.width();
    const int h = outer.height();
    edit_->setGeometry(0, 0, qMax(0, w - 2 * frame), qMax(0, h - 70));
    ok_->move(10, h - 60);
    cancel_->move(110, h - 60);
}

void EditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls();
}

void EditorDialog::accept() {
    if (!ok_->isEnabled()) return;
    // The raw text keeps no-break spaces, which the plain-text view would turn into blanks.
    const EncodedText out = encodeEditorText(edit_->document()->toRawText(), crlf_,
                                             fileEncoding(session_), bom_, utf16_);
    if (out.unmappable > 0 &&
        tell(kUnmappableText, "???", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    // On every failure the editor stays open with its text, so nothing typed is lost.
    const SaveResult saved = saveFile(session_.path, out.bytes);
    switch (saved.status) {
        case SaveStatus::Ok:
            break;
        case SaveStatus::WriteFailed:
        case SaveStatus::RestoreFailed:
            tell("Error writing to file!\n" + saveFailureReason(saved), "Error", MsgIcon::Error);
            return;
        default:
            tell("Error opening file!\n" + saveFailureReason(saved), "Error", MsgIcon::Error);
            return;
    }
    done(1);
}

void EditorDialog::reject() {
    if (!isModified()) {
        done(0);
        return;
    }
    switch (tell(loadString(StrSaveChanges), "", MsgIcon::Question, MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            accept();
            break;
        case MsgAnswer::No:
            done(0);
            break;
        default:
            break;  // Cancel: keep editing
    }
}

int runBuiltInEditor(QWidget* owner, const EditorSession& session) {
    EditorDialog dialog(owner, session);
    if (dialog.refused()) return 0;  // the reason was shown; nothing to edit
    return dialogHooks().runModal(dialog);
}

}  // namespace folvek
