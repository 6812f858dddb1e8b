// The history when its directory or disk will not take it, and when history.cfg is not a file:
// a failed save returns false and leaves the old file byte for byte; nothing hangs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "file_replace.h"
#include "history.h"
#include "shell_state.h"

namespace fs = std::filesystem;
using namespace folvek;

namespace {

const std::string kOld = "/home/u/a.txt\tA.INI\r\n/home/u/b.txt\tB.INI\r\n";

int refuseTemp(char*) {
    errno = EROFS;
    return -1;
}
int written = 0;
ssize_t fillUp(int fd, const void* data, std::size_t n) {
    if (written >= 10) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t take = std::min<std::size_t>(n, 10 - written);
    written += static_cast<int>(take);
    return ::write(fd, data, take);
}

class HistoryFault : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("folvek-hfault-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / history::kFileName).string();
        std::ofstream(file, std::ios::binary) << kOld;
    }
    void TearDown() override {
        fileSystemCalls() = defaultFileSystemCalls();
        (void)!std::system(("chattr -i '" + dir.string() + "' 2>/dev/null").c_str());
        fs::remove_all(dir);
    }
    std::string read() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void expectUntouched() {
        EXPECT_EQ(read(), kOld);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
        std::string ini = "FOLVK95.INI";
        EXPECT_TRUE(history::lookup(file, "/home/u/b.txt", ini));
        EXPECT_EQ(ini, "B.INI");
    }
    fs::path dir;
    std::string file;
};

TEST_F(HistoryFault, FullDiskOrReadOnlyDirectoryLeavesTheOldHistory) {
    written = 0;
    fileSystemCalls().write = fillUp;
    EXPECT_FALSE(history::save(file, "/home/u/new.txt", "NEW.INI"));
    expectUntouched();

    fileSystemCalls() = defaultFileSystemCalls();
    fileSystemCalls().makeTemp = refuseTemp;
    EXPECT_FALSE(history::save(file, "/home/u/a.txt", "OTHER.INI"));
    expectUntouched();

    fileSystemCalls() = defaultFileSystemCalls();
    // A directory that takes no new file: the history is rewritten in place instead.
    if (std::system(("chattr +i '" + dir.string() + "' 2>/dev/null").c_str()) == 0) {
        EXPECT_TRUE(history::save(file, "/home/u/a.txt", "OTHER.INI"));
        EXPECT_EQ(read(), "/home/u/a.txt\tOTHER.INI\r\n/home/u/b.txt\tB.INI\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

TEST_F(HistoryFault, SettingsDirectoryMissingOrAFile) {
    const std::string missing = (dir / "gone" / history::kFileName).string();
    std::string ini = "FOLVK95.INI";
    EXPECT_FALSE(history::lookup(missing, "/a", ini));
    EXPECT_FALSE(history::save(missing, "/a", "X.INI"));
    EXPECT_FALSE(fs::exists(dir / "gone"));

    const std::string plain = (dir / "plain").string();
    std::ofstream(plain) << "x";
    EXPECT_FALSE(history::save(plain + "/" + history::kFileName, "/a", "X.INI"));

    // The shell's own check of its directory names the problem.
    const char* before = std::getenv("FOLVEK_HOME");
    const std::string saved = before ? before : "";
    ::setenv("FOLVEK_HOME", plain.c_str(), 1);
    std::string error;
    EXPECT_FALSE(ensureSettingsDirectory(&error));
    EXPECT_NE(error.find(plain), std::string::npos);
    if (before)
        ::setenv("FOLVEK_HOME", saved.c_str(), 1);
    else
        ::unsetenv("FOLVEK_HOME");
    {
        std::ifstream in(plain);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "x");
    }
}

// history.cfg as a link to /dev/full (reads zeros forever) or as a FIFO (blocks an open): the
// history is skipped at once and the link or FIFO stays.
TEST_F(HistoryFault, HistoryThatIsNotAFile) {
    fs::remove(file);
    ASSERT_EQ(::symlink("/dev/full", file.c_str()), 0);
    const auto start = std::chrono::steady_clock::now();
    std::string ini = "FOLVK95.INI";
    EXPECT_FALSE(history::lookup(file, "/a", ini));
    EXPECT_FALSE(history::save(file, "/a", "X.INI"));
    EXPECT_TRUE(fs::is_symlink(file));

    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_FALSE(history::lookup(file, "/a", ini));
    EXPECT_FALSE(history::save(file, "/a", "X.INI"));
    EXPECT_TRUE(fs::is_fifo(file));
    EXPECT_EQ(ini, "FOLVK95.INI");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
