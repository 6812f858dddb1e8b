// Settings files as other programs write them: with a UTF-8 byte-order mark, in UTF-16 as
// Windows saves them, with LF line ends; and what the program writes: the same form back, a
// new file by the umask, values cut between characters, huge numbers bounded, and no write
// through a link to another user's file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "document/test_support.h"
#include "ini_encoding.h"
#include "ini_file.h"
#include "string_table.h"

namespace folvek {
namespace {

using coretest::MessageRecorder;
using coretest::ScratchDir;

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

class SettingsForms : public ::testing::Test {
  protected:
    std::unique_ptr<DocumentRecord> load(const std::string& bytes) {
        dir.file("FOLVK95.INI", bytes);
        return coretest::makeRecord(dir, messages);
    }
    ScratchDir dir;
    MessageRecorder messages;
};

TEST_F(SettingsForms, AByteOrderMarkIsNotPartOfTheSectionAndIsWrittenBack) {
    auto p = load("\xEF\xBB\xBF[Folvk]\r\nZoom=6\r\n");
    EXPECT_EQ(p->Zoom, 6);
    p->Zoom = 7;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF[Folvk]\r\nZoom=7\r\n", 0), 0u);
    EXPECT_EQ(saved.find("[Folvk]", 4), std::string::npos);  // no second section
}

TEST_F(SettingsForms, Utf16IsReadAndWrittenBackInUtf16) {
    auto p = load(utf16le("[Folvk]\r\nZoom=4\r\nFontName=Arial\r\n"));
    EXPECT_EQ(p->Zoom, 4);
    EXPECT_STREQ(p->logFont.faceName, "Arial");
    p->Zoom = 8;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_EQ(saved.rfind(utf16le("[Folvk]\r\nZoom=8\r\nFontName=Arial\r\n"), 0), 0u);
    EXPECT_EQ(saved.size() % 2, 0u);

    // Cyrillic and a character outside the basic plane survive the round trip.
    IniEncoding enc;
    enc.form = IniEncoding::Form::Utf16BE;
    const std::string text = "[Folvk]\nFontName=Курьер \xF0\x9F\x98\x80\n";
    IniEncoding back;
    EXPECT_EQ(decodeIniText(encodeIniText(text, enc), back),
              "[Folvk]\r\nFontName=Курьер \xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(back.form, IniEncoding::Form::Utf16BE);
    // Halves of a pair that stand alone are no characters: each reads as U+FFFD, and the
    // text after them is kept.
    const std::string lone = utf16le("a=") + std::string(
                                                 "\x00\xD8\x41\x00\x00\xDC"
                                                 "b\0\r\0\n\0",
                                                 12);
    EXPECT_EQ(decodeIniText(lone, back),
              "a=\xEF\xBF\xBD"
              "A\xEF\xBF\xBD"
              "b\r\n");

    // A CP1251 path cannot be held in UTF-16: the file keeps its bytes rather than lose them,
    // and is then read as the Windows file it has become.
    p->TopFile = "/data/\xCB\xEE\xE3\xEE.bmp";
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_NE(dir.read("FOLVK95.INI").find(p->TopFile), std::string::npos);
    auto again = coretest::makeRecord(dir, messages);
    EXPECT_EQ(again->TopFile, "/data/Лого.bmp");
    EXPECT_EQ(again->Zoom, 8);
}

TEST_F(SettingsForms, LfOnlyFilesKeepLfAndNewFilesFollowTheUmask) {
    auto p = load("[Folvk]\nZoom=2\n\n[Mine]\nkeep=me\n");
    p->Zoom = 5;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_EQ(saved.find('\r'), std::string::npos);
    EXPECT_NE(saved.find("\n[Mine]\nkeep=me\n"), std::string::npos);

    const mode_t old = ::umask(077);
    const int ok = p->saveProfile((dir.dir() + "new.ini").c_str());
    ::umask(old);
    ASSERT_EQ(ok, 1);
    struct stat st {};
    ::stat((dir.dir() + "new.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(dir.read("new.ini").find("\r\n"), std::string::npos);  // a new file is a DOS file
}

TEST_F(SettingsForms, ValuesAreCutBetweenCharactersAndHugeSizesAreBounded) {
    // 15 two-byte letters and "X": the 31-byte face-name limit falls inside the 16th letter.
    const std::string face = std::string("X") + [] {
        std::string s;
        for (int i = 0; i < 16; ++i) s += "Ж";
        return s;
    }();
    auto p = load("[Folvk]\nFontName=" + face + "\nFontSize=2147483647\n");
    EXPECT_EQ(std::string(p->logFont.faceName), face.substr(0, 31));  // 1 + 15 * 2 bytes
    EXPECT_LT(p->logFont.height, 100000);
    load("[Folvk]\nFontSize=-2147483648\n");
    p->loadProfile("FOLVK95.INI");
    EXPECT_GT(p->logFont.height, -100000);
    // A code-page 1251 value is read as the letters it means, and cut between them.
    const std::string cp1251(40, '\xC6');
    load("[Folvk]\nFontName=" + cp1251 + "\n");
    p->loadProfile("FOLVK95.INI");
    std::string fifteen;
    for (int i = 0; i < 15; ++i) fifteen += "Ж";
    EXPECT_EQ(std::string(p->logFont.faceName), fifteen);
}

// Root owns everything it creates; a link to a file nobody owns stands for "another user's".
// Windows writes its settings in its own code page: the Cyrillic values mean what they meant
// there, and the file is written back in that code page.
TEST_F(SettingsForms, ACp1251FileIsReadAndWrittenInCp1251) {
    const std::string face = "\xca\xf3\xf0\xfc\xe5\xf0";        // "Курьер" in CP1251
    const std::string logo = "C:\\\xcb\xee\xe3\xee\\logo.bmp";  // "C:\Лого\logo.bmp"
    auto p =
        load("[Folvk]\r\nFontName=" + face + "\r\nTopFile=" + logo + "\r\n[Other]\r\nX=\xff\r\n");
    EXPECT_STREQ(p->logFont.faceName, "Курьер");
    EXPECT_EQ(p->TopFile, "C:\\Лого\\logo.bmp");
    p->Zoom = 5;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_NE(saved.find("FontName=" + face + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("TopFile=" + logo + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Other]\r\nX=\xff\r\n"),
              std::string::npos);  // other sections as they were
    EXPECT_NE(saved.find("Zoom=5\r\n"), std::string::npos);
}

// A picture chosen on this machine may be named with letters code page 1251 lacks: written
// into a CP1251 file they would become '?', so that file is written as UTF-8 instead and the
// name comes back whole.
TEST_F(SettingsForms, AValueCp1251CannotHoldTurnsTheFileToUtf8) {
    auto p = load("[Folvk]\r\nFontName=\xca\xf3\xf0\xfc\xe5\xf0\r\n");
    p->TopFile = "/home/jürgen/Лого/logo.bmp";
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_NE(saved.find("TopFile=/home/jürgen/Лого/logo.bmp\r\n"), std::string::npos);
    EXPECT_NE(saved.find("FontName=Курьер\r\n"), std::string::npos);
    auto back = coretest::makeRecord(dir, messages);
    EXPECT_EQ(back->TopFile, "/home/jürgen/Лого/logo.bmp");
    EXPECT_STREQ(back->logFont.faceName, "Курьер");
}

TEST_F(SettingsForms, ALinkToAnotherUsersFileIsRefusedWithAReason) {
    const std::string other = dir.file("other.ini", "[Folvk]\r\nZoom=1\r\n");
    if (::chown(other.c_str(), 65534, 65534) != 0) GTEST_SKIP() << "cannot give a file away";
    const std::string link = dir.dir() + "FOLVK95.INI";
    ASSERT_EQ(::symlink(other.c_str(), link.c_str()), 0);
    auto p = coretest::makeRecord(dir, messages);
    p->Zoom = 9;
    EXPECT_EQ(p->saveProfile(nullptr), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind(loadString(StrCannotOpenOutput) + "\n" + link + "\n", 0),
              0u);
    EXPECT_EQ(dir.read("other.ini"), "[Folvk]\r\nZoom=1\r\n");
}

}  // namespace
}  // namespace folvek
