// The command line: options, the last-one-wins rule, /m values and canonical paths.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "command_line.h"

namespace folvek {
namespace {

ShellState parse(std::vector<const char*> args, const std::string& cwd = "/work/sub") {
    args.insert(args.begin(), "/usr/bin/folvek");
    ShellState s;
    parseCommandLine(static_cast<int>(args.size()), args.data(), s, cwd);
    return s;
}

TEST(CommandLine, Defaults) {
    ShellState s = parse({});
    EXPECT_EQ(s.documentPath, "");
    EXPECT_EQ(s.IniFileName, "FOLVK95.INI");
    EXPECT_FALSE(s.iniGiven);
    EXPECT_EQ(s.dosOverride, DosOverride::None);
    EXPECT_FALSE(s.eValue);
    EXPECT_EQ(s.orientation, -1);
    EXPECT_EQ(s.batchCopies, 0);
    EXPECT_FALSE(s.printing);
}

TEST(CommandLine, OptionsInEitherCaseLastOneWins) {
    ShellState s = parse({"/l", "/P", "file.txt"});
    EXPECT_EQ(s.orientation, 0);
    EXPECT_EQ(s.documentPath, "/work/sub/file.txt");
    s = parse({"/D", "/w", "/d", "/Ereader@example.com", "/Inight.ini", "a.txt", "b.txt"});
    EXPECT_EQ(s.dosOverride, DosOverride::Dos);
    EXPECT_EQ(s.eValue.value_or("-"), "reader@example.com");
    EXPECT_EQ(s.IniFileName, "night.ini");
    EXPECT_TRUE(s.iniGiven);
    EXPECT_EQ(s.documentPath, "/work/sub/b.txt");
    s = parse({"/i", "/e", "/x", "/xyz", "/", "", "file.txt", "/wanything"});
    EXPECT_EQ(s.IniFileName, "");  // /i alone empties the name
    EXPECT_EQ(s.eValue.value_or("-"), "");
    EXPECT_EQ(s.dosOverride, DosOverride::Windows);
    EXPECT_EQ(s.documentPath, "/work/sub/file.txt");
}

TEST(CommandLine, OrientationAloneOrOverridden) {
    EXPECT_EQ(parse({"/l", "f"}).orientation, 1);
    EXPECT_EQ(parse({"/L", "f"}).orientation, 1);
    EXPECT_EQ(parse({"/p", "f"}).orientation, 0);
    EXPECT_EQ(parse({"/p", "/l", "f"}).orientation, 1);
    EXPECT_EQ(parse({"/lx", "f"}).orientation, 1);  // the rest of the word is ignored
}

TEST(CommandLine, BatchCopies) {
    EXPECT_EQ(parse({"/M3", "f"}).batchCopies, 3);
    EXPECT_EQ(parse({"/m0", "f"}).batchCopies, 1);
    EXPECT_EQ(parse({"/m", "f"}).batchCopies, 1);  // no digits: 0, which means one copy
    EXPECT_EQ(parse({"/mx2", "f"}).batchCopies, 1);
    EXPECT_EQ(parse({"/m-2", "f"}).batchCopies, -2);
    EXPECT_EQ(parse({"/m  +12z", "f"}).batchCopies, 12);
    EXPECT_EQ(parse({"/m5", "/m7"}).batchCopies, 7);
    EXPECT_EQ(parse({"/m99999999999"}).batchCopies, INT32_MAX);
    EXPECT_EQ(parseSignedDecimal("-99999999999"), INT32_MIN);
}

// Refused before any window, so that an unattended run ends: two billion copies are a typing
// slip, and a folder is no settings file.
TEST(CommandLine, RefusedCopiesAndSettingsFolders) {
    EXPECT_EQ(commandLineRefusal(parse({"/m999", "f"})), "");
    EXPECT_NE(commandLineRefusal(parse({"/m1000", "f"})).find("999"), std::string::npos);
    EXPECT_FALSE(commandLineRefusal(parse({"/m99999999999", "f"})).empty());
    EXPECT_EQ(commandLineRefusal(parse({"/m-5", "f"})), "");

    const std::string dir = std::filesystem::temp_directory_path().string();
    ShellState s = parse({"/i/", "f"});
    EXPECT_NE(commandLineRefusal(s).find("папка"), std::string::npos);
    s = parse({"/inone.ini", "f"});
    s.programDir = dir + "/";
    EXPECT_EQ(commandLineRefusal(s), "");
    // A settings file that is there, by its full path or by its name in the program's folder.
    const std::string name = "folvek-refusal-" + std::to_string(::getpid()) + ".ini";
    const std::string file = dir + "/" + name;
    { std::ofstream(file) << "[Folvk]\n"; }
    const std::string full = "/i" + file, bare = "/i" + name;
    EXPECT_EQ(commandLineRefusal(parse({full.c_str(), "f"})), "");
    s = parse({bare.c_str(), "f"});
    s.programDir = dir + "/";
    EXPECT_EQ(commandLineRefusal(s), "");
    std::filesystem::remove(file);
}

TEST(CommandLine, AbsolutePathsAreNotOptions) {
    // "/mnt/..." must not print a copy, "/data/..." must not set the DOS override.
    ShellState s = parse({"/mnt/reports/a.txt"});
    EXPECT_EQ(s.batchCopies, 0);
    EXPECT_EQ(s.documentPath, "/mnt/reports/a.txt");
    s = parse({"/data/../data/b.prn"});
    EXPECT_EQ(s.dosOverride, DosOverride::None);
    EXPECT_EQ(s.documentPath, "/data/b.prn");
    // An existing file in the root counts as a path even without a second '/'.
    s = parse({"/tmp"});
    EXPECT_EQ(s.documentPath, "/tmp");
    // /i and /e take paths and addresses as values.
    s = parse({"/i/etc/folvek/site.ini", "/e/x"});
    EXPECT_EQ(s.IniFileName, "/etc/folvek/site.ini");
    EXPECT_EQ(s.eValue.value_or("-"), "/x");
}

TEST(CanonicalPath, AbsoluteWithDotsResolved) {
    EXPECT_EQ(canonicalPath("report.txt", "/work"), "/work/report.txt");
    EXPECT_EQ(canonicalPath("../r.txt", "/work/sub"), "/work/r.txt");
    EXPECT_EQ(canonicalPath("/d/a/b/../c.prn", "/x"), "/d/a/c.prn");
    EXPECT_EQ(canonicalPath("./a/./b//c.TXT", "/w/"), "/w/a/b/c.TXT");  // case is kept
    EXPECT_EQ(canonicalPath("../../../../f", "/a/b"), "/f");            // never above the root
    EXPECT_EQ(canonicalPath("/..", "/a"), "/");
    EXPECT_EQ(canonicalPath("dir/", "/a"), "/a/dir/");
    EXPECT_EQ(canonicalPath("a\\b.txt", "/w"), "/w/a\\b.txt");  // a backslash is a character
    const std::string longName(400, 'n');
    EXPECT_EQ(canonicalPath(longName, "/w"), "/w/" + longName);  // never cut
    EXPECT_EQ(canonicalPath("x", ""), canonicalPath(currentDirectory() + "/x", "/"));
}

class SettingsDir : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* v : {"FOLVEK_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const char* old = std::getenv(v);
            saved.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
    }
    void TearDown() override {
        for (auto& [name, value] : saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(SettingsDir, PrecedenceAndTrailingSlash) {
    ::setenv("FOLVEK_HOME", "/opt/fv", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(settingsDirectory(), "/opt/fv/");
    ::unsetenv("FOLVEK_HOME");
    EXPECT_EQ(settingsDirectory(), "/cfg/folvek/");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(settingsDirectory(), "/home/u/.config/folvek/");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsDirectory(), "/home/u/.config/folvek/");
}

TEST_F(SettingsDir, EnsureCreatesAndReports) {
    std::string base = (std::filesystem::temp_directory_path() / "folvek-shell-XXXXXX").string();
    ASSERT_NE(::mkdtemp(base.data()), nullptr);
    ::setenv("FOLVEK_HOME", (base + "/a/b").c_str(), 1);
    std::string error;
    EXPECT_TRUE(ensureSettingsDirectory(&error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(base + "/a/b"));
    // Each folder made is the user's, readable by others: 0755 less the umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const char* made : {"/a", "/a/b"}) {
        struct stat st {};
        ASSERT_EQ(::stat((base + made).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u & ~mask) << made;
    }
    EXPECT_TRUE(ensureSettingsDirectory());  // already there
    std::ofstream(base + "/file") << "x";
    ::setenv("FOLVEK_HOME", (base + "/file/sub").c_str(), 1);
    EXPECT_FALSE(ensureSettingsDirectory(&error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove_all(base);
}

TEST(CurrentDirectory, AFolderDeeperThanTheFirstBufferIsNamedWhole) {
    const std::string top = std::filesystem::temp_directory_path().string() + "/folvek-deep-" +
                            std::to_string(::getpid());
    std::filesystem::remove_all(top);
    ASSERT_TRUE(std::filesystem::create_directory(top));
    const int back = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(back, 0);
    ASSERT_EQ(::chdir(top.c_str()), 0);
    std::string expected = top;
    const std::string part(200, 'd');
    for (int k = 0; k < 25; ++k) {  // some 5 000 bytes, past the first 4 096
        ASSERT_EQ(::mkdir(part.c_str(), 0700), 0);
        ASSERT_EQ(::chdir(part.c_str()), 0);
        expected += "/" + part;
    }
    const std::string got = currentDirectory();
    ASSERT_EQ(::fchdir(back), 0);
    ::close(back);
    std::filesystem::remove_all(top);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace folvek
