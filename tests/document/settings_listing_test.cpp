// The settings files the tool bar lists: regular files named *.ini in any case, hidden files,
// other names and folders left out, sorted by name without regard to ASCII case (equal names
// then by their bytes), bytes past ASCII after it as they are.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings_listing.h"
#include "test_support.h"

namespace folvek {
namespace {

TEST(SettingsListing, IniFilesOnlySortedWithoutRegardToCase) {
    coretest::ScratchDir dir;
    for (const char* name :
         {"B1.INI", "a2.ini", "_x.ini", "Z.ini", "1.ini", "Ab.Ini", "ab.ini", "x.INI",
          "\xca\xe8\xf0.ini", ".hidden.ini", "x.ini.bak", "a.in", "ini"})
        dir.file(name, "[Folvk]\n");
    std::filesystem::create_directory(dir.dir() + "folder.ini");
    const std::vector<std::string> expected = {"1.ini",  "_x.ini", "a2.ini",
                                               "Ab.Ini", "ab.ini", "B1.INI",
                                               "x.INI",  "Z.ini",  "\xca\xe8\xf0.ini"};
    EXPECT_EQ(listSettingsFiles(dir.path()), expected);
    EXPECT_EQ(listSettingsFiles(dir.dir()), expected) << "with a slash at the end";
    EXPECT_TRUE(listSettingsFiles(dir.dir() + "absent").empty());

    EXPECT_TRUE(startsWithIgnoringCase("FOLVK95.INI", "folvk"));
    EXPECT_TRUE(startsWithIgnoringCase("folvk95.ini", "FOLVK9"));
    EXPECT_TRUE(startsWithIgnoringCase("any", ""));
    EXPECT_FALSE(startsWithIgnoringCase("fo", "folvk"));
    EXPECT_FALSE(startsWithIgnoringCase("folvk", "folvl"));
    EXPECT_FALSE(startsWithIgnoringCase("@x", "`x"));  // the characters next to the letters
    EXPECT_FALSE(startsWithIgnoringCase("[x", "{x"));
}

}  // namespace
}  // namespace folvek
