// The watched folder's file moves and copies by descriptor, in a scratch folder: moves that
// never replace a file and skip names whose log is taken, copies across the copy buffer's
// size and past a file's end, prefixes compared across the compare buffer's size, and a new
// job of the bytes written after a point.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "stdin_closed.h"
#include "watch_files.h"

// The file systems that cannot rename without replacing: renameat2 as this binary sees it fails
// with the error a test puts here (0: the kernel's own call).
static int renameNoReplaceError = 0;

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned flags) __THROW {
    if (renameNoReplaceError != 0) {
        errno = renameNoReplaceError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

namespace folvek {
namespace {

class WatchFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = ::testing::TempDir() + "watch_files_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        path_ = tmpl;
        dir_.reset(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_GE(dir_.get(), 0);
    }
    void TearDown() override { std::filesystem::remove_all(path_); }

    void write(const std::string& name, const std::string& bytes) {
        const int fd = ::openat(dir_.get(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }
    std::string read(const std::string& name) {
        Fd fd(::openat(dir_.get(), name.c_str(), O_RDONLY));
        std::string out;
        char buf[65536];
        for (ssize_t n; fd.get() >= 0 && (n = ::read(fd.get(), buf, sizeof buf)) > 0;)
            out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
    bool exists(const std::string& name) {
        return ::faccessat(dir_.get(), name.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
    }
    int open(const std::string& name, int flags = O_RDONLY) {
        return ::openat(dir_.get(), name.c_str(), flags | O_CLOEXEC, 0644);
    }
    static std::string numbered(const std::string& base, int n) {
        return n ? base + "-" + std::to_string(n) : base;
    }

    std::string path_;
    Fd dir_;
};

TEST_F(WatchFiles, MovesNeverReplaceAndSkipNamesWhoseLogIsTaken) {
    write("job", "new");
    write("x", "old");
    write("x-1.log", "log of another");
    std::string placed, error;
    ASSERT_TRUE(moveNoReplace(
        dir_.get(), "job", dir_.get(), [](int n) { return numbered("x", n); }, &placed, &error,
        ".log"));
    EXPECT_EQ(placed, "x-2") << "x is taken, and x-1's log is";
    EXPECT_EQ(read("x"), "old");
    EXPECT_EQ(read("x-2"), "new");
    EXPECT_FALSE(exists("job"));
    // Without the suffix rule the first free name is taken.
    write("job", "again");
    ASSERT_TRUE(moveNoReplace(
        dir_.get(), "job", dir_.get(), [](int n) { return numbered("x", n); }, &placed, &error));
    EXPECT_EQ(placed, "x-1");
    // A file that is not there, and a name that is never free.
    EXPECT_FALSE(moveNoReplace(
        dir_.get(), "missing", dir_.get(), [](int n) { return numbered("y", n); }, &placed,
        &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    write("job", "stays");
    EXPECT_FALSE(moveNoReplace(
        dir_.get(), "job", dir_.get(), [](int) { return std::string("x"); }, &placed, &error));
    EXPECT_EQ(error, "no free name");
    EXPECT_EQ(read("job"), "stays");
}

TEST_F(WatchFiles, WithoutRenameNoReplaceMovesLinkAndNeverReplaceEither) {
    // Old kernels say ENOSYS, some file systems EINVAL: the move links the new name, then
    // drops the old one.
    for (const int why : {ENOSYS, EINVAL}) {
        write("x", "old");
        write("job", "new");
        renameNoReplaceError = why;
        std::string placed, error;
        const bool moved = moveNoReplace(
            dir_.get(), "job", dir_.get(), [](int n) { return numbered("x", n); }, &placed, &error);
        renameNoReplaceError = 0;
        ASSERT_TRUE(moved) << why << ": " << error;
        EXPECT_EQ(placed, "x-1");
        EXPECT_EQ(read("x"), "old");
        EXPECT_EQ(read("x-1"), "new");
        EXPECT_FALSE(exists("job"));
        ASSERT_EQ(::unlinkat(dir_.get(), "x-1", 0), 0);
    }
    // Any other failure is the move's own, said as it is.
    write("job", "stays");
    renameNoReplaceError = EACCES;
    std::string placed, error;
    EXPECT_FALSE(moveNoReplace(
        dir_.get(), "job", dir_.get(), [](int n) { return numbered("y", n); }, &placed, &error));
    renameNoReplaceError = 0;
    EXPECT_EQ(error, std::strerror(EACCES));
    EXPECT_EQ(read("job"), "stays");
    EXPECT_FALSE(exists("y"));
}

TEST_F(WatchFiles, CopiesAcrossTheBufferAndNotPastTheEnd) {
    std::string big(1536 * 1024 + 7, '\0');
    for (std::size_t k = 0; k < big.size(); ++k) big[k] = static_cast<char>(k * 131 % 251);
    write("in", big);
    Fd in(open("in"));
    Fd out(open("out", O_RDWR | O_CREAT));
    ASSERT_TRUE(copyRange(in.get(), 5, big.size() - 5, out.get(), 3));
    const std::string copied = read("out");
    ASSERT_EQ(copied.size(), big.size() - 2);
    EXPECT_EQ(copied.substr(3), big.substr(5));
    EXPECT_TRUE(copyRange(in.get(), 0, 0, out.get(), 0)) << "nothing to copy";
    EXPECT_FALSE(copyRange(in.get(), big.size() - 10, 11, out.get(), 0)) << "one byte short";
    EXPECT_FALSE(copyRange(in.get(), big.size(), 1, out.get(), 0));

    // Prefixes past the compare buffer: the same up to 70 000 bytes, different at the next.
    std::string other = big;
    other[70000] = static_cast<char>(other[70000] + 1);
    write("other", other);
    Fd b(open("other"));
    EXPECT_TRUE(samePrefix(in.get(), b.get(), 70000));
    EXPECT_FALSE(samePrefix(in.get(), b.get(), 70001));
    EXPECT_TRUE(samePrefix(in.get(), b.get(), 0));
    other = big;
    other[0] = static_cast<char>(other[0] + 1);
    write("first", other);
    Fd first(open("first"));
    EXPECT_FALSE(samePrefix(in.get(), first.get(), 1)) << "different in the first byte";
    EXPECT_FALSE(samePrefix(in.get(), b.get(), big.size() + 1)) << "longer than the files";
    write("short", big.substr(0, 100));
    Fd s(open("short"));
    EXPECT_FALSE(samePrefix(in.get(), s.get(), 101));
    EXPECT_TRUE(samePrefix(in.get(), s.get(), 100));
}

// A descriptor is owned whatever its number: with standard input closed a file opens as 0.
TEST(WatchFd, ADescriptorZeroIsClosedWhenLetGo) {
    test::StdinClosed closed;
    Fd fd(::open("/dev/null", O_RDONLY));
    ASSERT_EQ(fd.get(), 0);
    fd.reset();
    EXPECT_EQ(::fcntl(0, F_GETFD), -1) << "descriptor 0 is still open";
}

TEST_F(WatchFiles, ANewJobOfTheBytesWrittenAfterAPoint) {
    write("report", "printed part|written later");
    write("report-1", "taken");
    Fd in(open("report"));
    std::string placed, error;
    ASSERT_TRUE(writeNewJob(
        in.get(), 13, 26, dir_.get(), [](int n) { return numbered("report", n); }, &placed, &error))
        << error;
    EXPECT_EQ(placed, "report-2");
    EXPECT_EQ(read("report-2"), "written later");
    EXPECT_EQ(read("report-1"), "taken");
    // Asked for bytes the file does not have: nothing is left behind.
    EXPECT_FALSE(writeNewJob(
        in.get(), 13, 100, dir_.get(), [](int n) { return numbered("late", n); }, &placed, &error));
    EXPECT_FALSE(exists("late"));
    EXPECT_FALSE(exists(".folvek-rest-" + std::to_string(::getpid())));
    // No free name: the copy made for it goes too.
    EXPECT_FALSE(writeNewJob(
        in.get(), 13, 26, dir_.get(), [](int) { return std::string("report-1"); }, &placed,
        &error));
    EXPECT_EQ(error, "no free name");
    EXPECT_FALSE(exists(".folvek-rest-" + std::to_string(::getpid())));
    EXPECT_EQ(read("report-1"), "taken");
    EXPECT_FALSE(writeNewJob(
        in.get(), 0, 5, -1, [](int n) { return numbered("none", n); }, &placed, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace folvek
