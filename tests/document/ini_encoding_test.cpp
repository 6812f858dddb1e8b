// Settings text in each of its forms and back, byte for byte: code page 1251 with letters of
// two and three UTF-8 bytes and a character it lacks, marks given twice, line ends, and a
// UTF-16 file whose values are no UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "ini_encoding.h"

namespace folvek {
namespace {

TEST(IniEncodingForms, Cp1251RoundTripsEveryWidthOfCharacter) {
    // "Шрифт=Arial Cyr", "№" (0xB9), "€" (0x88), DEL, and the last letter "я" (0xFF).
    const std::string raw = "[\xD8\xF0\xE8\xF4\xF2]\r\nA=\xB9 \x88\x7F\xFF\r\n";
    IniEncoding enc;
    const std::string text = decodeIniText(raw, enc);
    EXPECT_EQ(enc.form, IniEncoding::Form::Cp1251);
    EXPECT_TRUE(enc.crlf);
    EXPECT_EQ(text, "[Шрифт]\r\nA=№ €\x7Fя\r\n");
    EXPECT_EQ(encodeIniText("[Шрифт]\nA=№ €\x7Fя\n", enc), raw);
    // A character 1251 lacks keeps the whole file in UTF-8, nothing turned into '?'.
    EXPECT_EQ(encodeIniText("A=✓ я\n", enc), "A=✓ я\r\n");
    EXPECT_EQ(encodeIniText("A=\xF0\x9F\x98\x80\n", enc), "A=\xF0\x9F\x98\x80\r\n");
    // A text that is no UTF-8 (a stray byte in a value) stays in 1251: each character it lacks
    // is one '?', a stray byte one too, and the letters after them are kept.
    EXPECT_EQ(encodeIniText("A=\x80"
                            "b\xF0\x9F\x98\x80"
                            "c\xFF"
                            "d\xD0\xAF\n",
                            enc),
              "A=?b?c?d\xDF\r\n");
    // U+A026 differs from "…" (U+2026) in one bit of its first byte: 1251 lacks it.
    EXPECT_EQ(encodeIniText("A=\xEA\x80\xA6\n", enc), "A=\xEA\x80\xA6\r\n");
    EXPECT_EQ(encodeIniText("A=\xE2\x80\xA6\n", enc), "A=\x85\r\n");
}

TEST(IniEncodingForms, MarksLineEndsAndBytesUtf16CannotHold) {
    IniEncoding enc;
    EXPECT_EQ(decodeIniText("\xEF\xBB\xBF\xEF\xBB\xBF[a]\nk=v\n", enc), "[a]\nk=v\n");
    EXPECT_EQ(enc.form, IniEncoding::Form::Utf8Bom);
    EXPECT_FALSE(enc.crlf) << "LF-only files keep LF";
    EXPECT_EQ(encodeIniText("[a]\nk=v\n", enc), "\xEF\xBB\xBF[a]\nk=v\n");
    // A mark inside UTF-16 text is left out too; the form stays UTF-16.
    EXPECT_EQ(decodeIniText(std::string("\xFF\xFE\xFF\xFE[\0a\0]\0", 10), enc), "[a]");
    EXPECT_EQ(enc.form, IniEncoding::Form::Utf16LE);
    EXPECT_TRUE(enc.crlf) << "no line end at all means CR LF";
    // A file that is its mark and nothing more is empty in that form.
    const std::pair<std::string, IniEncoding::Form> marks[] = {
        {"\xEF\xBB\xBF", IniEncoding::Form::Utf8Bom},
        {"\xFF\xFE", IniEncoding::Form::Utf16LE},
        {"\xFE\xFF", IniEncoding::Form::Utf16BE},
    };
    for (const auto& [mark, form] : marks) {
        EXPECT_EQ(decodeIniText(mark, enc), "") << mark.size();
        EXPECT_EQ(enc.form, form) << mark.size();
    }
    EXPECT_EQ(decodeIniText("\n[a]", enc), "\n[a]");
    EXPECT_FALSE(enc.crlf) << "a line feed first";
    EXPECT_EQ(decodeIniText("[a]\r\n", enc), "[a]\r\n");
    EXPECT_EQ(enc.form, IniEncoding::Form::Bytes);
    EXPECT_TRUE(enc.crlf);

    // A value that is no UTF-8 (a 1251 path) would be lost in UTF-16: the bytes are written.
    IniEncoding utf16;
    utf16.form = IniEncoding::Form::Utf16BE;
    utf16.crlf = false;
    EXPECT_EQ(encodeIniText("p=\xC0\xC1\n", utf16), "p=\xC0\xC1\n");
    EXPECT_EQ(encodeIniText("p=я\n", utf16), std::string("\xFE\xFF\0p\0=\x04\x4F\0\n", 10));
    utf16.form = IniEncoding::Form::Utf16LE;
    EXPECT_EQ(encodeIniText("p=\xC0\n", utf16), "p=\xC0\n");
    EXPECT_EQ(encodeIniText("p=я\n", utf16), std::string("\xFF\xFEp\0=\0\x4F\x04\n\0", 10));
}

}  // namespace
}  // namespace folvek
