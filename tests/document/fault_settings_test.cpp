// Saving the settings when the disk or the settings directory will not take them: the file
// keeps its old bytes, no temporary file is left behind, and the user is told. Tests run as
// root, whom permissions do not stop, so a read-only directory is made immutable (chattr) or
// simulated through the writer's system-call table, and a full disk is a failing write.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "document/test_support.h"
#include "file_replace.h"
#include "ini_file.h"
#include "string_table.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::MessageRecorder;
using coretest::ScratchDir;

const std::string kOld = "[Folvk]\r\nZoom=5\r\nFontName=Arial\r\n\r\n[Mine]\r\nkeep=me\r\n";

// Restores the real system calls however the test ends.
struct CallsGuard {
    ~CallsGuard() { fileSystemCalls() = defaultFileSystemCalls(); }
};

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
}

int refuseTemp(char*) {
    errno = EROFS;
    return -1;
}
int writesSoFar = 0;
// The disk fills up after the first 16 bytes.
ssize_t fillUp(int fd, const void* data, std::size_t n) {
    if (writesSoFar >= 16) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t take = std::min<std::size_t>(n, 16 - writesSoFar);
    writesSoFar += static_cast<int>(take);
    return ::write(fd, data, take);
}
int syncFails(int) {
    errno = ENOSPC;  // delayed allocation: the data did not fit after all
    return -1;
}
int renameFails(const char*, const char*) {
    errno = EIO;
    return -1;
}

class SettingsFault : public ::testing::Test {
  protected:
    void SetUp() override { dir.file("FOLVK95.INI", kOld); }
    std::unique_ptr<DocumentRecord> changedRecord() {
        auto p = coretest::makeRecord(dir, messages);
        EXPECT_EQ(p->Zoom, 5);
        p->Zoom = 9;
        return p;
    }
    // The save failed, the user was told once, and the directory holds what it held before.
    void expectNothingLost(DocumentRecord& p, const std::string& path) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, loadString(StrCannotOpenOutput) + "\n" + path);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
        EXPECT_EQ(dir.read("FOLVK95.INI"), kOld);
        EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FOLVK95.INI"});
        EXPECT_EQ(p.Zoom, 9);  // the settings in memory stay
    }
    ScratchDir dir;
    MessageRecorder messages;
    CallsGuard guard;
};

TEST_F(SettingsFault, FullDiskKeepsTheOldFile) {
    for (auto fault : {0, 1}) {
        messages.shown.clear();
        writesSoFar = 0;
        fileSystemCalls() = defaultFileSystemCalls();
        if (fault == 0)
            fileSystemCalls().write = fillUp;
        else
            fileSystemCalls().sync = syncFails;
        auto p = changedRecord();
        EXPECT_EQ(p->saveProfile(nullptr), 0);
        expectNothingLost(*p, dir.dir() + "FOLVK95.INI");
    }
}

// The program's own save of its settings tells the status bar, with the system's reason for a
// plain write failure; a save under a name the user gave tells in a box, as before.
TEST_F(SettingsFault, AnOwnSaveThatFailsSaysWhyOnTheStatusLine) {
    static std::vector<std::pair<std::string, std::string>> told;
    told.clear();
    fileSystemCalls().write = fillUp;
    writesSoFar = 0;
    auto p = changedRecord();
    p->context.settingsNotSaved = [](const std::string& path, const std::string& why) {
        told.emplace_back(path, why);
    };
    EXPECT_EQ(p->saveProfile(nullptr), 0);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, dir.dir() + "FOLVK95.INI");
    EXPECT_EQ(told[0].second, std::strerror(ENOSPC));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dir.read("FOLVK95.INI"), kOld);

    writesSoFar = 0;
    const std::string other = dir.dir() + "OTHER.INI";
    EXPECT_EQ(p->saveProfile(other.c_str()), 0);
    EXPECT_EQ(told.size(), 1u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, loadString(StrCannotOpenOutput) + "\n" + other);
}

TEST_F(SettingsFault, ReadOnlyDirectoryKeepsTheOldFile) {
    fileSystemCalls().makeTemp = refuseTemp;
    auto p = changedRecord();
    EXPECT_EQ(p->saveProfile(nullptr), 0);
    expectNothingLost(*p, dir.dir() + "FOLVK95.INI");

    messages.shown.clear();
    fileSystemCalls() = defaultFileSystemCalls();
    fileSystemCalls().rename = renameFails;  // e.g. a read-only remount between the steps
    EXPECT_EQ(p->saveProfile(nullptr), 0);
    expectNothingLost(*p, dir.dir() + "FOLVK95.INI");
}

// An immutable directory stops root too: no temporary file can be made, so the file, which
// may still be written, is rewritten in place.
TEST_F(SettingsFault, ImmutableDirectoryIsWrittenInPlace) {
    const std::string cmd = "chattr +i '" + dir.path() + "' 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "chattr +i is not available here";
    struct Unlock {
        std::string path;
        ~Unlock() { (void)!std::system(("chattr -i '" + path + "'").c_str()); }
    } unlock{dir.path()};
    auto p = changedRecord();
    EXPECT_EQ(p->saveProfile(nullptr), 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_NE(dir.read("FOLVK95.INI").find("Zoom=9\r\n"), std::string::npos);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FOLVK95.INI"});
}

TEST_F(SettingsFault, DirectoryMissingOrNotADirectory) {
    // A directory root cannot write in either.
    {
        coretest::MessageRecorder m;
        RecordContext ctx;
        ctx.messages = &m;
        ctx.programDir = "/proc/self/";
        DocumentRecord p(ctx, "FOLVK95.INI", "");
        m.shown.clear();
        EXPECT_EQ(p.Zoom, 3);
        EXPECT_EQ(p.saveProfile(nullptr), 0);
        EXPECT_EQ(m.shown.size(), 1u);
    }
    const std::string missing = dir.dir() + "gone/";
    const std::string notDir = dir.file("plain", "not a directory\n") + "/";
    for (const std::string& programDir : {missing, notDir}) {
        messages.shown.clear();
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.programDir = programDir;
        DocumentRecord p(ctx, "FOLVK95.INI", "");
        messages.shown.clear();
        EXPECT_EQ(p.Zoom, 3) << programDir;  // every default
        p.Zoom = 7;
        EXPECT_EQ(p.saveProfile(nullptr), 0) << programDir;
        ASSERT_EQ(messages.shown.size(), 1u) << programDir;
        EXPECT_EQ(p.Zoom, 7);
    }
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(dir.read("plain"), "not a directory\n");
    EXPECT_EQ(dir.read("FOLVK95.INI"), kOld);
}

// A settings file that is a link to /dev/full is not a file to replace.
TEST_F(SettingsFault, LinkToDevFullIsRefused) {
    const std::string link = dir.dir() + "full.ini";
    ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
    auto p = changedRecord();
    EXPECT_EQ(p->saveProfile(link.c_str()), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "/dev/full");
    IniFile ini;
    EXPECT_FALSE(ini.load(link));
}

}  // namespace
}  // namespace folvek
