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

EditorText decodeUtf16(const std::string& bytes, Utf16Form form) {
    const bool big = form == Utf16Form::BigEndian;
    QString all;
    all.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        all.append(QChar(big ? char16_t(a << 8 | b) : char16_t(b << 8 | a)));
    }
    EditorText out;
    out.utf16 = form;
    out.crlf = all.contains(QStringLiteral("\r\n")) || !all.contains(QLatin1Char('\n'));
    out.text = all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

}  // namespace

char16_t dosToUnicode(unsigned char byte) {
    return oemToUnicodeTable()[byte];
}

EditorText decodeEditorText(const std::string& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp866) return decodeEditorText(bytes, true);
    if (encoding == TextEncoding::Cp1251) return decodeEditorText(bytes, false);
    if (encoding == TextEncoding::Utf8) {
        const Utf16Form form =
            utf16FormOf(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        if (form != Utf16Form::None) return decodeUtf16(bytes, form);
    }
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

EncodedText encodeEditorText(const QString& text, bool crlf, TextEncoding encoding, bool bom,
                             Utf16Form utf16) {
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
    if (encoding == TextEncoding::Utf8 && utf16 != Utf16Form::None) {
        const bool big = utf16 == Utf16Form::BigEndian;
        out.bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        out.bytes.reserve(2 + 2 * static_cast<std::size_t>(lines.size()));
        for (QChar qc : lines) {
            const char16_t u = qc.unicode();
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            out.bytes.push_back(big ? hi : lo);
            out.bytes.push_back(big ? lo : hi);
        }
        return out;
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
