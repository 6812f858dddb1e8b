// Many files saved as one: one flush of the disk for all of them before any rename, and on
// every failure (a full disk, a failed flush, a failed rename) the old files as they were, no
// new file under its final name and nothing of ours left in the folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/test_support.h"
#include "file_batch.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::ScratchDir;

enum class Event { SyncFile, SyncFolder, SyncAll, Rename };
std::vector<Event> gEvents;
std::atomic<int> gFailAt = -1;  // the call (counted from 0) of the replaced kind that fails
std::atomic<int> gCalls = 0;
bool gFailFlush = false;

bool failsNow() {
    return gCalls++ == gFailAt;
}
int recordSync(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    gEvents.push_back(S_ISDIR(st.st_mode) ? Event::SyncFolder : Event::SyncFile);
    return ::fsync(fd);
}
int recordSyncAll(int fd) {
    gEvents.push_back(Event::SyncAll);
    if (gFailFlush) return errno = EIO, -1;
    return ::syncfs(fd);
}
int recordRename(const char* from, const char* to) {
    gEvents.push_back(Event::Rename);  // renames come from one thread
    if (failsNow()) return errno = EACCES, -1;
    return std::rename(from, to);
}
ssize_t fullDisk(int fd, const void* data, std::size_t n) {
    if (failsNow()) return errno = ENOSPC, -1;
    return ::write(fd, data, n);
}

class FileBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gEvents.clear();
        gFailAt = -1;
        gCalls = 0;
        gFailFlush = false;
        fileSystemCalls().sync = recordSync;
        fileSystemCalls().syncAll = recordSyncAll;
        fileSystemCalls().rename = recordRename;
        old1 = dir.file("t-1.csv", "old one");
        ::chmod(old1.c_str(), 0640);
        old2 = dir.file("t-2.csv", "old two");
        paths = {old1, old2, dir.dir() + "t-3.csv"};
    }
    void TearDown() override { fileSystemCalls() = defaultFileSystemCalls(); }
    BatchSaveResult save() {
        return saveFiles(paths, [](std::size_t k) { return "new " + std::to_string(k + 1); });
    }
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& e : fs::directory_iterator(dir.path())) n.push_back(e.path().filename());
        std::sort(n.begin(), n.end());
        return n;
    }
    void expectOldFilesOnly() {
        EXPECT_EQ(dir.read("t-1.csv"), "old one");
        EXPECT_EQ(dir.read("t-2.csv"), "old two");
        EXPECT_EQ(names(), (std::vector<std::string>{"t-1.csv", "t-2.csv"}));
    }
    ScratchDir dir;
    std::string old1, old2;
    std::vector<std::string> paths;
};

TEST_F(FileBatchTest, OneFlushBeforeTheRenamesAndTheFolderSyncedAfterThem) {
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(dir.read("t-1.csv"), "new 1");
    EXPECT_EQ(dir.read("t-2.csv"), "new 2");
    EXPECT_EQ(dir.read("t-3.csv"), "new 3");
    struct stat st {};
    ::stat(old1.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_nlink, 1u);  // the kept old file went with the hidden folder
    EXPECT_EQ(gEvents, (std::vector<Event>{Event::SyncAll, Event::Rename, Event::Rename,
                                           Event::Rename, Event::SyncFolder}));
    EXPECT_EQ(names(), (std::vector<std::string>{"t-1.csv", "t-2.csv", "t-3.csv"}));
}

// New files get 0666 less the umask, whatever it is; an old file keeps its own mode, also
// one the umask would strip.
TEST_F(FileBatchTest, NewFilesTakeTheUmaskAndOldOnesKeepTheirMode) {
    ::chmod(old2.c_str(), 0664);
    const mode_t before = ::umask(027);
    const bool saved = save().ok();
    ::umask(before);
    ASSERT_TRUE(saved);
    const auto modeOf = [](const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(modeOf(old1), 0640u);
    EXPECT_EQ(modeOf(old2), 0664u);
    EXPECT_EQ(modeOf(dir.dir() + "t-3.csv"), 0640u);
    paths.push_back(dir.dir() + "t-4.csv");
    const mode_t open = ::umask(0);
    const bool savedOpen = save().ok();
    ::umask(open);
    ASSERT_TRUE(savedOpen);
    EXPECT_EQ(modeOf(dir.dir() + "t-4.csv"), 0666u);
    EXPECT_EQ(modeOf(dir.dir() + "t-3.csv"), 0640u) << "an old file, this time";
}

TEST_F(FileBatchTest, TheHiddenFolderOfAKilledExportGoesWithTheNextOne) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string left = dir.dir() + ".tables.folvek-" + std::to_string(gone) + "-abcdef";
    fs::create_directory(left);
    std::ofstream(left + "/0") << "half";
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(names(), (std::vector<std::string>{"t-1.csv", "t-2.csv", "t-3.csv"}));
}

TEST_F(FileBatchTest, AFullDiskOrAFailedFlushLeavesEveryOldFile) {
    fileSystemCalls().write = fullDisk;
    gFailAt = 1;
    BatchSaveResult r = save();
    EXPECT_EQ(r.result.status, SaveStatus::WriteFailed);
    EXPECT_EQ(r.result.error, ENOSPC);
    EXPECT_EQ(r.failed, 1u);
    expectOldFilesOnly();

    fileSystemCalls().write = defaultFileSystemCalls().write;
    gFailFlush = true;
    r = save();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.result.error, EIO);
    expectOldFilesOnly();
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), Event::Rename), 0);
}

TEST_F(FileBatchTest, AFailedRenamePutsBackTheFilesAlreadyRenamed) {
    for (const int failing : {1, 2}) {
        gCalls = 0;
        gFailAt = failing;
        const BatchSaveResult r = save();
        EXPECT_EQ(r.result.status,
                  failing == 2 ? SaveStatus::CreateFailed : SaveStatus::WriteFailed);
        EXPECT_EQ(r.failed, static_cast<std::size_t>(failing));
        expectOldFilesOnly();
        struct stat st {};
        ::stat(old1.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << "the old file itself is back";
    }
}

TEST_F(FileBatchTest, RefusalsComeFirstAndALinkedFileIsWrittenInPlace) {
    fs::create_directory(dir.dir() + "t-3.csv");
    BatchSaveResult r = save();
    EXPECT_EQ(r.result.status, SaveStatus::Directory);
    EXPECT_EQ(r.failed, 2u);
    EXPECT_EQ(dir.read("t-1.csv"), "old one");
    fs::remove(dir.dir() + "t-3.csv");

    // A file with a second link keeps it: the batch gives way to saving one by one.
    ASSERT_EQ(::link(old2.c_str(), (dir.dir() + "other-name").c_str()), 0);
    r = save();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(dir.read("other-name"), "new 2");
    EXPECT_EQ(dir.read("t-3.csv"), "new 3");
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), Event::SyncAll), 0);
}

// A batch this large is written by two threads: every file whole in its place, and a full disk
// met by either thread leaves the old files and nothing of ours.
TEST_F(FileBatchTest, ManyFilesWrittenByTwoThreadsAllOrNothing) {
    const auto many = [this](std::size_t count) {
        std::vector<std::string> p = {old1, old2};
        for (std::size_t k = 2; k < count; ++k)
            p.push_back(dir.dir() + "t-" + std::to_string(k + 1) + ".csv");
        return p;
    };
    const auto text = [](std::size_t k) { return "row " + std::to_string(k) + "\n"; };
    paths = many(150);
    std::atomic<int> asked = 0;
    ASSERT_TRUE(saveFiles(paths, [&](std::size_t k) {
                    ++asked;
                    return text(k);
                }).ok());
    EXPECT_EQ(asked, 150) << "each text asked for once";
    for (std::size_t k = 0; k < paths.size(); ++k)
        ASSERT_EQ(dir.read("t-" + std::to_string(k + 1) + ".csv"), text(k)) << k;
    EXPECT_EQ(names().size(), 150u);

    for (const int failing : {0, 1, 77, 149}) {
        ::unlink(old1.c_str());
        ::unlink(old2.c_str());
        for (std::size_t k = 2; k < paths.size(); ++k) ::unlink(paths[k].c_str());
        { std::ofstream(old1) << "old one"; }
        { std::ofstream(old2) << "old two"; }
        fileSystemCalls().write = fullDisk;
        gCalls = 0;
        gFailAt = failing;
        const BatchSaveResult r = saveFiles(paths, text);
        fileSystemCalls().write = defaultFileSystemCalls().write;
        EXPECT_EQ(r.result.error, ENOSPC) << failing;
        EXPECT_LT(r.failed, paths.size());
        expectOldFilesOnly();
    }
}

}  // namespace
}  // namespace folvek
