// Many files saved as one: one flush of the disk for all of them before any rename or naming,
// and on every failure (a full disk, a failed flush, a failed rename or naming) the old files as
// they were, no new file under its final name and nothing of ours left in the folder. New
// targets are written as unnamed files where the file system makes them, in the hidden folder
// where it does not; most cases run both ways.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "document/test_support.h"
#include "file_batch.h"
#include "unnamed_files.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::ScratchDir;

enum class Event { SyncFile, SyncFolder, SyncAll, Rename, Name };
std::vector<Event> gEvents;
std::mutex gEventsMutex;  // many files are put in place by two threads
constexpr int kNoLimit = 1 << 30;
std::atomic<int> gUnnamedLeft = kNoLimit;  // unnamed files still to be made
std::atomic<int> gFailAt = -1;  // the call (counted from 0) of the replaced kind that fails
std::atomic<int> gCalls = 0;
bool gFailFlush = false;

bool failsNow() {
    return gCalls++ == gFailAt;
}
void record(Event e) {
    std::lock_guard<std::mutex> lock(gEventsMutex);
    gEvents.push_back(e);
}
int recordSync(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    record(S_ISDIR(st.st_mode) ? Event::SyncFolder : Event::SyncFile);
    return ::fsync(fd);
}
int recordSyncAll(int fd) {
    record(Event::SyncAll);
    if (gFailFlush) return errno = EIO, -1;
    return ::syncfs(fd);
}
int recordRename(const char* from, const char* to) {
    record(Event::Rename);
    if (failsNow()) return errno = EACCES, -1;
    return std::rename(from, to);
}
int recordName(int fd, int dirFd, const char* name) {
    record(Event::Name);
    if (failsNow()) return errno = EACCES, -1;
    return nameUnnamed(fd, dirFd, name);
}
// Out of descriptors after gUnnamedLeft unnamed files.
int limitedUnnamed(int dirFd) {
    if (gUnnamedLeft-- <= 0) return errno = EMFILE, -1;
    return openUnnamed(dirFd);
}
int noUnnamed(int) {
    return errno = EOPNOTSUPP, -1;
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
        gUnnamedLeft = kNoLimit;
        fileSystemCalls().sync = recordSync;
        fileSystemCalls().syncAll = recordSyncAll;
        fileSystemCalls().rename = recordRename;
        fileSystemCalls().nameUnnamed = recordName;
        fileSystemCalls().openUnnamed = limitedUnnamed;
        old1 = dir.file("t-1.csv", "old one");
        ::chmod(old1.c_str(), 0640);
        old2 = dir.file("t-2.csv", "old two");
        paths = {old1, old2, dir.dir() + "t-3.csv"};
    }
    void TearDown() override { fileSystemCalls() = defaultFileSystemCalls(); }
    // Both ways a new target's file can be made: unnamed (skipped where this machine's
    // temporary folder cannot make one) and in the hidden folder.
    std::vector<bool> ways() const {
        const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int fd = openUnnamed(folder);
        ::close(folder);
        if (fd < 0) return {false};
        ::close(fd);
        return {true, false};
    }
    void useUnnamed(bool on) { fileSystemCalls().openUnnamed = on ? limitedUnnamed : noUnnamed; }
    BatchSaveResult save() {
        return saveFiles(paths, [](std::size_t k) { return "new " + std::to_string(k + 1); });
    }
    void checkModes();
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

// A named file's link count is in its own inode, so after naming the whole file system is
// synced, not only the folder.
TEST_F(FileBatchTest, OneFlushBeforeTheRenamesAndTheFolderSyncedAfterThem) {
    for (const bool unnamed : ways()) {
        SCOPED_TRACE(unnamed ? "unnamed" : "hidden folder");
        useUnnamed(unnamed);
        gEvents.clear();
        ASSERT_TRUE(save().ok());
        EXPECT_EQ(dir.read("t-1.csv"), "new 1");
        EXPECT_EQ(dir.read("t-2.csv"), "new 2");
        EXPECT_EQ(dir.read("t-3.csv"), "new 3");
        struct stat st {};
        ::stat(old1.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(st.st_nlink, 1u);  // the kept old file went with the hidden folder
        if (unnamed)
            EXPECT_EQ(gEvents, (std::vector<Event>{Event::SyncAll, Event::Rename, Event::Rename,
                                                   Event::Name, Event::SyncAll}));
        else
            EXPECT_EQ(gEvents, (std::vector<Event>{Event::SyncAll, Event::Rename, Event::Rename,
                                                   Event::Rename, Event::SyncFolder}));
        EXPECT_EQ(names(), (std::vector<std::string>{"t-1.csv", "t-2.csv", "t-3.csv"}));
        ::unlink(paths[2].c_str());  // new again the next way
    }
}

// New files get 0666 less the umask, whatever it is; an old file keeps its own mode, also
// one the umask would strip.
TEST_F(FileBatchTest, NewFilesTakeTheUmaskAndOldOnesKeepTheirMode) {
    for (const bool unnamed : ways()) {
        SCOPED_TRACE(unnamed ? "unnamed" : "hidden folder");
        useUnnamed(unnamed);
        checkModes();
        for (const char* name : {"t-3.csv", "t-4.csv"}) ::unlink((dir.dir() + name).c_str());
        paths.pop_back();
    }
}

void FileBatchTest::checkModes() {
    ::chmod(old1.c_str(), 0640);
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
    for (const bool unnamed : ways())
        for (const int failing : {1, 2}) {
            SCOPED_TRACE(std::string(unnamed ? "unnamed, " : "hidden folder, ") +
                         std::to_string(failing));
            useUnnamed(unnamed);
            fileSystemCalls().write = fullDisk;
            gCalls = 0;
            gFailAt = failing;
            const BatchSaveResult r = save();
            EXPECT_EQ(r.result.status,
                      failing == 2 ? SaveStatus::CreateFailed : SaveStatus::WriteFailed);
            EXPECT_EQ(r.result.error, ENOSPC);
            EXPECT_EQ(r.failed, static_cast<std::size_t>(failing));
            expectOldFilesOnly();
        }

    BatchSaveResult r;
    fileSystemCalls().write = defaultFileSystemCalls().write;
    gFailFlush = true;
    gEvents.clear();
    r = save();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.result.error, EIO);
    expectOldFilesOnly();
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), Event::Rename), 0);
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), Event::Name), 0);
}

// In the unnamed way the third file is named rather than renamed; its failure undoes the same.
TEST_F(FileBatchTest, AFailedRenamePutsBackTheFilesAlreadyRenamed) {
    for (const bool unnamed : ways())
        for (const int failing : {1, 2}) {
            SCOPED_TRACE(std::string(unnamed ? "unnamed, " : "hidden folder, ") +
                         std::to_string(failing));
            useUnnamed(unnamed);
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

// A batch this large is written, and put in place, by two threads: every file whole in its
// place, and a full disk met by either thread leaves the old files and nothing of ours. Out of
// descriptors partway, the rest of the new files go through the hidden folder.
TEST_F(FileBatchTest, ManyFilesWrittenByTwoThreadsAllOrNothing) {
    const auto text = [](std::size_t k) { return "row " + std::to_string(k) + "\n"; };
    paths = {old1, old2};
    for (std::size_t k = 2; k < 150; ++k)
        paths.push_back(dir.dir() + "t-" + std::to_string(k + 1) + ".csv");
    const auto reset = [this] {
        for (const std::string& p : paths) ::unlink(p.c_str());
        { std::ofstream(old1) << "old one"; }
        { std::ofstream(old2) << "old two"; }
    };
    for (const bool unnamed : ways())
        for (const int unnamedFiles : {kNoLimit, 40}) {
            SCOPED_TRACE(std::string(unnamed ? "unnamed " : "hidden folder ") +
                         (unnamedFiles == kNoLimit ? "" : std::to_string(unnamedFiles)));
            useUnnamed(unnamed);
            reset();
            gUnnamedLeft = unnamedFiles;
            gEvents.clear();
            std::atomic<int> asked = 0;
            ASSERT_TRUE(saveFiles(paths, [&](std::size_t k) {
                            ++asked;
                            return text(k);
                        }).ok());
            EXPECT_EQ(asked, 150) << "each text asked for once";
            for (std::size_t k = 0; k < paths.size(); ++k)
                ASSERT_EQ(dir.read("t-" + std::to_string(k + 1) + ".csv"), text(k)) << k;
            EXPECT_EQ(names().size(), 150u);
            const auto named = std::count(gEvents.begin(), gEvents.end(), Event::Name);
            EXPECT_EQ(named, !unnamed ? 0 : unnamedFiles == kNoLimit ? 148 : 40);
            EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), Event::Rename), 150 - named);

            for (const int failing : {0, 1, 77, 149}) {
                reset();
                gUnnamedLeft = unnamedFiles;
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
}

// A failure while the two threads put files in place takes back every file either had placed.
TEST_F(FileBatchTest, AFailedNamingAmongManyPutsBackWhatBothThreadsPlaced) {
    paths = {old1, old2};
    for (std::size_t k = 2; k < 100; ++k)
        paths.push_back(dir.dir() + "t-" + std::to_string(k + 1) + ".csv");
    for (const bool unnamed : ways()) {
        SCOPED_TRACE(unnamed ? "unnamed" : "hidden folder");
        useUnnamed(unnamed);
        gCalls = 0;
        gFailAt = 70;
        const BatchSaveResult r = save();
        EXPECT_EQ(r.result.error, EACCES);
        EXPECT_EQ(r.result.status, SaveStatus::CreateFailed);
        EXPECT_GE(r.failed, 2u);
        expectOldFilesOnly();
    }
}

// A file that appears under a new target's name while the export runs is not replaced: the
// export fails and takes back what it placed.
TEST_F(FileBatchTest, AFileThatAppearedMeanwhileIsNotReplaced) {
    if (ways().size() < 2) GTEST_SKIP() << "this temporary folder makes no unnamed files";
    fileSystemCalls().nameUnnamed = [](int fd, int dirFd, const char* name) {
        ::close(::openat(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        return nameUnnamed(fd, dirFd, name);
    };
    dir.file("t-3.csv", "");  // created, then gone before the export looks
    ::unlink(paths[2].c_str());
    const BatchSaveResult r = save();
    EXPECT_EQ(r.result.status, SaveStatus::CreateFailed);
    EXPECT_EQ(r.result.error, EEXIST);
    EXPECT_EQ(r.failed, 2u);
    EXPECT_EQ(dir.read("t-1.csv"), "old one");
    EXPECT_EQ(dir.read("t-2.csv"), "old two");
    EXPECT_EQ(dir.read("t-3.csv"), "") << "the other program's file, as it made it";
    EXPECT_EQ(names(), (std::vector<std::string>{"t-1.csv", "t-2.csv", "t-3.csv"}));
}

// Thousands of unnamed files want as many descriptors: the soft limit is raised towards the
// hard one, and where the hard one is too low the rest take hidden names. Each case runs in a
// child, whose limits are its own.
TEST_F(FileBatchTest, ALowDescriptorLimitIsRaisedOrWorkedAround) {
    if (ways().size() < 2) GTEST_SKIP() << "this temporary folder makes no unnamed files";
    paths.clear();
    for (std::size_t k = 0; k < 700; ++k)
        paths.push_back(dir.dir() + "m-" + std::to_string(k + 1) + ".csv");
    for (const rlim_t hard : {rlim_t{4096}, rlim_t{400}}) {
        for (const std::string& p : paths) ::unlink(p.c_str());
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit low{64, hard};
            if (::setrlimit(RLIMIT_NOFILE, &low) != 0) ::_exit(2);
            gEvents.clear();
            if (!save().ok()) ::_exit(3);
            rlimit now{};
            ::getrlimit(RLIMIT_NOFILE, &now);
            const auto named = std::count(gEvents.begin(), gEvents.end(), Event::Name);
            // With room for all, all are unnamed; with 400, some, and the limit is the hard one.
            if (hard == 4096 && (named != 700 || now.rlim_cur < 700)) ::_exit(4);
            if (hard == 400 && (named == 0 || named >= 400 || now.rlim_cur != 400)) ::_exit(5);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "hard limit " << hard;
        for (std::size_t k = 0; k < paths.size(); k += 99)
            EXPECT_EQ(dir.read("m-" + std::to_string(k + 1) + ".csv"),
                      "new " + std::to_string(k + 1));
    }
}

// A program started with its input closed gets descriptor 0 for the first file it opens: an
// unnamed file there is written, named and closed like any other, and a failed batch closes it.
int zeroUnnamed(int dirFd) {
    const int fd = openUnnamed(dirFd);
    if (fd < 0 || gCalls++ != 0) return fd;
    ::dup2(fd, 0);
    ::close(fd);
    return 0;
}

TEST_F(FileBatchTest, AnUnnamedFileOnDescriptorZeroIsNamedOrClosed) {
    if (ways().size() < 2) GTEST_SKIP() << "no unnamed files in this temporary folder";
    const int input = ::dup(0);
    ASSERT_GE(input, 0);
    fileSystemCalls().openUnnamed = zeroUnnamed;
    gCalls = 0;
    gEvents.clear();
    const BatchSaveResult saved = save();
    const std::vector<Event> savedEvents = gEvents;
    const bool zeroOpenAfterSave = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);                  // the next batch's folder must not take descriptor 0 first
    paths[2] = dir.dir() + "t-4.csv";  // a new file again
    gCalls = 0;
    gFailFlush = true;
    const BatchSaveResult failed = save();
    const bool zeroOpenAfterFailure = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);
    ::close(input);
    EXPECT_TRUE(saved.ok());
    EXPECT_EQ(dir.read("t-3.csv"), "new 3");
    EXPECT_FALSE(zeroOpenAfterSave);
    EXPECT_EQ(savedEvents, (std::vector<Event>{Event::SyncAll, Event::Rename, Event::Rename,
                                               Event::Name, Event::SyncAll}));
    EXPECT_EQ(failed.result.error, EIO);
    EXPECT_FALSE(zeroOpenAfterFailure);
    EXPECT_FALSE(fs::exists(paths[2]));
}

}  // namespace
}  // namespace folvek
