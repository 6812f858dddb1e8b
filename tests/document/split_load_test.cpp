// A big file cut on two cores must give the document one core gives: the same lines, styles,
// box codes and figures, whatever lies at the seam. Each case is loaded both ways and compared.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "line_store.h"
#include "lookalike_frames.h"
#include "tail_cutter.h"
#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;

struct Loaded {
    std::vector<std::string> lines;
    std::vector<std::uint16_t> styles;
    std::vector<std::vector<std::uint8_t>> boxes;  // empty where a line has none
    std::int32_t maxLineLength = 0;
    std::int64_t unmappable = 0;
    PrinterLayout layout;
    bool shownInPart = false;
    bool split = false;
    std::size_t messages = 0;
};

class SplitLoadTest : public ::testing::Test {
  protected:
    // Loads `bytes` cut by one cutter (split false) or by two wherever the file allows.
    Loaded load(const std::string& bytes, bool split, EncodingChoice encoding,
                const std::string& prefill = "") {
        messages.shown.clear();
        doc->freeText();
        doc->encodingOverride = encoding;
        doc->lineLimit = lineLimit;
        doc->splitLoadFrom = split ? 0 : std::int64_t{1} << 60;
        if (!prefill.empty()) doc->lines.append(prefill.data(), prefill.size());
        EXPECT_EQ(doc->loadText(dir.file("big.prn", bytes)), 1);
        Loaded l;
        const LineStore& s = doc->lines;
        for (std::size_t i = 0; i < s.size(); ++i) {
            l.lines.emplace_back(s.textAt(i));
            l.styles.push_back(s.styleAt(i));
            std::vector<std::uint8_t> codes(l.lines.back().size());
            if (!s.boxCodes(i, 0, codes.data(), codes.size())) codes.clear();
            l.boxes.push_back(std::move(codes));
        }
        l.maxLineLength = doc->maxLineLength;
        l.unmappable = doc->unmappableChars;
        l.layout = doc->printerLayout;
        l.shownInPart = doc->shownInPart;
        l.split = doc->splitLoad;
        l.messages = messages.shown.size();
        return l;
    }

    // Both ways; returns whether the two-core load kept the second half.
    bool sameBothWays(const std::string& bytes, EncodingChoice encoding,
                      const std::string& prefill = "") {
        const Loaded one = load(bytes, false, encoding, prefill);
        const Loaded two = load(bytes, true, encoding, prefill);
        EXPECT_FALSE(one.split);
        EXPECT_EQ(one.lines.size(), two.lines.size());
        for (std::size_t i = 0; i < std::min(one.lines.size(), two.lines.size()); ++i) {
            EXPECT_EQ(one.lines[i], two.lines[i]) << "line " << i;
            EXPECT_EQ(one.styles[i], two.styles[i]) << "line " << i;
            EXPECT_EQ(one.boxes[i], two.boxes[i]) << "line " << i;
            if (HasFailure()) break;
        }
        EXPECT_EQ(one.maxLineLength, two.maxLineLength);
        EXPECT_EQ(one.unmappable, two.unmappable);
        EXPECT_EQ(one.layout.cpi, two.layout.cpi);
        EXPECT_EQ(one.layout.lpi, two.layout.lpi);
        EXPECT_EQ(one.layout.pageLines, two.layout.pageLines);
        EXPECT_EQ(one.layout.orientation, two.layout.orientation);
        EXPECT_EQ(one.layout.pitchChanged, two.layout.pitchChanged);
        EXPECT_EQ(one.shownInPart, two.shownInPart);
        EXPECT_EQ(one.messages, two.messages);
        return two.split;
    }

    // A framed report of about `bytes` bytes in code page 866.
    static std::string report(std::size_t bytes) {
        const std::string top = "\xC9\xCD\xCD\xCD\xCD\xD1\xCD\xCD\xCD\xBB\r\n";
        const std::string row = "\xBA\xAD\xE0\xA8\xA2 \xB3 12 \xBA \x8F\xE0\xA8\xA2\xA5\xE2\r\n";
        const std::string bottom = "\xC8\xCD\xCD\xCD\xCD\xCF\xCD\xCD\xCD\xBC\r\n";
        std::string s;
        while (s.size() < bytes) {
            s += top;
            for (int i = 0; i < 20; ++i) s += row;
            s += bottom + "\f";
        }
        return s;
    }

    bool twoCores() const { return std::thread::hardware_concurrency() > 1; }

    std::size_t lineLimit = kDocumentLineLimit;
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

TEST_F(SplitLoadTest, AFramedReportIsCutOnTwoCoresIntoTheSameDocument) {
    const std::string bytes = report(700 * 1024);
    const bool split = sameBothWays(bytes, EncodingChoice::Cp866);
    if (twoCores()) {
        EXPECT_TRUE(split);
    }
    // Appended after lines already held, which take part in the style scan.
    sameBothWays(bytes, EncodingChoice::Cp866, "<B>before");
    std::string utf8;
    for (int i = 0; i < 12000; ++i) utf8 += "Строка " + std::to_string(i) + " ─┼─ <U>x</U> ☺\n";
    sameBothWays(utf8, EncodingChoice::Utf8);
}

TEST_F(SplitLoadTest, ThePrinterStateAndStylesCarryAcrossTheSeamOrOneCoreCutsTheRest) {
    // The second half starts with what the first cutter carries at the end of the first read
    // block's last line, and is kept when the first cutter carries the same at the seam.
    const std::string base = report(700 * 1024);
    const std::size_t top = 1000;            // in the first read block
    const std::size_t between = 300 * 1024;  // after it, before the middle
    const std::size_t late = base.size() - 1000;
    struct Case {
        const char* what;
        std::size_t at;
        std::string bytes;
        bool splitKept;
    };
    const Case cases[] = {
        {"bold print set up at the top", top, "\033E", true},
        {"condensed print and a page length at the top", top, "\033@\017\033C\040", true},
        {"a bold tag opened at the top", top, "<B>", true},
        {"a printer command between the first block and the middle", between, "\033E", false},
        {"bold print on and off again there, as page headers do", between, "\033Ex\033F", true},
        {"a bold tag opened there", between, "<B>", false},
        {"a tag opened and closed there", between, "<B>x</B>", true},
        {"a Ctrl-Z in the first half", top, "\x1A", false},
        {"a Ctrl-Z in the second half", late, "\x1A", true},
        {"printer commands in the second half", late, "\033E\033M\033l\005", true},
        {"NUL and backspaces", between, "ab\0cd\bx_\b_\n"s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = base;
        bytes.insert(c.at, c.bytes);
        const bool split = sameBothWays(bytes, EncodingChoice::Cp866);
        if (twoCores()) {
            EXPECT_EQ(split, c.splitKept);
        }
    }
}

// A report of look-alike frames in 1251, as converters write it; `between` lines of text
// without frame bytes after each table.
std::string lookalikeReport(std::size_t bytes, int between) {
    const std::string top = "\xE3=====+====\xAC\r\n";
    const std::string row = "\xA6\xC1\xEE\xEB\xF2 | 12 \xA6\r\n";
    const std::string rule = "+-----+----+\r\n";
    const std::string bottom = "+=====+====+\r\n";
    std::string s;
    for (int table = 0; s.size() < bytes; ++table) {
        s += top;
        for (int i = 0; i < 12; ++i) s += i == 6 ? rule : row;
        s += bottom;
        // "Итого" and "Сумма по складу": a word's 'г' is a letter to the walk.
        for (int i = 0; i < between; ++i)
            s += i % 2 ? "\xC8\xF2\xEE\xE3\xEE 7\r\n"
                       : "\xD1\xF3\xEC\xEC\xE0 \xEF\xEE \xF1\xEA\xEB\xE0\xE4\xF3 7\r\n";
        if (table % 3 == 2) s += "\f";
    }
    return s;
}

TEST_F(SplitLoadTest, LookalikeFramesAreWalkedOnBothCoresWhereNoFrameSpansTheSeam) {
    // Tables one after another: no quiet place to cut, the frames are walked by one core.
    // Text between them: each core walks its half. Either way, the same box codes.
    for (const int between : {0, 8}) {
        SCOPED_TRACE(between);
        const std::string bytes = lookalikeReport(700 * 1024, between);
        const bool split = sameBothWays(bytes, EncodingChoice::Cp1251);
        if (twoCores()) {
            EXPECT_TRUE(split);
        }
        ASSERT_TRUE(doc->lines.hasBoxCodes(0)) << "the look-alike frames were not found";
        // A table continued across a page break just after the quiet place.
        std::string broken = bytes;
        const std::size_t middle = broken.find("\xD1\xF3", broken.size() / 2);
        if (middle != std::string::npos) broken.insert(middle, "\xA6 x | y \xA6\r\n\f\r\n");
        sameBothWays(broken, EncodingChoice::Cp1251);
    }
}

TEST_F(SplitLoadTest, AQuietPlaceIsFiveLinesThatNoFrameCanReach) {
    const std::string table = lookalikeReport(1, 0);              // one table, no text after it
    const std::string text = "\xD1\xF3\xEC\xEC\xE0 - 7 = 7\r\n";  // '-' and '=' reach no line
    const std::string itogo = "\xC8\xF2\xEE\xE3\xEE 7\r\n";       // the 'г' of a word is a letter
    const std::string gn = "\xE3-\xED \xCF\xE5\xF2\xF0\xEE\xE2\r\n";  // "г-н": a corner's line
    const auto quietAt = [&](const std::string& bytes, off_t from = 0) {
        const int fd = ::open(dir.file("q.txt", bytes).c_str(), O_RDONLY);
        EXPECT_GE(fd, 0);
        const off_t at = quietLineStart(fd, from, off_t(bytes.size()));
        ::close(fd);
        return at;
    };
    // The bar starts the count again: the place is after the fifth quiet line after it.
    std::string bytes =
        table + text + text + "|\r\n" + itogo + itogo + itogo + itogo + text + table;
    const off_t expected =
        off_t(table.size() + 2 * text.size() + 3 + 4 * itogo.size() + text.size());
    EXPECT_EQ(quietAt(bytes), expected);
    EXPECT_EQ(quietAt(bytes, expected), -1);  // a table, then the end
    // The line just before the place holds no 'г' at all; "г-н" is no quiet line.
    EXPECT_EQ(quietAt(table + text + text + text + text + itogo + table), -1);
    EXPECT_EQ(quietAt(table + text + text + gn + text + text + text + table), -1);
    EXPECT_EQ(quietAt(gn + text + text + text + text + text), off_t(gn.size() + 5 * text.size()));
    // A top-right corner that ends a rule is a frame's line and starts the count again; one
    // after anything else (a not-sign in text) leaves the line quiet, but the place does not
    // come right after it, since the next line could look up at it.
    for (const char* rule : {"--\xAC\r\n", "==\xAC\r\n"}) {
        const std::string corner = rule;
        EXPECT_EQ(quietAt(text + text + corner + text + text + text + text + text),
                  off_t(corner.size() + 7 * text.size()))
            << rule;
    }
    const std::string notSign = "x \xAC y\r\n";
    EXPECT_EQ(quietAt(text + text + text + text + notSign + text + text),
              off_t(notSign.size() + 5 * text.size()));
    // A file that shrank since its size was taken: both walks give up at its end.
    const std::string shrunk = text + text;
    const int fd = ::open(dir.file("shrunk.txt", shrunk).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(quietLineStart(fd, 0, off_t(shrunk.size()) * 4), -1);
    EXPECT_EQ(quietLineStart(fd, off_t(shrunk.size()) + 10, off_t(shrunk.size()) * 4), -1);
    EXPECT_EQ(halfwayLineStart(fd, off_t(shrunk.size()) * 4), -1);
    // Unshrunk, the halfway place is the start of the line after the middle.
    EXPECT_EQ(halfwayLineStart(fd, off_t(shrunk.size())), off_t(shrunk.size()));
    EXPECT_EQ(halfwayLineStart(fd, off_t(text.size()) + 2), off_t(text.size()));
    ::close(fd);

    // The walk says whether lines appended after its last one are apart from its frames.
    const auto endsApart = [](const std::string& body) {
        LineStore lines;
        for (std::size_t at = 0; at < body.size();) {
            const std::size_t end = body.find("\r\n", at);
            lines.append(body.data() + at, end - at);
            at = end + 2;
        }
        return fileLookalikeFrames(lines, 0);
    };
    EXPECT_FALSE(endsApart(table));                       // the frame is the last line
    EXPECT_FALSE(endsApart(table + text + text + text));  // a page break could follow
    EXPECT_TRUE(endsApart(table + text + text + text + text + text));
    EXPECT_FALSE(endsApart(table + text + text + text + text + "|\r\n"));  // a bar reaches down
    EXPECT_TRUE(endsApart(text));
}

TEST_F(SplitLoadTest, SeamsInsideLongLinesAndNoLineFeedNearTheMiddle) {
    std::string bytes = report(300 * 1024);
    bytes += std::string(5000, 'x') + "\r\n";  // pieces of 1023 bytes across the middle
    bytes += report(300 * 1024);
    sameBothWays(bytes, EncodingChoice::Cp866);
    // One line of 200 KB at the middle: there is nowhere near it to cut.
    bytes = report(300 * 1024) + std::string(200 * 1024, 'y') + "\n" + report(300 * 1024);
    EXPECT_FALSE(sameBothWays(bytes, EncodingChoice::Cp1251));
}

TEST_F(SplitLoadTest, TheLineLimitIsKeptWhereverItFalls) {
    const std::string bytes = report(700 * 1024);
    const std::size_t lines = load(bytes, false, EncodingChoice::Cp866).lines.size();
    for (const std::size_t limit : {lines / 4, lines / 2 + 3, lines - 1, lines, lines + 1}) {
        SCOPED_TRACE(limit);
        lineLimit = limit;
        sameBothWays(bytes, EncodingChoice::Cp866);
    }
}

TEST_F(SplitLoadTest, RandomBytesAroundTheSeam) {
    std::mt19937 rng(7);
    const std::string alphabet = "ab \xB3\xC4\xC5\xBA\xCD<B></B>\r\n\f\t\b\x1B\x1A\x0F\x12";
    const EncodingChoice encodings[] = {EncodingChoice::Cp866, EncodingChoice::Cp1251,
                                        EncodingChoice::Utf8, EncodingChoice::Koi8r};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        std::string bytes = report(600 * 1024);
        // A few hundred random bytes at a random place before and after the middle.
        for (std::size_t at : {bytes.size() / 2 - rng() % 4096, bytes.size() / 2 + rng() % 4096}) {
            std::string noise(200 + rng() % 400, ' ');
            for (char& c : noise)
                c = rng() % 4 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
            if (round % 3)
                noise.erase(std::remove(noise.begin(), noise.end(), '\x1A'), noise.end());
            if (round % 2)
                noise.erase(std::remove(noise.begin(), noise.end(), '\x1B'), noise.end());
            bytes.insert(at, noise);
        }
        sameBothWays(bytes, encodings[round % 4]);
        if (HasFailure()) break;
    }
}

TEST(LineStoreAppend, TheTailKeepsItsTextsStylesAndBoxCodes) {
    LineStore head, tail;
    head.append("one", 3);
    head.setStyleAt(0, 1);
    const std::uint8_t a[] = {0, 5, 5, 0};
    head.append("x--y", 4);
    head.setBoxCodes(1, a, 4);
    tail.append("two", 3);
    tail.setStyleAt(0, 4);
    tail.append("+-+", 3);
    const std::uint8_t b[] = {9, 3, 9};
    tail.setBoxCodes(1, b, 3);
    // Enough runs in the tail to fill more than one of its chunks.
    std::vector<std::uint8_t> many(1000);
    for (std::size_t i = 0; i < many.size(); ++i) many[i] = std::uint8_t(1 + i % 2);
    const std::string wide(many.size(), '=');
    for (int i = 0; i < 80; ++i) {
        tail.append(wide.data(), wide.size());
        tail.setBoxCodes(tail.size() - 1, many.data(), many.size());
    }
    head.first();
    head.appendStore(tail);
    EXPECT_TRUE(tail.empty());
    ASSERT_EQ(head.size(), 84u);
    EXPECT_EQ(head.currentIndex(), 83) << "the last line taken is the current one, as after append";
    EXPECT_STREQ(head.textAt(2), "two");
    EXPECT_EQ(head.styleAt(0), 1);
    EXPECT_EQ(head.styleAt(2), 4);
    std::uint8_t out[4];
    ASSERT_TRUE(head.boxCodes(1, 0, out, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 4), std::vector<std::uint8_t>(a, a + 4));
    ASSERT_TRUE(head.boxCodes(3, 0, out, 3));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 3), std::vector<std::uint8_t>(b, b + 3));
    EXPECT_FALSE(head.hasBoxCodes(2));
    std::vector<std::uint8_t> got(many.size());
    ASSERT_TRUE(head.boxCodes(83, 0, got.data(), got.size()));
    EXPECT_EQ(got, many);
    // The store goes on taking lines after them.
    head.append("z", 1);
    const std::uint8_t c[] = {7};
    head.setBoxCodes(84, c, 1);
    ASSERT_TRUE(head.boxCodes(84, 0, out, 1));
    EXPECT_EQ(out[0], 7);
    ASSERT_TRUE(head.boxCodes(83, 0, got.data(), got.size()));
    EXPECT_EQ(got, many);
}

}  // namespace
}  // namespace folvek
