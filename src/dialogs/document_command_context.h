// What the edit and mail commands need of the main window, gathered in one place so the
// commands can also run over a document that no window shows (the tests do).
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace folvek {

class MessageSink;
class DocumentRecord;

struct DocumentCommandContext {
    QWidget* owner = nullptr;       // main window: owner of the editor and of the plugin's windows
    DocumentRecord* doc = nullptr;  // its IsDos, EditFontName and FontCharSet
    std::string path;               // the document; empty: no document is shown
    std::optional<std::string> eValue;  // /e
    MessageSink* messages = nullptr;
    // The built-in editor's boxes; null: boxes owned by the editor, so they open over it.
    MessageSink* editorMessages = nullptr;
    // The file changed (edited, rewritten in the Windows encoding): the document's entry point
    // that reads it again, after which its listeners show it.
    std::function<void()> reload;
};

}  // namespace folvek
