// The one file writer: what it keeps of a file (owner, group, mode, links), what it refuses,
// the in-place fallback with its roll-back, and the clean-up of its leftovers. The unprivileged
// cases run the save in a child process that has dropped to the user nobody, since root's
// saves pass every permission check; they are skipped when the tests do not run as root.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>

#include "document/test_support.h"
#include "file_replace.h"
#include "temp_names.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::ScratchDir;

struct CallsGuard {
    ~CallsGuard() { fileSystemCalls() = defaultFileSystemCalls(); }
};

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

int countTemps(const std::string& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += isTempName(e.path().filename());
    return n;
}

// Runs `save` as the user nobody in a child process; its SaveStatus comes back as exit code.
// Empty when the tests are not root (nobody cannot be become) or nobody does not exist.
std::optional<SaveStatus> asNobody(const std::function<SaveStatus()>& save, std::string& why) {
    if (::geteuid() != 0) {
        why = "the tests do not run as root, so they cannot become the user nobody";
        return std::nullopt;
    }
    const passwd* pw = ::getpwnam("nobody");
    if (!pw) {
        why = "there is no user nobody";
        return std::nullopt;
    }
    const uid_t uid = pw->pw_uid;
    const gid_t gid = pw->pw_gid;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(99);
        ::_exit(static_cast<int>(save()));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 99) {
        why = "could not become nobody";
        return std::nullopt;
    }
    return static_cast<SaveStatus>(WEXITSTATUS(status));
}

class FileReplaceTest : public ::testing::Test {
  protected:
    void SetUp() override { ::chmod(dir.path().c_str(), 0755); }
    uid_t nobodyUid() const { return ::getpwnam("nobody") ? ::getpwnam("nobody")->pw_uid : 0; }
    gid_t nobodyGid() const { return ::getpwnam("nobody") ? ::getpwnam("nobody")->pw_gid : 0; }
    ScratchDir dir;
    CallsGuard guard;
};

TEST_F(FileReplaceTest, AFileKeepsItsModeGroupAndHardLinks) {
    const std::string a = dir.file("a.txt", "old");
    ::chmod(a.c_str(), 0640);
    (void)!::chown(a.c_str(), -1, 12345);  // a group the process is not in (root may give it)
    const struct stat before = statOf(a);
    ASSERT_TRUE(saveFile(a, "new one").ok());
    EXPECT_EQ(dir.read("a.txt"), "new one");
    EXPECT_EQ(statOf(a).st_mode & 07777, 0640u);
    EXPECT_EQ(statOf(a).st_gid, before.st_gid);

    const std::string b = dir.dir() + "b.txt";
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    const SaveResult r = saveFile(b, "through the link");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.inPlace);
    EXPECT_EQ(dir.read("a.txt"), "through the link");
    EXPECT_EQ(statOf(a).st_ino, statOf(b).st_ino);
    EXPECT_EQ(statOf(a).st_nlink, 2u);
    // Shorter contents written in place leave nothing of the longer old ones behind.
    ASSERT_TRUE(saveFile(b, "short").ok());
    EXPECT_EQ(dir.read("a.txt"), "short");
    EXPECT_EQ(countTemps(dir.path()), 0);
}

TEST_F(FileReplaceTest, ANewFileHonoursTheUmaskAndALinkKeepsPointingAtItsFile) {
    const mode_t old = ::umask(027);
    const bool ok = saveFile(dir.dir() + "new.ini", "x").ok();
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(statOf(dir.dir() + "new.ini").st_mode & 07777, 0640u);

    const std::string link = dir.dir() + "link.ini";
    ASSERT_EQ(::symlink("new.ini", link.c_str()), 0);
    ASSERT_TRUE(saveFile(link, "via link").ok());
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    EXPECT_EQ(dir.read("new.ini"), "via link");
}

TEST_F(FileReplaceTest, ReadOnlyFilesDirectoriesAndDanglingLinksAreRefused) {
    const std::string ro = dir.file("ro.txt", "keep");
    ::chmod(ro.c_str(), 0444);
    EXPECT_EQ(saveFile(ro, "lost").status, SaveStatus::ReadOnly);
    EXPECT_EQ(dir.read("ro.txt"), "keep");
    EXPECT_EQ(saveFile(dir.path(), "x").status, SaveStatus::Directory);
    const std::string dangling = dir.dir() + "dangling";
    ASSERT_EQ(::symlink("nowhere", dangling.c_str()), 0);
    EXPECT_EQ(saveFile(dangling, "x").status, SaveStatus::NotRegular);
    EXPECT_FALSE(fs::exists(dir.dir() + "nowhere"));
    EXPECT_EQ(countTemps(dir.path()), 0);
}

// One write fails after 4 bytes (an I/O error); the ones after it succeed.
int written = 0;
ssize_t failOnceAfter4(int fd, const void* data, std::size_t n) {
    if (written < 0) return ::write(fd, data, n);
    if (written >= 4) {
        written = -1;
        errno = EIO;
        return -1;
    }
    const std::size_t take = std::min<std::size_t>(n, 4 - written);
    written += static_cast<int>(take);
    return ::write(fd, data, take);
}

TEST_F(FileReplaceTest, AFailedInPlaceWritePutsTheOldBytesBack) {
    const std::string a = dir.file("a.txt", "the old contents");
    const std::string b = dir.dir() + "b.txt";
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);  // several links: written in place

    written = 0;
    fileSystemCalls().write = failOnceAfter4;
    SaveResult r = saveFile(a, "a longer new text that will not fit");
    EXPECT_EQ(r.status, SaveStatus::WriteFailed);
    EXPECT_TRUE(r.inPlace);
    EXPECT_EQ(r.error, EIO);

    fileSystemCalls() = defaultFileSystemCalls();
    EXPECT_EQ(dir.read("a.txt"), "the old contents");

    // A disk that cannot even reserve the space: nothing is written at all.
    fileSystemCalls().allocate = [](int, off_t, off_t) { return ENOSPC; };
    r = saveFile(a, "a longer new text that will not fit");
    EXPECT_EQ(r.status, SaveStatus::WriteFailed);
    EXPECT_EQ(dir.read("a.txt"), "the old contents");
    EXPECT_FALSE(saveFailureReason(r).empty());
}

// A pid that no process has: the kernel's largest is at most 2^22.
constexpr pid_t kGonePid = 4999999;

TEST_F(FileReplaceTest, OnlyLeftoversWhoseMakerIsGoneAreRemoved) {
    const std::string gone = std::to_string(kGonePid);
    const std::string alive = std::to_string(::getpid());
    dir.file(".a.txt.folvek-" + gone + "-Ab12Cd", "left by a crash");
    dir.file(".folvek-" + gone + "-Zz99zz", "left by a crash, long name");
    dir.file(".b.txt.folvek-" + alive + "-Ab12Cd", "its maker still runs");
    dir.file(".c.txt.folvek-Ab12Cd", "no maker named: a user's file");
    dir.file("report.folvek-" + gone + "-Ab12Cd", "not hidden: a user's file");
    dir.file(".a.txt.folvek-" + gone + "-x", "too short to be ours");
    const std::string busy = dir.file(".d.txt.folvek-" + gone + "-Qq11qq", "being written");
    const int fd = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(removeLeftoverTemps(dir.path()), 2);
    ::close(fd);
    EXPECT_FALSE(fs::exists(dir.dir() + ".a.txt.folvek-" + gone + "-Ab12Cd"));
    EXPECT_FALSE(fs::exists(dir.dir() + ".folvek-" + gone + "-Zz99zz"));
    EXPECT_TRUE(fs::exists(dir.dir() + ".b.txt.folvek-" + alive + "-Ab12Cd"));
    EXPECT_TRUE(fs::exists(dir.dir() + ".c.txt.folvek-Ab12Cd"));
    EXPECT_TRUE(fs::exists(dir.dir() + "report.folvek-" + gone + "-Ab12Cd"));
    EXPECT_TRUE(fs::exists(busy));
    fs::remove(busy);

    // What the writer makes is what the clean-up recognises, with its maker's pid.
    OwnedTemp temp;
    ASSERT_TRUE(createOwnedTemp(dir.path(), "new.txt", temp));
    pid_t maker = 0;
    EXPECT_TRUE(isTempName(baseNameOf(temp.path), &maker));
    EXPECT_EQ(maker, ::getpid());
    EXPECT_EQ(removeLeftoverTemps(dir.path()), 0);
    EXPECT_TRUE(fs::exists(temp.path));
    removeOwnedTemp(temp);
    EXPECT_FALSE(fs::exists(dir.dir() + ".new.txt.folvek-" + alive));
}

// nobody may write the file but not the root-owned directory it is in, nor replace another
// user's file in a sticky directory: both are written in place, owner and all.
TEST_F(FileReplaceTest, UnprivilegedSavesInDirectoriesTheUserMayNotWrite) {
    const std::string own = dir.file("own.txt", "old");
    (void)!::chown(own.c_str(), nobodyUid(), nobodyGid());
    std::string why;
    auto s = asNobody([&] { return saveFile(own, "saved by nobody").status; }, why);
    if (!s) GTEST_SKIP() << why;
    EXPECT_EQ(*s, SaveStatus::Ok);
    EXPECT_EQ(dir.read("own.txt"), "saved by nobody");
    EXPECT_EQ(statOf(own).st_uid, nobodyUid());

    const std::string sticky = dir.dir() + "tmp";
    fs::create_directory(sticky);
    ::chmod(sticky.c_str(), 01777);
    const std::string shared = sticky + "/shared.txt";
    std::ofstream(shared) << "root's";
    ::chmod(shared.c_str(), 0666);
    s = asNobody([&] { return saveFile(shared, "changed by nobody").status; }, why);
    EXPECT_EQ(*s, SaveStatus::Ok);
    EXPECT_EQ(statOf(shared).st_uid, 0u);
    EXPECT_EQ(statOf(shared).st_mode & 07777, 0666u);
    EXPECT_EQ(countTemps(sticky), 0);

    // A file nobody may only read is refused before anything is touched.
    ::chmod(own.c_str(), 0444);
    s = asNobody([&] { return saveFile(own, "x").status; }, why);
    EXPECT_EQ(*s, SaveStatus::ReadOnly);
    EXPECT_EQ(dir.read("own.txt"), "saved by nobody");
}

// The editor opens a missing file empty but refuses one it cannot read: the reading tells the
// two apart.
TEST_F(FileReplaceTest, UnprivilegedReadTellsAnUnreadableFileFromAMissingOne) {
    const std::string secret = dir.file("secret.txt", "a report");
    (void)!::chown(secret.c_str(), nobodyUid(), nobodyGid());
    ::chmod(secret.c_str(), 0200);
    auto readErrno = [](const std::string& path) {
        std::string bytes;
        return readWholeFile(path, bytes) ? SaveStatus::Ok
               : errno == ENOENT          ? SaveStatus::CreateFailed
               : errno == EACCES          ? SaveStatus::ReadOnly
                                          : SaveStatus::RestoreFailed;
    };
    std::string why;
    auto s = asNobody([&] { return readErrno(secret); }, why);
    if (!s) GTEST_SKIP() << why;
    EXPECT_EQ(*s, SaveStatus::ReadOnly);  // EACCES
    s = asNobody([&] { return readErrno(dir.dir() + "missing.txt"); }, why);
    EXPECT_EQ(*s, SaveStatus::CreateFailed);  // ENOENT
}

TEST_F(FileReplaceTest, UnprivilegedLinkToAnotherUsersFileIsRefused) {
    const std::string home = dir.dir() + "home";
    fs::create_directory(home);
    (void)!::chown(home.c_str(), nobodyUid(), nobodyGid());
    const std::string others = dir.file("others.ini", "[Folvk]\r\n");
    ::chmod(others.c_str(), 0666);  // writable, yet not nobody's to replace through a link
    const std::string link = home + "/FOLVK95.INI";
    ASSERT_EQ(::symlink(others.c_str(), link.c_str()), 0);
    (void)!::lchown(link.c_str(), nobodyUid(), nobodyGid());
    std::string why;
    auto s = asNobody([&] { return saveFile(link, "x").status; }, why);
    if (!s) GTEST_SKIP() << why;
    EXPECT_EQ(*s, SaveStatus::ForeignLink);
    EXPECT_EQ(dir.read("others.ini"), "[Folvk]\r\n");
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
}

}  // namespace
}  // namespace folvek
