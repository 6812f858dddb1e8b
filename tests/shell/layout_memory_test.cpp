// The layout chosen per document: found again for the same path only, forgotten when set back
// to the file's own choice, other documents' lines kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "layout_memory.h"

namespace folvek {
namespace {

TEST(LayoutMemory, RememberedPerDocumentAndForgottenOnAuto) {
    const std::string dir = ::testing::TempDir() + "folvek-layout-memory/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    EXPECT_EQ(layout_memory::lookup(dir, "/a.prn"), LayoutMode::Auto);  // no file yet
    ASSERT_TRUE(layout_memory::remember(dir, "/a.prn", LayoutMode::Job));
    ASSERT_TRUE(layout_memory::remember(dir, "/b b.prn", LayoutMode::Report));
    EXPECT_EQ(layout_memory::lookup(dir, "/a.prn"), LayoutMode::Job);
    EXPECT_EQ(layout_memory::lookup(dir, "/b b.prn"), LayoutMode::Report);
    EXPECT_EQ(layout_memory::lookup(dir, "/a.prn.bak"), LayoutMode::Auto);
    ASSERT_TRUE(layout_memory::remember(dir, "/a.prn", LayoutMode::Report));  // replaced
    ASSERT_TRUE(layout_memory::remember(dir, "/b b.prn", LayoutMode::Auto));  // forgotten
    EXPECT_EQ(layout_memory::lookup(dir, "/a.prn"), LayoutMode::Report);
    EXPECT_EQ(layout_memory::lookup(dir, "/b b.prn"), LayoutMode::Auto);
    std::ifstream in(dir + layout_memory::kFileName);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "report\t/a.prn\n");
    EXPECT_FALSE(layout_memory::remember(dir, "/two\nlines", LayoutMode::Job));
    std::filesystem::remove_all(dir);
}

// Lines a person or another program spoiled (no tab, nothing after it) are passed over when
// reading and left out when the file is written again; CR LF lines are read as well.
TEST(LayoutMemory, SpoiledLinesAreSkippedAndDropped) {
    const std::string dir = ::testing::TempDir() + "folvek-layout-spoiled/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir + layout_memory::kFileName)
        << "job /no-tab.prn\njob\t\nreport\t/crlf.prn\r\n";
    EXPECT_EQ(layout_memory::lookup(dir, "/crlf.prn"), LayoutMode::Report);
    EXPECT_EQ(layout_memory::lookup(dir, "job /no-tab.prn"), LayoutMode::Auto);
    ASSERT_TRUE(layout_memory::remember(dir, "/c.prn", LayoutMode::Job));
    std::ifstream in(dir + layout_memory::kFileName);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "report\t/crlf.prn\njob\t/c.prn\n");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace folvek
