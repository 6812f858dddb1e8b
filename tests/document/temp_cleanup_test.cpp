// What a killed job leaves is removed by the signal clean-up: a folder with every name it holds,
// dot-files too, and a path exactly as long as a slot takes; a longer one is refused rather than
// cut, and the slots run out cleanly.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/test_support.h"
#include "temp_cleanup.h"

namespace folvek {
namespace {

namespace fs = std::filesystem;
using coretest::ScratchDir;

bool present(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

TEST(TempCleanup, AFolderGoesWithEveryNameInItDotFilesToo) {
    ScratchDir dir;
    const std::string folder = dir.dir() + ".job.folvek-1-abcdef";
    fs::create_directory(folder);
    for (const char* name : {"0", ".hidden", "..twodots", ".x", "old-1"})
        dir.file(".job.folvek-1-abcdef/" + std::string(name), "bytes");
    const std::string file = dir.file("r.pdf.tmp", "half");
    const int f = temp_cleanup::add(folder.c_str(), true);
    const int g = temp_cleanup::add(file.c_str());
    ASSERT_GE(f, 0);
    ASSERT_GE(g, 0);
    temp_cleanup::removeAll();
    EXPECT_FALSE(present(folder)) << "emptied and removed";
    EXPECT_FALSE(present(file));
    EXPECT_TRUE(fs::is_empty(dir.path()));
    // The slots are free again: removing once more touches nothing new.
    const std::string kept = dir.file("r.pdf.tmp", "a later file under the same name");
    temp_cleanup::removeAll();
    EXPECT_TRUE(present(kept));
}

TEST(TempCleanup, PathsUpToTheSlotsSizeAndSlotsRunningOut) {
    // A slot holds 4,095 characters and the end of the string.
    const std::string longest(4095, 'a');
    const int s = temp_cleanup::add(longest.c_str());
    EXPECT_GE(s, 0);
    temp_cleanup::drop(s);
    EXPECT_EQ(temp_cleanup::add(std::string(4096, 'a').c_str()), -1) << "not cut short";

    ScratchDir dir;
    std::vector<int> taken;
    for (int k = 0; k < 40; ++k) {
        const int slot = temp_cleanup::add((dir.dir() + std::to_string(k)).c_str());
        if (slot < 0) break;
        taken.push_back(slot);
    }
    EXPECT_GE(taken.size(), 1u);
    EXPECT_LT(taken.size(), 40u) << "the slots run out and say so";
    temp_cleanup::drop(taken.back());
    EXPECT_EQ(temp_cleanup::add((dir.dir() + "again").c_str()), taken.back())
        << "a dropped slot is taken again";
    temp_cleanup::drop(-1);  // ignored
    temp_cleanup::drop(99);  // ignored
    for (int slot : taken) temp_cleanup::drop(slot);
}

}  // namespace
}  // namespace folvek
