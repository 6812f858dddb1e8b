// The settings file: INI editing rules, every key's default and encoding, and round trips
// that leave foreign keys, PITCH and EditFontName alone.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "ini_file.h"
#include "test_support.h"

namespace folvek {
namespace {

TEST(IniFile, NamesIgnoreCaseAndBlanksAroundValues) {
    coretest::ScratchDir dir;
    dir.file("a.ini",
             "; comment\r\n[other]\r\nKey=wrong\r\n[FOLVK]\r\n  zoom =  5 \r\n;Zoom=9\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(dir.dir() + "a.ini"));
    EXPECT_EQ(ini.get("Folvk", "Zoom").value_or("-"), "5");
    EXPECT_EQ(ini.get("folvk", "ZOOM").value_or("-"), "5");
    EXPECT_FALSE(ini.get("Folvk", "Key"));
    EXPECT_EQ(ini.get("Other", "key").value_or("-"), "wrong");
    EXPECT_FALSE(IniFile().load(dir.dir() + "missing.ini"));
}

// "[]" is a section of its own, with an empty name: the keys after it leave the one before.
// A lone "[" or a "[" without its "]" is no header, and the keys after it stay where they were.
TEST(IniFile, AnEmptySectionNameEndsTheSectionBefore) {
    coretest::ScratchDir dir;
    dir.file("a.ini", "[Folvk]\nZoom=5\n[]\nZoom=7\n[\nPen=2\n[Other\nTop=3\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(dir.dir() + "a.ini"));
    EXPECT_EQ(ini.get("Folvk", "Zoom").value_or("-"), "5");
    EXPECT_EQ(ini.get("", "Zoom").value_or("-"), "7");
    EXPECT_EQ(ini.get("", "Pen").value_or("-"), "2");
    EXPECT_EQ(ini.get("", "Top").value_or("-"), "3");
}

TEST(IniFile, SetKeepsEverythingElseAndSavesAtomically) {
    coretest::ScratchDir dir;
    dir.file("a.ini", "; top\n[Folvk]\nZoom=5\nFoo=bar\n\n[Other]\nx=1\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(dir.dir() + "a.ini"));
    ini.set("Folvk", "ZOOM", "7");
    ini.set("Folvk", "New", "v");
    ini.set("Third", "k", "1");
    ASSERT_TRUE(ini.save(dir.dir() + "a.ini"));
    // An LF-only file keeps its LF line ends.
    EXPECT_EQ(dir.read("a.ini"),
              "; top\n[Folvk]\nZOOM=7\nFoo=bar\nNew=v\n\n[Other]\nx=1\n\n[Third]\nk=1\n");
    // No temporary file is left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(IniFile, FailedSaveReportsAndKeepsTheOldFile) {
    coretest::ScratchDir dir;
    IniFile ini;
    ini.set("Folvk", "Zoom", "3");
    EXPECT_FALSE(ini.save(dir.dir() + "no/such/dir/a.ini"));
    EXPECT_FALSE(ini.save(dir.path()));  // a directory
    EXPECT_FALSE(ini.save(""));
}

class Profile : public ::testing::Test {
  protected:
    std::unique_ptr<DocumentRecord> withIni(const std::string& contents,
                                            const std::string& name = "FOLVK95.INI") {
        dir.file(name, contents);
        return coretest::makeRecord(dir, messages, name);
    }
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
};

TEST_F(Profile, MissingSectionGivesDefaults) {
    auto p = withIni("[Other]\nZoom=9\n");
    EXPECT_STREQ(p->logFont.faceName, "Courier New");
    EXPECT_EQ(p->logFont.height, -13);
    EXPECT_EQ(p->logFont.weight, 400);
    EXPECT_EQ(p->logFont.charSet, 1);
    EXPECT_EQ(p->logFont.clipPrecision, 7);
    EXPECT_EQ(p->logFont.quality, 2);
    EXPECT_EQ(p->EditFontName, "fixedsys");
    EXPECT_EQ(p->IsNumPage, 1);
    EXPECT_EQ(p->isWrap, 0);
    EXPECT_EQ(p->Zoom, 3);
    EXPECT_EQ(p->Orient, 0);
    EXPECT_EQ(p->Compress1, 100);
    EXPECT_EQ(p->HeightString, 100);
    EXPECT_EQ(p->iniPath, dir.dir() + "FOLVK95.INI");
}

TEST_F(Profile, FlagAndNumberEncodings) {
    auto p = withIni(
        "[Folvk]\nIsNumPage=yes\nIsDos=YES\nisWrap=\nIsTopPicture= YES \n"
        "FontSize=  -27px\nZoom=abc\nPenWidth=+4\nOrient=2\nFontItalic=257\n"
        "Compress1=99999999999\nTopMargin=39.37\nLeftMargin=1e999\n");
    EXPECT_EQ(p->IsNumPage, 0);  // only upper-case YES is on
    EXPECT_EQ(p->IsDos, 1);
    EXPECT_EQ(p->isWrap, 1);  // an empty value turns wrapping on
    EXPECT_EQ(p->IsTopPicture, 1);
    EXPECT_EQ(p->logFont.height, -27);
    EXPECT_EQ(p->Zoom, 0);
    EXPECT_EQ(p->PenWidth, 4);
    EXPECT_EQ(p->Orient, 2);
    EXPECT_EQ(p->logFont.italic, 1);  // a byte field keeps the low byte
    EXPECT_EQ(p->Compress1, INT32_MAX);
    EXPECT_NEAR(static_cast<double>(p->TopMargin), 39.37, 1e-9);
    EXPECT_EQ(p->LeftMargin, 0);  // an infinite margin would break page arithmetic

    for (const char* value : {"YES", "1", "no", "yes"}) {
        dir.file("w.ini", std::string("[Folvk]\nisWrap=") + value + "\n");
        p->loadProfile("w.ini");
        EXPECT_EQ(p->isWrap, 1) << value;
    }
    dir.file("w.ini", "[Folvk]\nisWrap=NO\n");
    p->loadProfile("w.ini");
    EXPECT_EQ(p->isWrap, 0);
}

TEST_F(Profile, ValueLengthLimits) {
    const std::string longName(40, 'F'), longPath(300, 'p'), longEdit(60, 'e');
    auto p = withIni("[Folvk]\nFontName=" + longName + "\nTopFile=" + longPath +
                     "\nEditFontName=" + longEdit + "\n");
    EXPECT_EQ(std::string(p->logFont.faceName), longName.substr(0, 31));
    EXPECT_EQ(p->TopFile, longPath.substr(0, 254));
    EXPECT_EQ(p->EditFontName, longEdit.substr(0, 50));
}

TEST_F(Profile, BareNamesLiveInTheProgramDirectory) {
    auto p = withIni("[Folvk]\nZoom=4\n");
    dir.file("other.ini", "[Folvk]\nZoom=6\n");
    p->loadProfile("other.ini");
    EXPECT_EQ(p->Zoom, 6);
    EXPECT_EQ(p->iniPath, dir.dir() + "other.ini");
    coretest::ScratchDir elsewhere;
    elsewhere.file("x.ini", "[Folvk]\nZoom=8\n");
    p->loadProfile(elsewhere.dir() + "x.ini");
    EXPECT_EQ(p->Zoom, 8);
    EXPECT_EQ(p->iniPath, elsewhere.dir() + "x.ini");
    p->loadProfile("");  // /i with nothing after it: the directory itself, so every default
    EXPECT_EQ(p->Zoom, 3);
    EXPECT_EQ(p->saveProfile(nullptr), 0);  // and it cannot be written
}

TEST_F(Profile, SaveWritesEveryKeyInOrder) {
    auto p = withIni("");
    p->TopMargin = 39.370078L;
    p->isWrap = 1;
    p->Orient = 2;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_EQ(dir.read("FOLVK95.INI"),
              "[Folvk]\r\nFontSize=-13\r\nFontWeight=400\r\nFontItalic=0\r\nFontCharSet=1\r\n"
              "FontName=Courier New\r\nTopMargin=39.37\r\nBottomMargin=0.00\r\nLeftMargin=0.00\r\n"
              "PenWidth=0\r\nTopFile=\r\nBottFile=\r\nIsTopPicture=NO\r\nIsBotPicture=NO\r\n"
              "IsNumPage=YES\r\nIsDos=NO\r\nEncoding=auto\r\nCompress1=100\r\nCompress2="
              "100\r\nHeightString=100\r\n"
              "Zoom=3\r\nInAll1=NO\r\nInAll2=NO\r\nasBackground=NO\r\ninTextEnd=NO\r\n"
              "isWrap=YES\r\nOrient=2\r\nFitWidth=NO\r\n");
}

// The fit is off unless a file turns it on, so that files written before it lay out as they did.
TEST_F(Profile, FitWidthIsOffUnlessYes) {
    EXPECT_EQ(withIni("[Folvk]\r\nZoom=4\r\n")->FitWidth, 0);
    EXPECT_EQ(withIni("[Folvk]\r\nFitWidth=yes\r\n")->FitWidth, 0);
    auto p = withIni("[Folvk]\r\nFitWidth=YES\r\n");
    EXPECT_EQ(p->FitWidth, 1);
    p->FitWidth = 0;
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_NE(dir.read("FOLVK95.INI").find("FitWidth=NO\r\n"), std::string::npos);
}

TEST_F(Profile, EncodingKeyAndDetectionIsNeverSaved) {
    auto p = withIni("[Folvk]\r\nEncoding=koi8-r\r\n");
    EXPECT_EQ(p->Encoding, EncodingChoice::Koi8r);
    p = withIni("[Folvk]\r\nEncoding=ebcdic\r\n");
    EXPECT_EQ(p->Encoding, EncodingChoice::Auto);
    // The settings file's spelling and the command line's both mean the code page.
    for (const char* v : {"866", "cp866", "CP866"}) {
        p = withIni(std::string("[Folvk]\r\nEncoding=") + v + "\r\n");
        EXPECT_EQ(p->Encoding, EncodingChoice::Cp866) << v;
    }
    for (const char* v : {"1251", "cp1251", "Cp1251 "}) {
        p = withIni(std::string("[Folvk]\r\nEncoding=") + v + "\r\n");
        EXPECT_EQ(p->Encoding, EncodingChoice::Cp1251) << v;
    }

    // A CP866 file detected with IsDos off: in memory IsDos follows the text, the file keeps NO.
    p = withIni("[Folvk]\r\nIsDos=NO\r\n");
    const std::string dos = dir.file("dos.txt",
                                     "\x8f\xe0\xa8\xac\xa5\xe7\xa0\xad\xa8\xa5 "
                                     "\xae\xe1\xe2\xa0\xe2\xaa\xa8 \xe1\xa2\xa5\xe0\xa5\xad\xeb\n");
    ASSERT_EQ(p->loadText(dos), 1);
    EXPECT_EQ(p->textEncoding, TextEncoding::Cp866);
    EXPECT_TRUE(p->encodingDetected);
    EXPECT_EQ(p->IsDos, 1);
    EXPECT_EQ(p->userIsDos(), 0);
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_NE(dir.read("FOLVK95.INI").find("IsDos=NO\r\n"), std::string::npos);
    // The user's own choice is written.
    p->setIsDos(1);
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_NE(dir.read("FOLVK95.INI").find("IsDos=YES\r\n"), std::string::npos);
    // A settings file loaded again forgets the command line's fixed encoding.
    p->encodingOverride = EncodingChoice::Utf8;
    p->loadProfile("FOLVK95.INI");
    EXPECT_FALSE(p->encodingOverride.has_value());
}

TEST_F(Profile, RoundTripKeepsForeignKeysPitchAndEditFont) {
    const std::string original =
        "[Recent]\r\nfile=a.txt\r\n\r\n[Folvk]\r\nPITCH=49\r\nEditFontName=Terminus\r\n"
        "FontName=Liberation Mono\r\nCustom=keep me\r\nOrient=2\r\nTopMargin=  1.5\r\n";
    auto p = withIni(original);
    EXPECT_EQ(p->logFont.pitchAndFamily, 49);
    EXPECT_EQ(p->EditFontName, "Terminus");
    p->logFont.pitchAndFamily = 0;
    p->EditFontName = "changed";
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_EQ(
        saved.rfind(
            "[Recent]\r\nfile=a.txt\r\n\r\n[Folvk]\r\nPITCH=49\r\nEditFontName=Terminus\r\n", 0),
        0u);
    EXPECT_NE(saved.find("Custom=keep me\r\n"), std::string::npos);
    EXPECT_NE(saved.find("FontName=Liberation Mono\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Orient=2\r\n"), std::string::npos);
    EXPECT_NE(saved.find("TopMargin=1.50\r\n"), std::string::npos);

    // Saving under a new name writes there, and later saves follow it.
    const std::string other = dir.dir() + "copy.ini";
    ASSERT_EQ(p->saveProfile(other.c_str()), 1);
    EXPECT_EQ(p->iniPath, other);
    auto q = coretest::makeRecord(dir, messages, "copy.ini");
    EXPECT_EQ(q->logFont.pitchAndFamily, 0);  // PITCH is not written
    EXPECT_STREQ(q->logFont.faceName, "Liberation Mono");
    EXPECT_EQ(q->Orient, 2);
}

TEST_F(Profile, MarginsAreWrittenWithADotInAnyLocale) {
    auto p = withIni("");
    p->LeftMargin = -2.005L;
    p->BottomMargin = 1234.5L;
    const char* old = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    ASSERT_EQ(p->saveProfile(nullptr), 1);
    if (old) std::setlocale(LC_NUMERIC, "C");
    const std::string saved = dir.read("FOLVK95.INI");
    EXPECT_NE(saved.find("BottomMargin=1234.50\r\n"), std::string::npos);
    EXPECT_NE(saved.find("LeftMargin=-2.00\r\n"), std::string::npos);
}

// Save As into a settings file that does not exist yet makes it; a name taken by something
// that cannot be read as a settings file (here a folder) is refused with a message and left
// as it is, never replaced by a file of our keys alone.
TEST_F(Profile, SaveMakesANewFileButNeverReplacesOneItCannotRead) {
    auto p = withIni("[Folvk]\nZoom=5\n");
    const std::string fresh = dir.dir() + "new.ini";
    ASSERT_EQ(p->saveProfile(fresh.c_str()), 1);
    EXPECT_NE(dir.read("new.ini").find("Zoom=5\r\n"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());

    const std::string taken = dir.dir() + "taken.ini";
    ASSERT_EQ(::mkdir(taken.c_str(), 0755), 0);
    EXPECT_EQ(p->saveProfile(taken.c_str()), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(taken.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

}  // namespace
}  // namespace folvek
