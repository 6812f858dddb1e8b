// Code-page tables and line-end handling between a document file and the edit control.
#include "editor_codec.h"

#include <QHash>

#include "codepage.h"
#include "input_tables.h"

namespace folvek {

namespace {

QHash<char16_t, unsigned char> reverseTable(const char16_t* t) {
    QHash<char16_t, unsigned char> h;
    for (int b = 255; b >= 0; --b) h.insert(t[b], static_cast<unsigned char>(b));
    return h;
}

const QHash<char16_t, unsigned char>& reverseOf(bool isDos) {
    static const QHash<char16_t, unsigned char> dos = reverseTable(oemToUnicodeTable());
    static const QHash<char16_t, unsigned char> win = reverseTable(ansiToUnicodeTable());
    return isDos ? dos : win;
}

}  // namespace

char16_t dosToUnicode(unsigned char byte) {
    return oemToUnicodeTable()[byte];
}

EditorText decodeEditorText(const std::string& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp866) return decodeEditorText(bytes, true);
    if (encoding == TextEncoding::Cp1251) return decodeEditorText(bytes, false);
    EditorText out;
    out.crlf = bytes.find("\r\n") != std::string::npos || bytes.find('\n') == std::string::npos;
    std::string plain;
    plain.reserve(bytes.size());
    std::size_t i = 0;
    if (encoding == TextEncoding::Utf8 &&
        hasUtf8Bom(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        out.bom = true;
        i = 3;
    }
    for (; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        plain.push_back(bytes[i]);
    }
    if (encoding == TextEncoding::Utf8) {
        out.text = QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size()));
    } else {
        const char16_t* koi = koi8ToUnicodeTable();
        out.text.reserve(static_cast<qsizetype>(plain.size()));
        for (char c : plain) out.text.append(QChar(koi[static_cast<unsigned char>(c)]));
    }
    return out;
}

EncodedText encodeEditorText(const QString& text, bool crlf, TextEncoding encoding, bool bom) {
    if (encoding == TextEncoding::Cp866) return encodeEditorText(text, crlf, true);
    if (encoding == TextEncoding::Cp1251) return encodeEditorText(text, crlf, false);
    EncodedText out;
    QString lines;
    lines.reserve(text.size() + 16);
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
        if (c == u'\n' && crlf) lines.append(QChar(u'\r'));
        lines.append(QChar(c));
    }
    if (encoding == TextEncoding::Utf8) {
        if (bom) out.bytes = "\xEF\xBB\xBF";
        const QByteArray utf8 = lines.toUtf8();
        out.bytes.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        return out;
    }
    static const QHash<char16_t, unsigned char> koi = reverseTable(koi8ToUnicodeTable());
    out.bytes.reserve(static_cast<std::size_t>(lines.size()));
    for (QChar qc : lines) {
        if (auto it = koi.constFind(qc.unicode()); it != koi.constEnd()) {
            out.bytes.push_back(static_cast<char>(*it));
        } else {
            out.bytes.push_back('?');
            ++out.unmappable;
        }
    }
    return out;
}

EditorText decodeEditorText(const std::string& bytes, bool isDos) {
    EditorText out;
    out.crlf = bytes.find("\r\n") != std::string::npos || bytes.find('\n') == std::string::npos;
    const char16_t* win = ansiToUnicodeTable();
    out.text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out.text.append(QChar(isDos ? dosToUnicode(b) : win[b]));
    }
    return out;
}

EncodedText encodeEditorText(const QString& text, bool crlf, bool isDos) {
    EncodedText out;
    out.bytes.reserve(static_cast<std::size_t>(text.size()) + 16);
    const auto& primary = reverseOf(isDos);
    const auto& windows = reverseOf(false);
    const std::uint8_t* toDos = ansiToOemTable();
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        // The edit control ends its paragraphs with these.
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
        if (c == u'\n') {
            if (crlf) out.bytes.push_back('\r');
            out.bytes.push_back('\n');
            continue;
        }
        if (auto it = primary.constFind(c); it != primary.constEnd()) {
            out.bytes.push_back(static_cast<char>(*it));
        } else if (auto w = windows.constFind(c); isDos && w != windows.constEnd()) {
            out.bytes.push_back(static_cast<char>(toDos[*w]));
        } else {
            out.bytes.push_back('?');
            ++out.unmappable;
        }
    }
    return out;
}

}  // namespace folvek
