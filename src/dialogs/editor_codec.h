// The editor's view of a document file: bytes in code page 1251 (or 866 for a DOS file) become
// the Unicode text the edit control shows, and back. Line ends are shown as line breaks and
// written back in the file's own style (CR LF or LF).
#pragma once

#include <QString>
#include <string>

namespace folvek {

struct EditorText {
    QString text;      // line ends as '\n'
    bool crlf = true;  // write line ends as CR LF (the file used them, or had no line end)
};

// DOS files are decoded straight from code page 866, so that box-drawing characters, which
// have no place in 1251, survive an edit instead of turning into the viewer's look-alikes.
EditorText decodeEditorText(const std::string& bytes, bool isDos);

struct EncodedText {
    std::string bytes;
    int unmappable = 0;  // characters the code page cannot hold, each written as '?'
};

// Characters missing from 866 but present in 1251 take 1251's DOS look-alike.
EncodedText encodeEditorText(const QString& text, bool crlf, bool isDos);

// The Unicode character a code-page-866 byte stands for.
char16_t dosToUnicode(unsigned char byte);

}  // namespace folvek
