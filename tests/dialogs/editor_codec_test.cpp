// The editor's code-page and line-end handling: every byte a file can hold comes back as it was.
#include <gtest/gtest.h>

#include "codepage.h"
#include "editor_codec.h"

namespace folvek {
namespace {

std::string everyByteExceptLineEnds() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') s.push_back(static_cast<char>(b));
    return s;
}

TEST(EditorCodec, EveryByteSurvivesARoundTripInBothCodePages) {
    const std::string bytes = everyByteExceptLineEnds() + "\r\n" + everyByteExceptLineEnds();
    for (bool dos : {true, false}) {
        const EditorText shown = decodeEditorText(bytes, dos);
        EXPECT_TRUE(shown.crlf);
        const EncodedText back = encodeEditorText(shown.text, shown.crlf, dos);
        EXPECT_EQ(back.unmappable, 0) << "dos=" << dos;
        EXPECT_EQ(back.bytes, bytes) << "dos=" << dos;
    }
}

TEST(EditorCodec, DosLettersReadAsTheViewerShowsThemAndBoxesStayBoxes) {
    // Cyrillic letters: the editor shows what the viewer's 866 -> 1251 conversion shows.
    const std::uint8_t* toWin = oemToAnsiTable();
    for (int b = 0x80; b <= 0xF1; ++b) {
        if (b >= 0xB0 && b < 0xE0) continue;  // box drawing
        EXPECT_EQ(dosToUnicode(static_cast<unsigned char>(b)), ansiToUnicodeTable()[toWin[b]])
            << "byte " << b;
    }
    EXPECT_EQ(decodeEditorText("\xc9\xcd\xbb", true).text, QStringLiteral("╔═╗"));
}

TEST(EditorCodec, LineEndsKeepTheFilesStyle) {
    EXPECT_FALSE(decodeEditorText("a\nb\n", false).crlf);
    // CR LF becomes one line break everywhere, the file's last one too; a lone CR stays.
    EXPECT_EQ(decodeEditorText("a\r\nb\r\n", false).text, QStringLiteral("a\nb\n"));
    EXPECT_EQ(decodeEditorText("a\rb\r", true).text, QStringLiteral("a\rb\r"));
    EXPECT_EQ(encodeEditorText(QStringLiteral("a\nb\n"), false, false).bytes, "a\nb\n");
    EXPECT_EQ(encodeEditorText(QStringLiteral("a\nb"), true, true).bytes, "a\r\nb");
    // A file without any line end is a DOS/Windows file: new lines get CR LF.
    EXPECT_TRUE(decodeEditorText("abc", false).crlf);
    // The edit control's own paragraph ends count as line ends.
    EXPECT_EQ(encodeEditorText(QString::fromUtf16(u"a\u2029b"), false, false).bytes, "a\nb");
}

TEST(EditorCodec, CharactersTheCodePageLacks) {
    // Missing from 866 but in 1251: the viewer's DOS look-alike of the 1251 character.
    const EncodedText quote = encodeEditorText(QStringLiteral("«"), false, true);
    EXPECT_EQ(quote.unmappable, 0);
    EXPECT_EQ(quote.bytes, std::string(1, static_cast<char>(ansiToOemTable()[0xAB])));
    // In neither code page: '?' and counted.
    const EncodedText tick = encodeEditorText(QStringLiteral("a✓b"), false, false);
    EXPECT_EQ(tick.bytes, "a?b");
    EXPECT_EQ(tick.unmappable, 1);
}

TEST(EditorCodec, AUtf16FileIsEditedInItsOwnForm) {
    // What the loader calls UTF-8 may be UTF-16 with its mark: it goes back byte for byte.
    const QString text = QStringLiteral("Ведомость ╔═╗ 😀\nИтого\n");
    for (const bool big : {false, true}) {
        for (const bool crlf : {false, true}) {
            std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            QString withEnds = text;
            if (crlf) withEnds.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
            for (const QChar c : withEnds) {
                const char hi = static_cast<char>(c.unicode() >> 8);
                const char lo = static_cast<char>(c.unicode() & 0xFF);
                bytes += big ? std::string{hi, lo} : std::string{lo, hi};
            }
            const EditorText shown = decodeEditorText(bytes, TextEncoding::Utf8);
            EXPECT_EQ(shown.text, text);
            EXPECT_EQ(shown.crlf, crlf);
            EXPECT_EQ(shown.utf16, big ? Utf16Form::BigEndian : Utf16Form::LittleEndian);
            const EncodedText back =
                encodeEditorText(shown.text, shown.crlf, TextEncoding::Utf8, false, shown.utf16);
            EXPECT_EQ(back.bytes, bytes) << "big=" << big << " crlf=" << crlf;
            EXPECT_EQ(back.unmappable, 0);
        }
    }
    // Plain UTF-8 stays UTF-8.
    EXPECT_EQ(decodeEditorText("\xD0\x98", TextEncoding::Utf8).utf16, Utf16Form::None);
}

// KOI8-R and UTF-8 files: every byte KOI8-R can hold comes back, a UTF-8 mark is kept only if
// the file had one, line ends keep the file's style.
TEST(EditorCodec, Koi8AndUtf8FilesKeepTheirBytesMarksAndLineEnds) {
    const std::string bytes = everyByteExceptLineEnds() + "\r\n" + everyByteExceptLineEnds();
    const EditorText koi = decodeEditorText(bytes, TextEncoding::Koi8r);
    EXPECT_TRUE(koi.crlf);
    EXPECT_EQ(koi.text.size(), 2 * 254 + 1);
    EXPECT_EQ(decodeEditorText("\xC1\xE1\xA3", TextEncoding::Koi8r).text, QStringLiteral("аАё"));
    const EncodedText koiBack =
        encodeEditorText(koi.text, true, TextEncoding::Koi8r, false, Utf16Form::None);
    EXPECT_EQ(koiBack.bytes, bytes);
    EXPECT_EQ(koiBack.unmappable, 0);
    const EncodedText tick = encodeEditorText(QStringLiteral("a✓\n"), false, TextEncoding::Koi8r,
                                              false, Utf16Form::None);
    EXPECT_EQ(tick.bytes, "a?\n");
    EXPECT_EQ(tick.unmappable, 1);

    const EditorText marked =
        decodeEditorText("\xEF\xBB\xBF\xD0\x9C\xD0\xB8\xD1\x80\n", TextEncoding::Utf8);
    EXPECT_TRUE(marked.bom);
    EXPECT_FALSE(marked.crlf);
    EXPECT_EQ(marked.text, QStringLiteral("Мир\n"));
    EXPECT_EQ(encodeEditorText(marked.text, false, TextEncoding::Utf8, true, Utf16Form::None).bytes,
              "\xEF\xBB\xBF\xD0\x9C\xD0\xB8\xD1\x80\n");
    const EditorText plain = decodeEditorText("a\r\nb\r", TextEncoding::Utf8);
    EXPECT_FALSE(plain.bom);
    EXPECT_TRUE(plain.crlf);
    EXPECT_EQ(plain.text, QStringLiteral("a\nb\r"));  // a CR at the very end stays
    EXPECT_EQ(encodeEditorText(plain.text, true, TextEncoding::Utf8, false, Utf16Form::None).bytes,
              "a\r\nb\r");
    // The fixed code pages chosen by name read as the DOS and Windows tables.
    EXPECT_EQ(decodeEditorText("\xC9\xCD", TextEncoding::Cp866).text, QStringLiteral("╔═"));
    EXPECT_EQ(decodeEditorText("\xC6", TextEncoding::Cp1251).text, QStringLiteral("Ж"));
    EXPECT_EQ(
        encodeEditorText(QStringLiteral("Ж"), false, TextEncoding::Cp866, false, Utf16Form::None)
            .bytes,
        "\x86");
}

// UTF-16: a file with only LF keeps LF, one without any line end takes CR LF; the mark alone is
// an empty text.
TEST(EditorCodec, Utf16LineEndsAndAnEmptyFile) {
    const EditorText lf = decodeEditorText(std::string("\xFF\xFE"
                                                       "a\0\n\0b\0",
                                                       8),
                                           TextEncoding::Utf8);
    EXPECT_EQ(lf.text, QStringLiteral("a\nb"));
    EXPECT_FALSE(lf.crlf);
    const EditorText none = decodeEditorText(std::string("\xFE\xFF\0a", 4), TextEncoding::Utf8);
    EXPECT_EQ(none.text, QStringLiteral("a"));
    EXPECT_TRUE(none.crlf);
    const EditorText empty = decodeEditorText("\xFF\xFE", TextEncoding::Utf8);
    EXPECT_EQ(empty.utf16, Utf16Form::LittleEndian);
    EXPECT_TRUE(empty.text.isEmpty());
    EXPECT_EQ(encodeEditorText(empty.text, true, TextEncoding::Utf8, false, empty.utf16).bytes,
              "\xFF\xFE");
}

}  // namespace
}  // namespace folvek
