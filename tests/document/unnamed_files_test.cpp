// Unnamed files: written whole before they have a name, named both ways without replacing a
// file of that name, gone without a trace when never named.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "document/test_support.h"
#include "unnamed_files.h"

namespace folvek {
namespace {

using coretest::ScratchDir;

TEST(UnnamedFiles, WrittenThenNamedEitherWayAndNeverOverAFile) {
    ScratchDir dir;
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    const int probe = openUnnamed(folder);
    if (probe < 0) {
        ::close(folder);
        GTEST_SKIP() << "this temporary folder makes no unnamed files";
    }
    ::close(probe);  // never named: nothing is left of it
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

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

}  // namespace
}  // namespace folvek
