// Unnamed files: written whole before they have a name, named both ways without replacing a
// file of that name, gone without a trace when never named.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "document/test_support.h"
#include "unnamed_files.h"

// Older kernels refuse an unprivileged naming through the descriptor: linkat with an empty path
// fails here with the error a test puts in (0: the kernel's own call).
static int emptyPathLinkError = 0;
static int emptyPathLinkCalls = 0;

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) __THROW {
    if (flags & AT_EMPTY_PATH) {
        ++emptyPathLinkCalls;
        if (emptyPathLinkError != 0) {
            errno = emptyPathLinkError;
            return -1;
        }
    }
    return static_cast<int>(::syscall(SYS_linkat, fromDir, from, toDir, to, flags));
}

namespace folvek {
namespace {

using coretest::ScratchDir;

// The scratch folder's descriptor once an unnamed file was made and dropped in it; -1 where the
// file system makes none.
int unnamedFilesFolder(const ScratchDir& dir) {
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_GE(folder, 0) << std::strerror(errno);
    const int probe = folder < 0 ? -1 : openUnnamed(folder);
    if (probe < 0) {
        if (folder >= 0) ::close(folder);
        return -1;
    }
    ::close(probe);
    return folder;
}

TEST(UnnamedFiles, WrittenThenNamedEitherWayAndNeverOverAFile) {
    ScratchDir dir;
    const int folder = unnamedFilesFolder(dir);
    if (folder < 0) GTEST_SKIP() << "this temporary folder makes no unnamed files";
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // the probe, never named, left nothing

    using Name = int (*)(int, int, const char*);
    for (const auto& [way, name] :
         {std::pair<const char*, Name>{"as it comes", nameUnnamed},
          std::pair<const char*, Name>{"through /proc", nameUnnamedThroughProc}}) {
        SCOPED_TRACE(way);
        const std::string file = std::string(way[0] == 'a' ? "a" : "b") + ".csv";
        const int fd = openUnnamed(folder);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "1;2\n", 4), 4);
        ASSERT_EQ(name(fd, folder, file.c_str()), 0) << std::strerror(errno);
        EXPECT_EQ(dir.read(file), "1;2\n");
        // A second name where one is already: refused, the file as it was.
        const int other = openUnnamed(folder);
        ASSERT_GE(other, 0);
        ASSERT_EQ(::write(other, "x", 1), 1);
        EXPECT_EQ(name(other, folder, file.c_str()), -1);
        EXPECT_EQ(errno, EEXIST);
        EXPECT_EQ(dir.read(file), "1;2\n");
        ::close(other);
        ::close(fd);
    }
    ::close(folder);
}

// Refused through the descriptor (ENOENT or EPERM, as kernels without the privilege say), the
// naming goes through /proc, then and for every later file, without asking again. Any other
// failure is the naming's own. Each case runs in a child: the way chosen holds for its process.
TEST(UnnamedFiles, ARefusalThroughTheDescriptorTurnsToProcForGood) {
    ScratchDir dir;
    const int folder = unnamedFilesFolder(dir);
    if (folder < 0) GTEST_SKIP() << "this temporary folder makes no unnamed files";
    // The child's exit status: 0 when both files were named and the descriptor was tried once;
    // 10 + errno when the first naming failed.
    const auto childNaming = [&](int refusal, const std::string& prefix) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            emptyPathLinkError = refusal;
            emptyPathLinkCalls = 0;
            for (int k = 0; k < 2; ++k) {
                const int fd = openUnnamed(folder);
                const std::string name = prefix + std::to_string(k);
                if (fd < 0 || ::write(fd, "ok", 2) != 2) ::_exit(2);
                if (nameUnnamed(fd, folder, name.c_str()) != 0) ::_exit(10 + errno);
            }
            ::_exit(emptyPathLinkCalls == 1 ? 0 : 3);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(childNaming(ENOENT, "n"), 0);
    EXPECT_EQ(dir.read("n0"), "ok");
    EXPECT_EQ(dir.read("n1"), "ok");
    EXPECT_EQ(childNaming(EPERM, "p"), 0);
    EXPECT_EQ(dir.read("p1"), "ok");
    EXPECT_EQ(childNaming(ENOSPC, "s"), 10 + ENOSPC);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/s0"));
    ::close(folder);
}

}  // namespace
}  // namespace folvek
