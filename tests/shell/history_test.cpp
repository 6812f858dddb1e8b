// The recent-file history: lookup, save, the switch-off marker, text-mode rules, long and odd
// paths, concurrent saves.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "history.h"
#include "shell_state.h"

namespace fs = std::filesystem;
using namespace folvek;

namespace {

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("folvek-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / "history.cfg").string();
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void write(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
    std::string read() {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path dir;
    std::string file;
};

}  // namespace

TEST_F(HistoryTest, MissingFileLookupFindsNothingAndSaveWithDefaultCreatesEmptyFile) {
    std::string ini = "FOLVK95.INI";
    EXPECT_FALSE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(history::save(file, "/r/a.txt", ini));
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(read(), "");
}

TEST_F(HistoryTest, EmptyDocumentPathDoesNothing) {
    std::string ini = "REPORT.INI";
    EXPECT_FALSE(history::save(file, "", ini));
    EXPECT_FALSE(fs::exists(file));
    write("\tOTHER.INI\r\n");
    EXPECT_FALSE(history::lookup(file, "", ini));
    EXPECT_EQ(ini, "REPORT.INI");
}

TEST_F(HistoryTest, SaveUpdatesInPlaceAppendsAndDropsWithDefault) {
    write("/r/a.txt\tA.INI\r\n/r/b.txt\tB.INI\r\n/r/c.txt\tC.INI\r\n");
    EXPECT_TRUE(history::save(file, "/r/b.txt", "NEW.INI"));
    EXPECT_EQ(read(), "/r/a.txt\tA.INI\r\n/r/b.txt\tNEW.INI\r\n/r/c.txt\tC.INI\r\n");
    EXPECT_TRUE(history::save(file, "/r/d.txt", "/etc/full path.ini"));
    EXPECT_EQ(read(),
              "/r/a.txt\tA.INI\r\n/r/b.txt\tNEW.INI\r\n/r/c.txt\tC.INI\r\n"
              "/r/d.txt\t/etc/full path.ini\r\n");
    EXPECT_TRUE(history::save(file, "/r/a.txt", "FOLVK95.INI"));
    EXPECT_EQ(read(), "/r/b.txt\tNEW.INI\r\n/r/c.txt\tC.INI\r\n/r/d.txt\t/etc/full path.ini\r\n");
}

TEST_F(HistoryTest, DuplicatesAreAllRewrittenAndLookupTakesTheFirst) {
    write("/r/a.txt\tFIRST.INI\n/r/x.txt\tX.INI\n/r/a.txt\tSECOND.INI\n");
    std::string ini = "FOLVK95.INI";
    EXPECT_TRUE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_EQ(ini, "FIRST.INI");
    history::save(file, "/r/a.txt", "THIRD.INI");
    EXPECT_EQ(read(), "/r/a.txt\tTHIRD.INI\r\n/r/x.txt\tX.INI\r\n/r/a.txt\tTHIRD.INI\r\n");
}

TEST_F(HistoryTest, PathsAreComparedExactlyAndNeverUpperCased) {
    write("/R/A.TXT\tUPPER.INI\n/r/a.txt\tlower.ini\n");
    std::string ini = "FOLVK95.INI";
    EXPECT_TRUE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_EQ(ini, "lower.ini");
    history::save(file, "/r/a.txt", "lower.ini");
    EXPECT_EQ(read(), "/R/A.TXT\tUPPER.INI\r\n/r/a.txt\tlower.ini\r\n");
    // Only the exact default name counts as the default: folvk95.ini is another file here.
    EXPECT_TRUE(history::isDefaultSettings("FOLVK95.INI"));
    EXPECT_FALSE(history::isDefaultSettings("folvk95.ini"));
    EXPECT_FALSE(history::isDefaultSettings("/home/u/.config/folvek/FOLVK95.INI"));
}

TEST_F(HistoryTest, TabAndMissingTabOnTheMatchingLine) {
    write("/r/empty.txt\t\n/r/notab.txt\n");
    std::string ini = "KEEP.INI";
    EXPECT_TRUE(history::lookup(file, "/r/empty.txt", ini));
    EXPECT_EQ(ini, "");
    ini = "KEEP.INI";
    EXPECT_FALSE(history::lookup(file, "/r/notab.txt", ini));
    EXPECT_EQ(ini, "KEEP.INI");
    // A line without a tab is written back with an empty second field.
    history::save(file, "/r/other.txt", "FOLVK95.INI");
    EXPECT_EQ(read(), "/r/empty.txt\t\r\n/r/notab.txt\t\r\n");
}

TEST_F(HistoryTest, NoHistoryMarkerSwitchesEverythingOff) {
    const std::string content = "NOHISTORY please\r\n/r/a.txt\tA.INI\r\n";
    write(content);
    std::string ini = "FOLVK95.INI";
    EXPECT_FALSE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_EQ(ini, "FOLVK95.INI");
    EXPECT_FALSE(history::save(file, "/r/a.txt", "B.INI"));
    EXPECT_EQ(read(), content);
    // The marker must be at the very start and in capitals.
    write("nohistory\n/r/a.txt\tA.INI\n");
    EXPECT_TRUE(history::lookup(file, "/r/a.txt", ini));
}

TEST_F(HistoryTest, TextModeDropsCarriageReturnsAndStopsAtCtrlZ) {
    write("/r/a.txt\tA\r.INI\r\n\x1a/r/b.txt\tB.INI\r\n");
    std::string ini;
    EXPECT_TRUE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_EQ(ini, "A.INI");
    ini = "X.INI";
    EXPECT_FALSE(history::lookup(file, "/r/b.txt", ini));
    history::save(file, "/r/c.txt", "C.INI");
    EXPECT_EQ(read(), "/r/a.txt\tA.INI\r\n/r/c.txt\tC.INI\r\n");
}

TEST_F(HistoryTest, LongPathsAndPathsWithTabsOrLineFeedsAreFoundAgain) {
    const std::string longDoc = "/r/" + std::string(1500, 'd') + ".txt";
    const std::string longIni = "/etc/" + std::string(700, 's') + ".ini";
    const std::string tabbed = "/r/a\tb\nc%41\r.txt";
    for (int run = 0; run < 3; ++run) {  // each run saves again: no entry is appended twice
        ASSERT_TRUE(history::save(file, longDoc, longIni));
        ASSERT_TRUE(history::save(file, tabbed, "odd\tname%.ini"));
        ASSERT_TRUE(history::save(file, "/r/plain.txt", "P.INI"));
    }
    EXPECT_EQ(history::parse(history::fromTextMode(read())).size(), 3u);
    std::string ini;
    EXPECT_TRUE(history::lookup(file, longDoc, ini));
    EXPECT_EQ(ini, longIni);
    EXPECT_TRUE(history::lookup(file, tabbed, ini));
    EXPECT_EQ(ini, "odd\tname%.ini");
    // Plain entries stay as they always were; only the odd one is escaped.
    EXPECT_NE(read().find("\r\n%/r/a%09b%0Ac%2541%0D.txt\todd%09name%25.ini\r\n"),
              std::string::npos);
    EXPECT_NE(read().find("\r\n/r/plain.txt\tP.INI\r\n"), std::string::npos);

    // Hex digits in either case; a '%' not followed by two of them stays as it is.
    write("%/r/%4a%4A%zz%g1%4\tX%2e%2EINI\r\n");
    EXPECT_TRUE(history::lookup(file, "/r/JJ%zz%g1%4", ini));
    EXPECT_EQ(ini, "X..INI");
    write("%/r/%40%30%00x\tY.INI\r\n");  // 0 as the first or the second digit
    EXPECT_TRUE(history::lookup(file, std::string("/r/@0\0x", 7), ini));
    EXPECT_EQ(ini, "Y.INI");

    // A settings name too long to be held is never taken, and never comes back cut.
    write("/r/a.txt\t" + std::string(history::kIniNameBytes + 1, 's') + "\n");
    ini = "KEEP.INI";
    EXPECT_FALSE(history::lookup(file, "/r/a.txt", ini));
    EXPECT_EQ(ini, "KEEP.INI");
}

// Millions of blank lines cost no entries: they are skipped while reading and dropped on the
// next save. The check counts entries, not time or memory, so it cannot be flaky.
TEST_F(HistoryTest, BlankLinesCostNothingAndAreDropped) {
    write(std::string(3'000'000, '\n') + "/r/a.txt\tA.INI\n");
    EXPECT_EQ(history::parse(history::fromTextMode(read())).size(), 1u);
    std::string ini;
    EXPECT_TRUE(history::lookup(file, "/r/a.txt", ini));
    ASSERT_TRUE(history::save(file, "/r/b.txt", "B.INI"));
    EXPECT_EQ(read(), "/r/a.txt\tA.INI\r\n/r/b.txt\tB.INI\r\n");
}

// Two processes save the history at the same moment, many times over: every entry of both
// survives, since each merges what the other wrote under the lock.
TEST_F(HistoryTest, TwoProcessesSavingAtOnceLoseNoEntry) {
    write("/r/old.txt\tOLD.INI\n");
    constexpr int kRounds = 60;
    const pid_t child = ::fork();
    const char* who = child == 0 ? "child" : "parent";
    bool ok = true;
    for (int i = 0; i < kRounds; ++i)
        ok = history::save(file, "/r/" + std::string(who) + std::to_string(i) + ".txt", "X.INI") &&
             ok;
    if (child == 0) ::_exit(ok ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto entries = history::parse(history::fromTextMode(read()));
    EXPECT_EQ(entries.size(), 1u + 2 * kRounds);
    std::string ini;
    for (int i = 0; i < kRounds; ++i) {
        EXPECT_TRUE(history::lookup(file, "/r/child" + std::to_string(i) + ".txt", ini)) << i;
        EXPECT_TRUE(history::lookup(file, "/r/parent" + std::to_string(i) + ".txt", ini)) << i;
    }
}

TEST_F(HistoryTest, UnreadableHistoryIsLeftAsItWas) {
    // A directory in the history's place cannot be read (even by root).
    fs::create_directory(file);
    fs::create_directory(fs::path(file) / "keep");
    EXPECT_FALSE(history::save(file, "/r/b.txt", "B.INI"));
    EXPECT_TRUE(fs::is_directory(fs::path(file) / "keep"));
    std::string ini = "X.INI";
    EXPECT_FALSE(history::lookup(file, "/r/b.txt", ini));
    EXPECT_EQ(ini, "X.INI");
}

TEST_F(HistoryTest, SaveReplacesTheFileAtomicallyAndLeavesNoTemporaryFiles) {
    write("/r/a.txt\tA.INI\n");
    history::save(file, "/r/b.txt", "B.INI");
    int files = 0;
    for (auto& e : fs::directory_iterator(dir)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
    // A directory the history cannot be written into: the history is rewritten in place.
    if (::geteuid() != 0) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_TRUE(history::save(file, "/r/c.txt", "C.INI"));
        fs::permissions(dir, fs::perms::owner_all);
        EXPECT_EQ(read(), "/r/a.txt\tA.INI\r\n/r/b.txt\tB.INI\r\n/r/c.txt\tC.INI\r\n");
    }
}

TEST_F(HistoryTest, SwitchingBetweenTwoDocumentsRestoresEachSettingsFile) {
    ShellState shell;
    shell.programDir = dir.string() + "/";
    shell.documentPath = "/r/a.txt";
    shell.IniFileName = "REPORT.INI";
    // Open B: save for A, switch, look B up (no entry: the settings file stays).
    history::save(shell);
    shell.documentPath = "/r/b.txt";
    EXPECT_FALSE(history::lookup(shell));
    EXPECT_EQ(shell.IniFileName, "REPORT.INI");
    shell.IniFileName = "B.INI";
    // Back to A.
    history::save(shell);
    shell.documentPath = "/r/a.txt";
    EXPECT_TRUE(history::lookup(shell));
    EXPECT_EQ(shell.IniFileName, "REPORT.INI");
    EXPECT_EQ(read(), "/r/a.txt\tREPORT.INI\r\n/r/b.txt\tB.INI\r\n");
}
