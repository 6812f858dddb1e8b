// Find in a job laid out by itself: its pages' printed text, page by page and line by line,
// without regard to case; box drawing never matches and a '<B>' it prints is text, not a tag.
#include <gtest/gtest.h>

#include "job_layout.h"
#include "job_search.h"

namespace folvek {
namespace {

class Pages final : public JobLayout {
  public:
    explicit Pages(std::vector<std::u16string> pages) : pages_(std::move(pages)) {}
    std::int32_t pageCount() const override { return static_cast<std::int32_t>(pages_.size()); }
    std::u16string pageText(std::int32_t page) const override {
        return pages_[static_cast<std::size_t>(page - 1)];
    }

  private:
    std::vector<std::u16string> pages_;
};

TEST(JobSearch, MatchesNameTheirPageAndLineInPageOrder) {
    const Pages job({u"Итого: 5\n\n  ИТОГО <B>", u"", u"│итого│ ─итого─"});
    const SearchResult r = searchJob(job, TextQuery("\xE8\xF2\xEE\xE3\xEE"));  // итого
    ASSERT_EQ(r.matches.size(), 4u);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.matches[0], (TextMatch{jobTextLine(1, 0), 0, 5}));
    EXPECT_EQ(r.matches[1], (TextMatch{jobTextLine(1, 2), 2, 5}));
    EXPECT_EQ(r.matches[2], (TextMatch{jobTextLine(3, 0), 1, 5}));
    EXPECT_EQ(r.matches[3], (TextMatch{jobTextLine(3, 0), 9, 5}));
    EXPECT_EQ(jobTextPage(r.matches[3].line), 3);
    EXPECT_EQ(jobTextLineOnPage(r.matches[1].line), 2);
    // The job printed the characters '<B>': they are found, as they stand.
    EXPECT_EQ(searchJob(job, TextQuery("<b>")).matches.size(), 1u);
    // A frame is never found, neither its box drawing nor a bar.
    EXPECT_TRUE(searchJob(job, TextQuery("|")).matches.empty());
    EXPECT_TRUE(searchJob(job, TextQuery("?")).matches.empty());
}

TEST(JobSearch, ACancelledSearchSaysItIsIncomplete) {
    const Pages job({u"a", u"a"});
    const std::atomic<bool> cancel{true};
    const SearchResult r = searchJob(job, TextQuery("a"), &cancel);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.matches.empty());
}

}  // namespace
}  // namespace folvek
