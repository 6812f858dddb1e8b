// The watched folder's decisions without timers: when a file counts as complete, fed with
// listings at times the test chooses; and the names and the text test of that folder.
#include <gtest/gtest.h>

#include <string>

#include "watch_names.h"
#include "watch_settle.h"

namespace folvek {
namespace {

SeenFile file(const std::string& name, std::uint64_t size, std::int64_t mtime = 0,
              std::uint64_t inode = 1) {
    return {name, {size, mtime, inode}};
}

std::vector<std::string> names(const std::vector<ReadyFile>& ready) {
    std::vector<std::string> out;
    for (const ReadyFile& r : ready) out.push_back(r.name);
    return out;
}

TEST(SettleTracker, FileWrittenSlowlyIsReadyOnceAfterItSettles) {
    SettleTracker t(1000, 60000);
    // Pieces 400 ms apart: never quiet for a whole second until the last one.
    for (int piece = 0; piece < 5; ++piece) {
        t.observe({file("REPORT.PRN", 100 * (piece + 1), piece)}, piece * 400);
        EXPECT_TRUE(t.takeReady(piece * 400).empty()) << piece;
    }
    EXPECT_EQ(t.msUntilNext(1700), 900);
    t.observe({file("REPORT.PRN", 500, 4)}, 2500);
    EXPECT_TRUE(t.takeReady(2599).empty());
    const auto ready = t.takeReady(2600);
    ASSERT_EQ(names(ready), std::vector<std::string>{"REPORT.PRN"});
    EXPECT_FALSE(ready[0].overdue);
    EXPECT_EQ(ready[0].state.size, 500u);
    // Still there (it could not be moved): not handed out again until it changes.
    t.observe({file("REPORT.PRN", 500, 4)}, 5000);
    EXPECT_TRUE(t.takeReady(9000).empty());
    EXPECT_FALSE(t.waiting());
    t.observe({file("REPORT.PRN", 600, 5)}, 9000);
    EXPECT_EQ(names(t.takeReady(10000)), std::vector<std::string>{"REPORT.PRN"});
}

TEST(SettleTracker, TwoFilesAtOnceEachOnItsOwnClock) {
    SettleTracker t(1000, 60000);
    t.observe({file("a.prn", 10), file("b.prn", 10)}, 0);
    t.observe({file("a.prn", 20, 1), file("b.prn", 10)}, 500);
    EXPECT_EQ(names(t.takeReady(1000)), std::vector<std::string>{"b.prn"});
    t.observe({file("a.prn", 20, 1)}, 1000);  // b went to done/
    EXPECT_TRUE(t.takeReady(1400).empty());
    EXPECT_EQ(names(t.takeReady(1500)), std::vector<std::string>{"a.prn"});
}

TEST(SettleTracker, FileRemovedBeforeItSettlesIsForgotten) {
    SettleTracker t(1000, 60000);
    t.observe({file("x.prn", 10)}, 0);
    t.observe({}, 500);
    EXPECT_TRUE(t.takeReady(5000).empty());
    EXPECT_EQ(t.msUntilNext(5000), -1);
    // The same name back later is a new file with a quiet time of its own.
    t.observe({file("x.prn", 10)}, 6000);
    EXPECT_TRUE(t.takeReady(6999).empty());
    EXPECT_EQ(names(t.takeReady(7000)), std::vector<std::string>{"x.prn"});
    // Replaced by another file of the same size and time (a new inode): a new job.
    t.observe({file("x.prn", 10, 0, 2)}, 8000);
    EXPECT_EQ(names(t.takeReady(9000)), std::vector<std::string>{"x.prn"});
}

TEST(SettleTracker, FileThatNeverStopsGrowingGoesAfterTheLongestWait) {
    SettleTracker t(1000, 5000);
    std::int64_t now = 0;
    for (; now < 5000; now += 100) {
        t.observe({file("log.prn", 1 + static_cast<std::uint64_t>(now))}, now);
        ASSERT_TRUE(t.takeReady(now).empty()) << now;
    }
    t.observe({file("log.prn", 1 + static_cast<std::uint64_t>(now))}, now);
    const auto ready = t.takeReady(now);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_TRUE(ready[0].overdue);
}

TEST(SettleTracker, EmptyFileWaitsForItsJob) {
    SettleTracker t(200, 1000);
    t.observe({file("job.prn", 0)}, 0);
    EXPECT_TRUE(t.takeReady(5000).empty());
    EXPECT_EQ(t.msUntilNext(5000), -1);
    t.observe({file("job.prn", 80, 1)}, 5000);
    EXPECT_EQ(names(t.takeReady(5200)), std::vector<std::string>{"job.prn"});
}

TEST(SettleTracker, OneByteIsAJobAndAHeldBackFileKeepsItsTimes) {
    SettleTracker t(1000, 5000);
    t.observe({file("one.prn", 1)}, 0);
    EXPECT_EQ(t.msUntilNext(0), 1000);
    EXPECT_EQ(t.msUntilNext(999), 1);
    EXPECT_EQ(t.msUntilNext(1000), 0);  // due now
    EXPECT_EQ(t.msUntilNext(4000), 0);  // overdue: at once, never a wait below nothing
    EXPECT_TRUE(t.takeReady(999).empty());
    auto ready = t.takeReady(1000);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_FALSE(ready[0].overdue);
    EXPECT_FALSE(ready[0].longestWaitOver);
    // Held back: not before the retry time, and then at once, its quiet time kept.
    t.holdBack(ready[0], 1000, 300);
    EXPECT_TRUE(t.waiting());
    EXPECT_EQ(t.msUntilNext(1000), 300);
    EXPECT_TRUE(t.takeReady(1299).empty());
    EXPECT_EQ(names(t.takeReady(1300)), std::vector<std::string>{"one.prn"});
    // A file held back that was never handed out waits from now.
    t.holdBack({"other.prn", {7, 0, 3}}, 2000, 500);
    t.observe({file("one.prn", 1), file("other.prn", 7, 0, 3)}, 2000);
    EXPECT_TRUE(t.takeReady(2499).empty());
    EXPECT_EQ(names(t.takeReady(3000)), std::vector<std::string>{"other.prn"});
}

TEST(SettleTracker, TheLongestWaitCountsFromTheFirstByte) {
    SettleTracker t(200, 1000);
    t.observe({file("job.prn", 0)}, 0);
    std::int64_t now = 5000;
    for (; now < 6000; now += 100) {
        t.observe({file("job.prn", 1 + static_cast<std::uint64_t>(now))}, now);
        ASSERT_TRUE(t.takeReady(now).empty()) << now;
    }
    // Due at the longest wait, sooner than its quiet time would be.
    EXPECT_EQ(t.msUntilNext(5950), 50);
    t.observe({file("job.prn", 1 + static_cast<std::uint64_t>(now))}, now);
    auto ready = t.takeReady(now);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_TRUE(ready[0].overdue);
    EXPECT_TRUE(ready[0].longestWaitOver);
    // Quiet, but looked at only after the longest wait: not overdue, the wait is over.
    SettleTracker late(200, 1000);
    late.observe({file("late.prn", 5)}, 0);
    ready = late.takeReady(1000);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_FALSE(ready[0].overdue);
    EXPECT_TRUE(ready[0].longestWaitOver);
}

TEST(WatchNames, NumberedCopiesAndPdfNames) {
    EXPECT_EQ(numberedName("REPORT.PRN", 0), "REPORT.PRN");
    EXPECT_EQ(numberedName("REPORT.PRN", 2), "REPORT-2.PRN");
    EXPECT_EQ(numberedName("report", 1), "report-1");
    EXPECT_EQ(numberedName("a.b.txt", 1), "a.b-1.txt");
    EXPECT_EQ(pdfNameFor("REPORT.PRN", 0), "REPORT.pdf");
    EXPECT_EQ(pdfNameFor("REPORT.PRN", 1), "REPORT-1.pdf");
    EXPECT_EQ(pdfNameFor("report", 0), "report.pdf");
    // A leading dot is part of the name, not an extension's.
    EXPECT_EQ(numberedName(".report", 2), ".report-2");
    EXPECT_EQ(pdfNameFor(".report", 0), ".report.pdf");
    EXPECT_EQ(numberedName(".report.prn", 1), ".report-1.prn");
}

TEST(WatchNames, PrintableNameKeepsOneLine) {
    // Whole shortest-form UTF-8 sequences stay; every other byte, and the controls, are shown
    // as escapes. The cases sit at the edges of each lead byte's range of second bytes.
    struct Case {
        std::string name, shown;
    };
    const Case cases[] = {
        {"Отчёт 1.prn", "Отчёт 1.prn"},
        {"two\nlines", "two\\nlines"},
        {"tab\there", "tab\\x09here"},
        {" ~\x1F\x7F", " ~\\x1F\\x7F"},
        // A name in code page 866 is not UTF-8: its bytes are shown, not turned into U+FFFD.
        {"\x8E\xE2\xE7\xA5\xE2.prn", "\\x8E\\xE2\\xE7\\xA5\\xE2.prn"},
        {"\xC3", "\\xC3"},           // cut short
        {"\xC0\xAF", "\\xC0\\xAF"},  // overlong
        {"\xC1\xBF", "\\xC1\\xBF"},  // overlong
        {"\xC2\x80\xDF\xBF", "\xC2\x80\xDF\xBF"},
        {"\xC3(", "\\xC3("},                  // no continuation byte
        {"\xE0\x9F\xBF", "\\xE0\\x9F\\xBF"},  // overlong
        {"\xE0\xA0\x80", "\xE0\xA0\x80"},
        {"\xEF\xBF\xBF", "\xEF\xBF\xBF"},
        // The first surrogate is no character; the letter just below the surrogates is one.
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        {"\xED\x9F\xBF", "\xED\x9F\xBF"},
        {"\xF0\x8F\xBF\xBF", "\\xF0\\x8F\\xBF\\xBF"},  // overlong
        {"\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},
        {"\xF0\x9F\x98\x80.prn", "\xF0\x9F\x98\x80.prn"},  // an emoji
        {"\xF1\x80\x80\x80", "\xF1\x80\x80\x80"},
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},      // U+10FFFF
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // past U+10FFFF
        {"\xF5\x80\x80\x80", "\\xF5\\x80\\x80\\x80"},
        {"\xF0\x9F\x98", "\\xF0\\x9F\\x98"},  // cut short
    };
    for (const Case& c : cases)
        EXPECT_EQ(printableName(c.name), c.shown) << testing::PrintToString(c.name);
}

}  // namespace
}  // namespace folvek
