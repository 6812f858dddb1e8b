// The recent-documents list: newest first, each document once, ten at most, odd paths kept.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "recent_files.h"

namespace fs = std::filesystem;
using namespace folvek;

namespace {

class RecentFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("folvek-recent-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / recent::kFileName).string();
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> documents() {
        std::vector<std::string> out;
        for (const history::Entry& e : recent::read(file)) out.push_back(e.document);
        return out;
    }
    fs::path dir;
    std::string file;
};

}  // namespace

TEST_F(RecentFilesTest, NewestFirstEachOnceAndTenAtMost) {
    EXPECT_TRUE(recent::read(file).empty());  // no file yet
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(recent::remember(file, "/r/" + std::to_string(i) + ".txt", "FOLVK95.INI"));
    std::vector<std::string> docs = documents();
    ASSERT_EQ(docs.size(), 10u);
    EXPECT_EQ(docs.front(), "/r/12.txt");
    EXPECT_EQ(docs.back(), "/r/3.txt");
    {
        // The file itself keeps no more than it shows.
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
    }

    // Shown again, a document moves to the top with the settings it now has.
    ASSERT_TRUE(recent::remember(file, "/r/5.txt", "REPORT.INI"));
    const std::vector<history::Entry> entries = recent::read(file);
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0].document, "/r/5.txt");
    EXPECT_EQ(entries[0].settings, "REPORT.INI");
    EXPECT_EQ(entries[1].document, "/r/12.txt");
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const history::Entry& e) { return e.document == "/r/5.txt"; }),
              1);

    ASSERT_TRUE(recent::forget(file, "/r/12.txt"));
    docs = documents();
    EXPECT_EQ(docs.size(), 9u);
    EXPECT_EQ(docs[1], "/r/11.txt");
}

TEST_F(RecentFilesTest, PathsWithTabsAndLineEndsComeBackWholeAndTheFileIsDosText) {
    const std::string odd = "/r/a\tb\r\nc%.txt";
    ASSERT_TRUE(recent::remember(file, "/r/plain.txt", "A.INI"));
    ASSERT_TRUE(recent::remember(file, odd, "B\t.INI"));
    const std::vector<history::Entry> entries = recent::read(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].document, odd);
    EXPECT_EQ(entries[0].settings, "B\t.INI");
    std::ifstream in(file, std::ios::binary);
    const std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(raw.ends_with("/r/plain.txt\tA.INI\r\n")) << raw;
}
