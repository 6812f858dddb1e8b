// The editor's view of a document file: bytes in code page 1251 (or 866 for a DOS file) become
// the Unicode text the edit control shows, and back. Line ends are shown as line breaks and
// written back in the file's own style (CR LF or LF).
#pragma once

#include <QString>
#include <string>

#include "text_encoding.h"

namespace folvek {

struct EditorText {
    QString text;      // line ends as '\n'
    bool crlf = true;  // write line ends as CR LF (the file used them, or had no line end)
    bool bom = false;  // a UTF-8 file that starts with a byte-order mark
    Utf16Form utf16 = Utf16Form::None;  // a UTF-16 file (loaded as UTF-8), kept in its form
};

// DOS files are decoded straight from code page 866, so that box-drawing characters, which
// have no place in 1251, survive an edit instead of turning into the viewer's look-alikes.
EditorText decodeEditorText(const std::string& bytes, bool isDos);
// UTF-8 and KOI8-R files are shown from their own encoding and written back in it, byte for
// byte where nothing was changed; so are UTF-16 files, which the loader reads as UTF-8.
EditorText decodeEditorText(const std::string& bytes, TextEncoding encoding);

struct EncodedText {
    std::string bytes;
    int unmappable = 0;  // characters the code page cannot hold, each written as '?'
};

// Characters missing from 866 but present in 1251 take 1251's DOS look-alike.
EncodedText encodeEditorText(const QString& text, bool crlf, bool isDos);
EncodedText encodeEditorText(const QString& text, bool crlf, TextEncoding encoding,
                             bool bom = false, Utf16Form utf16 = Utf16Form::None);

// The Unicode character a code-page-866 byte stands for.
char16_t dosToUnicode(unsigned char byte);

}  // namespace folvek
