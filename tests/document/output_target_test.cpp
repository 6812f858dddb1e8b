// The rules for every output path: a device node, a FIFO or standard output is written to and
// stays what it is; a link to the user's own file is followed; a directory or a block device is
// refused. Device nodes are made with mknod in a scratch folder (root only: skipped otherwise),
// never the system's own /dev/null.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "document/test_support.h"
#include "file_replace.h"
#include "output_target.h"
#include "temp_names.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::ScratchDir;

struct stat lstatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

int countTemps(const std::string& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += isTempName(e.path().filename());
    return n;
}

TEST(OutputTarget, ADeviceNodeIsWrittenToAndStaysADevice) {
    ScratchDir dir;
    const std::string null = dir.dir() + "mynull";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod of a character device needs root: " << std::strerror(errno);
    EXPECT_TRUE(saveFile(null, std::string(45000, 'x')).ok());
    EXPECT_TRUE(S_ISCHR(lstatOf(null).st_mode));
    // Through a link, too: the link and the node both stay.
    const std::string link = dir.dir() + "link-to-null";
    ASSERT_EQ(::symlink(null.c_str(), link.c_str()), 0);
    EXPECT_TRUE(saveFile(link, "x").ok());
    EXPECT_TRUE(S_ISLNK(lstatOf(link).st_mode));
    EXPECT_TRUE(S_ISCHR(lstatOf(null).st_mode));
    EXPECT_EQ(countTemps(dir.path()), 0);

    // A disk is never an output.
    const std::string disk = dir.dir() + "disk";
    ASSERT_EQ(::mknod(disk.c_str(), S_IFBLK | 0600, ::makedev(7, 200)), 0);
    EXPECT_EQ(saveFile(disk, "x").status, SaveStatus::NotRegular);
    EXPECT_TRUE(S_ISBLK(lstatOf(disk).st_mode));
}

TEST(OutputTarget, AFifoGetsTheBytesInOrderAndOneWithoutAReaderFailsAtOnce) {
    ScratchDir dir;
    const std::string fifo = dir.dir() + "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(saveFile(fifo, "nobody reads").status, SaveStatus::CreateFailed);
    EXPECT_EQ(saveFile(fifo, "x").error, ENXIO);

    std::string got;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buf[4096];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) got.append(buf, n);
        ::close(fd);
    });
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += std::to_string(i) + "\n";
    SaveResult r;
    for (int tries = 0; tries < 500; ++tries) {  // until the reader has opened its end
        r = saveFile(fifo, bytes);
        if (r.ok() || r.error != ENXIO) break;
        ::usleep(2000);
    }
    reader.join();
    EXPECT_TRUE(r.ok()) << saveFailureReason(r);
    EXPECT_EQ(got, bytes);
    EXPECT_TRUE(S_ISFIFO(lstatOf(fifo).st_mode));
}

TEST(OutputTarget, DashAndDevStdoutAreTheDescriptorWeHold) {
    ScratchDir dir;
    const std::string file = dir.file("redirected", "");
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND);
    ::dup2(fd, STDOUT_FILENO);
    const bool dash = saveFile("-", "one ").ok();
    const bool named = saveFile("/dev/stdout", "two").ok();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(fd);
    EXPECT_TRUE(dash);
    EXPECT_TRUE(named);
    EXPECT_EQ(dir.read("redirected"), "one two");  // appended in order, never replaced
}

TEST(OutputTarget, WhatAPathNames) {
    ScratchDir dir;
    int error = 0;
    OutputTarget t;
    EXPECT_EQ(resolveOutputTarget(dir.path(), t, error), SaveStatus::Directory);
    const std::string sub = dir.dir() + "sub";
    fs::create_directory(sub);
    const std::string toDir = dir.dir() + "to-dir";
    ASSERT_EQ(::symlink("sub", toDir.c_str()), 0);
    EXPECT_EQ(resolveOutputTarget(toDir, t, error), SaveStatus::Directory);

    EXPECT_EQ(resolveOutputTarget(dir.dir() + "new.pdf", t, error), SaveStatus::Ok);
    EXPECT_EQ(t.kind, OutputKind::NewFile);

    const std::string own = dir.file("own.pdf", "old");
    const std::string link = dir.dir() + "link.pdf";
    ASSERT_EQ(::symlink("own.pdf", link.c_str()), 0);
    ASSERT_EQ(resolveOutputTarget(link, t, error), SaveStatus::Ok);
    EXPECT_EQ(t.kind, OutputKind::RegularFile);
    EXPECT_EQ(t.path, fs::canonical(own).string());
    EXPECT_TRUE(saveFile(link, "new").ok());
    EXPECT_TRUE(S_ISLNK(lstatOf(link).st_mode));
    EXPECT_EQ(dir.read("own.pdf"), "new");

    EXPECT_EQ(resolveOutputTarget("-", t, error), SaveStatus::Ok);
    EXPECT_EQ(t.kind, OutputKind::Stream);
    EXPECT_EQ(t.fd, STDOUT_FILENO);
    EXPECT_EQ(resolveOutputTarget("/dev/fd/999", t, error), SaveStatus::CreateFailed);
}

TEST(OutputTarget, DescriptorNamesTakeOnlyDigitsAndAtMostSix) {
    int error = 0;
    OutputTarget t;
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 100);
    ASSERT_GE(fd, 100);
    const std::string n = std::to_string(fd);
    for (const std::string& name : {"/dev/fd/" + n, "/proc/self/fd/" + n}) {
        EXPECT_EQ(resolveOutputTarget(name, t, error), SaveStatus::Ok) << name;
        EXPECT_EQ(t.kind, OutputKind::Stream) << name;
        EXPECT_EQ(t.fd, fd) << name;
    }
    ::close(fd);
    EXPECT_EQ(resolveOutputTarget("/dev/stderr", t, error), SaveStatus::Ok);
    EXPECT_EQ(t.fd, STDERR_FILENO);
    EXPECT_EQ(resolveOutputTarget("/dev/stdout", t, error), SaveStatus::Ok);
    EXPECT_EQ(t.fd, STDOUT_FILENO);
    // Six digits are still a descriptor of ours (here one not open)...
    EXPECT_EQ(resolveOutputTarget("/dev/fd/999999", t, error), SaveStatus::CreateFailed);
    EXPECT_EQ(error, EBADF);
    EXPECT_EQ(resolveOutputTarget("/proc/self/fd/100000", t, error), SaveStatus::CreateFailed);
    EXPECT_EQ(error, EBADF);
    // ...seven are a name like any other, and so is one with a letter in it.
    for (const char* name : {"/dev/fd/1000000", "/dev/fd/1x", "/proc/self/fd/12a"}) {
        EXPECT_NE(resolveOutputTarget(name, t, error), SaveStatus::CreateFailed) << name;
        EXPECT_EQ(t.fd, -1) << name;
        EXPECT_NE(t.kind, OutputKind::Stream) << name;
    }
    EXPECT_EQ(resolveOutputTarget("/dev/fd/", t, error), SaveStatus::Directory);
    EXPECT_EQ(resolveOutputTarget("", t, error), SaveStatus::CreateFailed);
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace folvek
