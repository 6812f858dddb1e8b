// The line store's cursor and the record's walk over it.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

void fill(LineStore& l, int n) {
    for (int i = 0; i < n; ++i) {
        std::string s = "line" + std::to_string(i);
        l.append(s.data(), s.size());
    }
}

TEST(LineStore, EmptyStore) {
    LineStore l;
    EXPECT_FALSE(l.first());
    EXPECT_FALSE(l.last());
    EXPECT_FALSE(l.next());
    EXPECT_FALSE(l.prev());
    EXPECT_FALSE(l.seek(1));
    EXPECT_EQ(l.currentText(), nullptr);
    EXPECT_EQ(l.currentStyle(), 0);
    EXPECT_EQ(l.currentIndex(), -1);
    l.clear();
    EXPECT_TRUE(l.empty());
}

// The style of the current line is read and set at every line, the first one too; with no line
// there is nothing to set.
TEST(LineStore, TheCurrentLinesStyleAtEveryLine) {
    LineStore l;
    l.setCurrentStyle(7);  // nothing to set
    EXPECT_EQ(l.currentStyle(), 0);
    fill(l, 3);
    ASSERT_TRUE(l.first());
    EXPECT_STREQ(l.currentText(), "line0");
    for (std::uint16_t style : {std::uint16_t(1), std::uint16_t(2), std::uint16_t(4)}) {
        l.setCurrentStyle(style);
        EXPECT_EQ(l.currentStyle(), style);
        l.next();
    }
    EXPECT_EQ(l.styleAt(0), 1);
    EXPECT_EQ(l.styleAt(1), 2);
    EXPECT_EQ(l.styleAt(2), 4);
    ASSERT_TRUE(l.first());
    EXPECT_EQ(l.currentStyle(), 1);
    EXPECT_TRUE(l.next());
    EXPECT_TRUE(l.prev());  // back to the first line from the second
    EXPECT_EQ(l.currentIndex(), 0);
    EXPECT_FALSE(l.prev());
}

TEST(LineStore, AppendMakesTheNewLineCurrent) {
    LineStore l;
    l.append("abc", 3);
    EXPECT_STREQ(l.currentText(), "abc");
    l.append("", 0);
    EXPECT_STREQ(l.currentText(), "");
    char* room = l.beginAppend(10);
    std::memcpy(room, "xyz-junk", 8);
    l.endAppend(3);
    EXPECT_STREQ(l.currentText(), "xyz");
    EXPECT_EQ(l.size(), 3u);
    EXPECT_STREQ(l.textAt(0), "abc");  // earlier texts untouched by later appends
}

TEST(LineStore, SeekAndStepAtTheEnds) {
    LineStore l;
    fill(l, 5);
    EXPECT_TRUE(l.seek(2));
    EXPECT_STREQ(l.currentText(), "line1");
    EXPECT_FALSE(l.seek(0));
    EXPECT_FALSE(l.seek(-7));
    EXPECT_STREQ(l.currentText(), "line1");  // unchanged by a seek at or below 0
    EXPECT_FALSE(l.seek(6));
    EXPECT_STREQ(l.currentText(), "line4");  // left on the last line
    EXPECT_FALSE(l.next());
    EXPECT_FALSE(l.next());
    EXPECT_STREQ(l.currentText(), "line4");
    EXPECT_TRUE(l.first());
    EXPECT_FALSE(l.prev());
    EXPECT_STREQ(l.currentText(), "line0");
    EXPECT_FALSE(l.seek(INT32_MAX));
    EXPECT_STREQ(l.currentText(), "line4");
}

TEST(LineStore, StylesFollowTheCursor) {
    LineStore l;
    fill(l, 3);
    l.seek(2);
    l.setCurrentStyle(kBold | kItalic);
    EXPECT_EQ(l.styleAt(1), kBold | kItalic);
    l.next();
    EXPECT_EQ(l.currentStyle(), 0);
    l.prev();
    EXPECT_EQ(l.currentStyle(), kBold | kItalic);
}

TEST(LineStore, ManyAndLongLinesSurviveChunkGrowth) {
    LineStore l;
    const std::string big(100000, 'q');  // larger than the first arena chunk
    for (int i = 0; i < 20000; ++i) {
        std::string s = std::to_string(i);
        l.append(s.data(), s.size());
        if (i % 5000 == 0) l.append(big.data(), big.size());
    }
    l.shrinkToFit();
    EXPECT_EQ(l.size(), 20004u);
    EXPECT_STREQ(l.textAt(0), "0");
    EXPECT_EQ(std::strlen(l.textAt(1)), big.size());
    EXPECT_STREQ(l.textAt(l.size() - 1), "19999");
    EXPECT_GE(l.memoryUsed(), 4 * big.size());
    l.clear();
    EXPECT_TRUE(l.empty());
    EXPECT_EQ(l.memoryUsed(), 0u);
    l.append("again", 5);
    EXPECT_STREQ(l.currentText(), "again");
}

class RecordWalk : public ::testing::Test {
  protected:
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

// The codes of a line may end at the end of mapped memory: the word-at-a-time skip over text
// must not read the byte after them. The codes end right before a page that cannot be read.
TEST(LineStore, BoxCodesAreReadNoFurtherThanTheirLength) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    void* map =
        ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    auto* guard = static_cast<std::uint8_t*>(map) + page;
    ASSERT_EQ(::mprotect(guard, page, PROT_NONE), 0);
    for (std::size_t len = 1; len <= 24; ++len) {
        for (bool codeAtEnd : {false, true}) {
            std::uint8_t* codes = guard - len;
            std::fill(codes, guard, 0);
            if (codeAtEnd) codes[len - 1] = 3;
            LineStore lines;
            lines.append("x", 1);
            lines.setBoxCodes(0, codes, len);
            EXPECT_EQ(lines.hasBoxCodes(0), codeAtEnd) << len;
        }
    }
    ::munmap(map, 2 * page);
}

TEST(LineStore, BoxCodesOfLongRunsAndGapsReadBackAsFiled) {
    // Runs and gaps at the edges of what one stored run holds: 255, 256 and 511 cells.
    std::vector<std::uint8_t> codes(1600, 0);
    auto fill = [&](std::size_t from, std::size_t to, std::uint8_t code) {
        for (std::size_t k = from; k < to; ++k) codes[k] = code;
    };
    fill(0, 255, 5);
    fill(255, 511, 6);
    fill(766, 767, 7);    // after a gap of 255
    fill(1023, 1534, 8);  // after a gap of 256
    LineStore lines;
    for (int k = 0; k < 4; ++k) lines.append("x", 1);
    const std::vector<std::uint8_t> none(40, 0), short_{0, 3, 3, 0, 4};
    lines.setBoxCodes(0, none.data(), none.size());
    lines.setBoxCodes(1, codes.data(), codes.size());
    lines.setBoxCodes(2, short_.data(), short_.size());
    EXPECT_FALSE(lines.hasBoxCodes(0)) << "a line without box characters files nothing";
    ASSERT_TRUE(lines.hasBoxCodes(1));
    std::vector<std::uint8_t> out(1600, 0xEE);
    ASSERT_TRUE(lines.boxCodes(1, 0, out.data(), out.size()));
    EXPECT_EQ(out, codes);
    // Windows into the line across each edge.
    for (std::size_t offset : {250u, 508u, 760u, 1020u, 1530u, 1595u}) {
        std::vector<std::uint8_t> part(10, 0xEE);
        ASSERT_TRUE(lines.boxCodes(1, offset, part.data(), part.size()));
        const std::size_t n = std::min<std::size_t>(10, 1600 - offset);
        EXPECT_TRUE(std::equal(part.begin(), part.begin() + n, codes.begin() + offset)) << offset;
        for (std::size_t k = n; k < part.size(); ++k) EXPECT_EQ(part[k], 0) << offset;
    }
    std::uint8_t five[5] = {};
    ASSERT_TRUE(lines.boxCodes(2, 0, five, 5));
    EXPECT_EQ(std::vector<std::uint8_t>(five, five + 5), short_);
    std::uint8_t untouched[2] = {9, 9};
    EXPECT_FALSE(lines.boxCodes(3, 0, untouched, 2));
    EXPECT_EQ(untouched[0], 9);
    // Dropping from line 2 keeps line 1 whole.
    lines.dropBoxCodesFrom(2);
    EXPECT_FALSE(lines.hasBoxCodes(2));
    ASSERT_TRUE(lines.boxCodes(1, 0, out.data(), out.size()));
    EXPECT_EQ(out, codes);
    lines.clearBoxCodes();
    EXPECT_FALSE(lines.hasBoxCodes(1));
}

TEST_F(RecordWalk, LineAtNextLinePrevLine) {
    EXPECT_EQ(doc->lineAt(0), nullptr);
    EXPECT_EQ(doc->nextLine(), nullptr);
    EXPECT_EQ(doc->prevLine(), nullptr);
    fill(doc->lines, 4);
    EXPECT_STREQ(doc->lineAt(2), "line2");
    EXPECT_EQ(doc->lineAt(-1), nullptr);
    EXPECT_STREQ(doc->lines.currentText(), "line2");  // -1 leaves the cursor alone
    EXPECT_EQ(doc->lineAt(4), nullptr);               // one past the end: cursor on the last
    EXPECT_EQ(doc->nextLine(), nullptr);
    EXPECT_STREQ(doc->prevLine(), "line2");
    EXPECT_EQ(doc->lineAt(INT32_MAX), nullptr);
    EXPECT_STREQ(doc->lineAt(0), "line0");
    EXPECT_STREQ(doc->nextLine(), "line1");
}

}  // namespace
}  // namespace folvek
