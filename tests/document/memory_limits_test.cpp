// Files of nothing but line or page breaks: the document holds at most its line limit, says
// it is shown in part, and costs memory for those lines only, however large the file. The
// checks count lines and the store's bytes, never time.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "document/test_support.h"
#include "string_table.h"

namespace folvek {
namespace {

using coretest::MessageRecorder;
using coretest::ScratchDir;

class MemoryLimits : public ::testing::Test {
  protected:
    std::string fileOf(char c, std::size_t n) {
        const std::string path = dir.dir() + "breaks.txt";
        std::ofstream out(path, std::ios::binary);
        const std::string block(1 << 20, c);
        for (std::size_t done = 0; done < n; done += block.size())
            out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), n - done)));
        return path;
    }
    ScratchDir dir;
    MessageRecorder messages;
};

TEST_F(MemoryLimits, LineAndPageBreaksStopAtTheLineLimit) {
    for (char c : {'\n', '\f'}) {
        auto p = coretest::makeRecord(dir, messages);
        ASSERT_EQ(p->loadText(fileOf(c, 3 * kDocumentLineLimit)), 1);
        EXPECT_EQ(p->lines.size(), kDocumentLineLimit) << int(c);
        EXPECT_TRUE(p->shownInPart);
        // A pointer, a style word and a terminator per line, and chunk slack: well below what
        // the whole file would take (three times as many lines).
        EXPECT_LT(p->lines.memoryUsed(), kDocumentLineLimit * 16) << int(c);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind(loadString(StrFileTooLarge) + "\n", 0), 0u);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
        messages.shown.clear();
    }
}

TEST_F(MemoryLimits, AFileOfExactlyTheLimitIsShownWhole) {
    auto p = coretest::makeRecord(dir, messages);
    p->lineLimit = 10;
    ASSERT_EQ(p->loadText(fileOf('\n', 10)), 1);
    EXPECT_EQ(p->lines.size(), 10u);
    EXPECT_FALSE(p->shownInPart);
    EXPECT_TRUE(messages.shown.empty());

    p->freeText();
    ASSERT_EQ(p->loadText(fileOf('\n', 11)), 1);
    EXPECT_EQ(p->lines.size(), 10u);
    EXPECT_TRUE(p->shownInPart);

    // Form feeds make two lines each (the text before it and the break): the limit is exact.
    p->freeText();
    ASSERT_EQ(p->loadText(fileOf('\f', 7)), 1);
    EXPECT_EQ(p->lines.size(), 10u);
    EXPECT_TRUE(p->shownInPart);
}

}  // namespace
}  // namespace folvek
