// Temporary names that are taken already: the maker draws another name, up to its limit, and
// stops at once on any other failure. The random part is scripted here through getrandom.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "document/test_support.h"
#include "temp_names.h"

// 0: the kernel's random bytes. n > 0: the next call gives bytes all n, and counts up.
static unsigned char scriptedRandom = 0;

extern "C" ssize_t getrandom(void* buffer, size_t length, unsigned flags) {
    if (scriptedRandom == 0) return ::syscall(SYS_getrandom, buffer, length, flags);
    std::memset(buffer, scriptedRandom++, length);
    return static_cast<ssize_t>(length);
}

namespace folvek {
namespace {

namespace fs = std::filesystem;

// The name the maker draws when getrandom gives bytes all `n`.
std::string drawn(const std::string& dir, const std::string& stem, unsigned char n) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return tempName(dir, stem, ::getpid(), std::string(6, kChars[n % 62]));
}

TEST(TempNames, ATemporaryOnDescriptorZeroIsClosedWhenRemoved) {
    coretest::ScratchDir dir;
    OwnedTemp file;
    bool made = false, stillOpen = false;
    int fd = -1;
    {
        test::StdinClosed closed;
        made = createOwnedTemp(dir.path(), "r.txt", file);
        fd = file.fd;
        removeOwnedTemp(file);
        stillOpen = ::fcntl(0, F_GETFD) != -1;
    }
    ASSERT_TRUE(made);
    EXPECT_EQ(fd, 0);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(TempNames, ATakenNameIsDrawnAgainAndOtherFailuresStop) {
    coretest::ScratchDir dir;
    // Folders: the first two names are taken, the third is free.
    ASSERT_EQ(::mkdir(drawn(dir.path(), "job", 1).c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(drawn(dir.path(), "job", 2).c_str(), 0700), 0);
    OwnedTemp folder;
    scriptedRandom = 1;
    const bool madeFolder = createOwnedTempDir(dir.path(), "job", folder);
    scriptedRandom = 0;
    ASSERT_TRUE(madeFolder);
    EXPECT_EQ(folder.path, drawn(dir.path(), "job", 3));
    EXPECT_TRUE(fs::is_directory(folder.path));
    removeOwnedTemp(folder);
    EXPECT_FALSE(fs::exists(drawn(dir.path(), "job", 3)));

    // Files: the same, under the target's name.
    dir.file(fs::path(drawn(dir.path(), "r.txt", 1)).filename().string(), "taken");
    OwnedTemp file;
    scriptedRandom = 1;
    const bool madeFile = createOwnedTemp(dir.path(), "r.txt", file);
    scriptedRandom = 0;
    ASSERT_TRUE(madeFile);
    EXPECT_EQ(file.path, drawn(dir.path(), "r.txt", 2));
    removeOwnedTemp(file);

    // Every name drawn is taken: the maker gives up, saying why.
    for (unsigned char n = 1; n <= 8; ++n) ::mkdir(drawn(dir.path(), "full", n).c_str(), 0700);
    scriptedRandom = 1;
    const bool madeFull = createOwnedTempDir(dir.path(), "full", folder);
    const int fullError = errno;
    const unsigned char drawsFull = scriptedRandom - 1;
    scriptedRandom = 0;
    EXPECT_FALSE(madeFull);
    EXPECT_EQ(fullError, EEXIST);
    EXPECT_EQ(drawsFull, 8);
    EXPECT_TRUE(folder.path.empty());

    // A folder that is not there fails at once: no name is drawn twice for nothing.
    scriptedRandom = 1;
    const bool madeMissing = createOwnedTempDir(dir.path() + "/missing", "job", folder);
    const int missingError = errno;
    const unsigned char drawsMissing = scriptedRandom - 1;
    scriptedRandom = 0;
    EXPECT_FALSE(madeMissing);
    EXPECT_EQ(missingError, ENOENT);
    EXPECT_EQ(drawsMissing, 1);
    scriptedRandom = 1;
    EXPECT_FALSE(createOwnedTemp(dir.path() + "/missing", "r.txt", file));
    EXPECT_EQ(scriptedRandom - 1, 1);
    scriptedRandom = 0;
}

// Which names removeLeftoverTemps takes for ours: a leading dot, the marker, a pid of one to nine
// digits, a dash and six letters or digits, nothing else.
TEST(TempNames, OnlyNamesOfTheMakersFormAreOurs) {
    const struct {
        const char* name;
        pid_t pid;  // 0: not ours
    } cases[] = {
        {".r.txt.folvek-123-abcDE9", 123},
        {".folvek-12-abcdef", 12},  // an unnamed target, the shortest name taken
        {".r.folvek-123456789-09azAZ", 123456789},
        {".r.folvek-1234567890-abcdef", 0},  // ten digits
        {".r.folvek--abcdef", 0},
        {".r.folvek-12abcdef", 0},
        {".r.folvek-12-abcde", 0},
        {".r.folvek-12-abcdefg", 0},
        {"r.txt.folvek-123-abcdef", 0},
        {".r.txt.folveK-123-abcdef", 0},
        {".r.txtfolvek-123-abcdef", 0},
        {"folvek-12-abcdef", 0},
        // The neighbours of each range of the random part.
        {".r.folvek-12-abc/ef", 0},
        {".r.folvek-12-abc:ef", 0},
        {".r.folvek-12-abc`ef", 0},
        {".r.folvek-12-abc{ef", 0},
        {".r.folvek-12-abc@ef", 0},
        {".r.folvek-12-abc[ef", 0},
        {".r.folvek-12-abc.ef", 0},
        {".r.folvek-12-abc-ef", 0},
    };
    for (const auto& c : cases) {
        pid_t pid = -1;
        EXPECT_EQ(isTempName(c.name, &pid), c.pid != 0) << c.name;
        if (c.pid != 0) {
            EXPECT_EQ(pid, c.pid) << c.name;
        }
    }
    EXPECT_EQ(tempName("/d", "r.txt", 42, "abcdef"), "/d/.r.txt.folvek-42-abcdef");
    EXPECT_EQ(tempName("/d/", "", 42, "abcdef"), "/d/.folvek-42-abcdef");
    EXPECT_EQ(directoryOf("a/b/c.txt"), "a/b");
    EXPECT_EQ(directoryOf("/c.txt"), "/");
    EXPECT_EQ(directoryOf("c.txt"), ".");
    EXPECT_EQ(baseNameOf("a/b/c.txt"), "c.txt");
    EXPECT_EQ(baseNameOf("c.txt"), "c.txt");
}

// A job's folder goes with every file the job put in it, whatever their names.
TEST(TempNames, AJobsFolderGoesWithItsFiles) {
    coretest::ScratchDir dir;
    OwnedTemp folder;
    ASSERT_TRUE(createOwnedTempDir(dir.path(), "job", folder));
    const std::string path = folder.path;
    for (const char* name : {"0", "1.csv", "a.b", "r.csv", "x..y"})
        dir.file(fs::path(path).filename().string() + "/" + name, "data");
    removeOwnedTemp(folder);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(folder.path.empty());
}

}  // namespace
}  // namespace folvek
