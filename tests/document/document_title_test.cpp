// The title a document's file name gives in the print queue and in its PDF: a name in UTF-8
// stays, a name in a code page is decoded from the text's code page, control characters go.
#include "document_title.h"

#include <gtest/gtest.h>

namespace folvek {
namespace {

TEST(DocumentTitle, ANameInTheTextsCodePageIsDecodedFromThatCodePage) {
    // "Отчет" in each code page; none of these byte strings is valid UTF-8.
    EXPECT_EQ(titleFromName("\x8E\xE2\xE7\xA5\xE2.txt", TextEncoding::Cp866), "Отчет.txt");
    EXPECT_EQ(titleFromName("\xCE\xF2\xF7\xE5\xF2.txt", TextEncoding::Cp1251), "Отчет.txt");
    EXPECT_EQ(titleFromName("\xEF\xD4\xDE\xC5\xD4.txt", TextEncoding::Koi8r), "Отчет.txt");
    // A UTF-8 text whose name is not UTF-8: the name is taken as Windows 1251.
    EXPECT_EQ(titleFromName("\xCE\xF2\xF7\xE5\xF2", TextEncoding::Utf8), "Отчет");
    // A byte that only continues a UTF-8 character cannot start one.
    EXPECT_EQ(titleFromName("\x80.txt", TextEncoding::Cp1251), "Ђ.txt");
    EXPECT_EQ(titleFromName("\xBF.txt", TextEncoding::Cp1251), "ї.txt");
}

TEST(DocumentTitle, AUtf8NameStaysAndControlCharactersBecomeQuestionMarks) {
    EXPECT_EQ(titleFromName("Отчет.prn", TextEncoding::Cp866), "Отчет.prn");
    EXPECT_EQ(titleFromName("a\nb\tc\x7F", TextEncoding::Cp1251), "a?b?c?");
    EXPECT_EQ(titleFromName("\xCE\n", TextEncoding::Cp1251), "О?");
    EXPECT_EQ(baseName("/var/spool/Отчет.txt"), "Отчет.txt");
    EXPECT_EQ(baseName("plain"), "plain");
}

}  // namespace
}  // namespace folvek
