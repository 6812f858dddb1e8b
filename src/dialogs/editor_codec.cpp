// Code-page tables and line-end handling between a document file and the edit control.
#include "editor_codec.h"

#include <QHash>

#include "codepage.h"

namespace folvek {

namespace {

// Code page 866, bytes 0x80..0xFF.
constexpr char16_t kDosHigh[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

const QHash<char16_t, unsigned char>& reverseOf(bool isDos) {
    static const QHash<char16_t, unsigned char> dos = [] {
        QHash<char16_t, unsigned char> h;
        for (int b = 255; b >= 0; --b) h.insert(dosToUnicode(static_cast<unsigned char>(b)), b);
        return h;
    }();
    static const QHash<char16_t, unsigned char> win = [] {
        QHash<char16_t, unsigned char> h;
        const char16_t* t = ansiToUnicodeTable();
        for (int b = 255; b >= 0; --b) h.insert(t[b], static_cast<unsigned char>(b));
        return h;
    }();
    return isDos ? dos : win;
}

}  // namespace

char16_t dosToUnicode(unsigned char byte) {
    return byte < 0x80 ? char16_t(byte) : kDosHigh[byte - 0x80];
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
