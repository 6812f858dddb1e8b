// The folder and name parts of a path, as the temporary files beside a target need them, and
// a sweep of leftovers in a folder that is not there.
#include <gtest/gtest.h>

#include <string>

#include "temp_names.h"

namespace folvek {
namespace {

TEST(TempNames, FolderAndNameOfAPath) {
    const struct {
        const char* path;
        const char* dir;
        const char* base;
    } cases[] = {
        {"/x", "/", "x"},
        {"x", ".", "x"},
        {"/a/b", "/a", "b"},
        {"a/", "a", ""},
        {"a/b/c.pdf", "a/b", "c.pdf"},
        {"/", "/", ""},
        {"", ".", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(directoryOf(c.path), c.dir) << c.path;
        EXPECT_EQ(baseNameOf(c.path), c.base) << c.path;
    }
    EXPECT_EQ(removeLeftoverTemps("/no/such/folder/here"), 0);
}

}  // namespace
}  // namespace folvek
