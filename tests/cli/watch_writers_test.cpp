// Who holds a watched file open for writing, seen from /proc: a DOS emulator's printer port is
// often opened read-write, and a reader must not hold a job back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <string>

#include "stdin_closed.h"
#include "watch_writers.h"

namespace folvek {
namespace {

// A child that opens `path` with `flags` and holds it until the parent closes `hold`.
pid_t holder(const std::string& path, int flags, int ready[2], int hold[2]) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(hold[1]);
        const int fd = ::open(path.c_str(), flags);
        char c = fd >= 0 ? 'y' : 'n';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(hold[0], &c, 1);  // returns when the parent closes its end
        ::_exit(0);
    }
    return pid;
}

TEST(WatchWriters, ReadWriteAndWriteOnlyCountReadOnlyDoesNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("LPT1.PRN")).toStdString();
    const int made = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(made, 0);
    ::close(made);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);

    for (const int flags : {O_RDWR, O_WRONLY | O_APPEND, O_RDONLY}) {
        SCOPED_TRACE(flags);
        int ready[2], hold[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(hold), 0);
        const pid_t pid = holder(path, flags, ready, hold);
        ASSERT_GT(pid, 0);
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        EXPECT_EQ(c, 'y');
        const std::vector<FileWriter> writers = openWriters(st.st_dev, st.st_ino);
        ::close(hold[1]);
        ::waitpid(pid, nullptr, 0);
        for (const int fd : {ready[0], ready[1], hold[0]}) ::close(fd);
        if (flags == O_RDONLY) {
            EXPECT_TRUE(writers.empty()) << describeWriters(writers);
        } else {
            ASSERT_EQ(writers.size(), 1u);
            EXPECT_EQ(writers[0].pid, pid);
            EXPECT_EQ(describeWriters(writers).rfind("process " + std::to_string(pid), 0), 0u)
                << describeWriters(writers);
        }
    }
    // This process's own descriptors never count.
    const int mine = ::open(path.c_str(), O_RDWR);
    EXPECT_TRUE(openWriters(st.st_dev, st.st_ino).empty());
    ::close(mine);
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// One watcher per folder: the lock names its holder, goes with its descriptor, and works when
// the watcher was started with standard input closed (the lock file then gets descriptor 0).
TEST(WatchLock, OneHolderNamedByPidAndStandardInputClosedIsNoFailure) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int dirFd = ::open(dir.path().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dirFd, 0);
    std::string holder;
    const int first = lockWatchedFolder(dirFd, &holder);
    ASSERT_GE(first, 0) << holder;
    char pid[32] = {};
    EXPECT_GT(::pread(first, pid, sizeof pid - 1, 0), 0);
    EXPECT_EQ(std::string(pid), std::to_string(::getpid()) + "\n");
    EXPECT_EQ(lockWatchedFolder(dirFd, &holder), -2);
    EXPECT_EQ(holder, "process " + std::to_string(::getpid()));
    ::close(first);

    int onZero = -1;
    {
        test::StdinClosed closed;
        onZero = lockWatchedFolder(dirFd, &holder);
        if (onZero >= 0) ::close(onZero);
    }
    EXPECT_EQ(onZero, 0) << holder;
    ::close(dirFd);
}

}  // namespace
}  // namespace folvek
