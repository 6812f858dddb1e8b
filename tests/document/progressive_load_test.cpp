// A file shown by its head while its rest is read must end as the document a load of the whole
// file gives: the same lines, styles, box codes, figures, encoding and pages, whatever lies at
// the seam. Each case is loaded both ways and compared; a load replaced or dropped while its
// rest is read stops cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "document.h"
#include "layout_fakes.h"
#include "line_store.h"
#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;

constexpr std::size_t kBlock = 256 * 1024;  // the loader's first read

struct Shown {
    std::vector<std::string> lines;
    std::vector<std::uint16_t> styles;
    std::vector<std::vector<std::uint8_t>> boxes;  // empty where a line has none
    std::int32_t maxLineLength = 0, pageCount = 0, isDos = 0;
    std::int64_t unmappable = 0;
    PrinterLayout layout;
    TextEncoding encoding = TextEncoding::Cp1251;
    bool detected = false, shownInPart = false, opened = false;
    std::size_t messages = 0;
};

class ProgressiveLoadTest : public ::testing::Test {
  protected:
    void SetUp() override { doc = makeDocument(); }

    std::unique_ptr<Document> makeDocument() {
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.printer = &printer;
        ctx.programDir = dir.dir();
        auto d = std::make_unique<Document>(ctx, "FOLVK95.INI");
        d->record().progressiveFrom = 0;
        return d;
    }

    Shown shown() {
        Shown s;
        const DocumentRecord& r = doc->record();
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            s.lines.emplace_back(r.lines.textAt(i));
            s.styles.push_back(r.lines.styleAt(i));
            std::vector<std::uint8_t> codes(s.lines.back().size());
            if (!r.lines.boxCodes(i, 0, codes.data(), codes.size())) codes.clear();
            s.boxes.push_back(std::move(codes));
        }
        s.maxLineLength = r.maxLineLength;
        s.pageCount = r.pageCount;
        s.isDos = r.IsDos;
        s.unmappable = r.unmappableChars;
        s.layout = r.printerLayout;
        s.encoding = r.textEncoding;
        s.detected = r.encodingDetected;
        s.shownInPart = r.shownInPart;
        s.opened = r.opened;
        s.messages = messages.shown.size();
        return s;
    }

    // Loads `bytes` whole, then by its head; returns whether the head was shown on its own.
    bool sameBothWays(const std::string& bytes, std::optional<EncodingChoice> encoding) {
        const std::string path = dir.file("big.prn", bytes);
        messages.shown.clear();
        doc->record().encodingOverride = encoding;
        doc->record().lineLimit = lineLimit;
        doc->load(path);
        const Shown whole = shown();
        messages.shown.clear();
        doc->record().encodingOverride = encoding;
        doc->record().lineLimit = lineLimit;
        doc->loadProgressive(path);
        const bool progressive = doc->loading();
        if (progressive) {
            // The head's first lines are the document's.
            const DocumentRecord& r = doc->record();
            EXPECT_LT(r.lines.size(), whole.lines.size());
            for (std::size_t i = 0; i < std::min<std::size_t>(r.lines.size(), 50); ++i)
                EXPECT_EQ(r.lines.textAt(i), whole.lines[i]) << "head line " << i;
        }
        doc->finishLoading();
        EXPECT_FALSE(doc->loading());
        expectSame(whole, shown());
        return progressive;
    }

    void expectSame(const Shown& one, const Shown& two) {
        EXPECT_EQ(one.lines.size(), two.lines.size());
        for (std::size_t i = 0; i < std::min(one.lines.size(), two.lines.size()); ++i) {
            EXPECT_EQ(one.lines[i], two.lines[i]) << "line " << i;
            EXPECT_EQ(one.styles[i], two.styles[i]) << "line " << i;
            EXPECT_EQ(one.boxes[i], two.boxes[i]) << "line " << i;
            if (HasFailure()) break;
        }
        EXPECT_EQ(one.maxLineLength, two.maxLineLength);
        EXPECT_EQ(one.pageCount, two.pageCount);
        EXPECT_EQ(one.isDos, two.isDos);
        EXPECT_EQ(one.unmappable, two.unmappable);
        EXPECT_EQ(one.layout.cpi, two.layout.cpi);
        EXPECT_EQ(one.layout.lpi, two.layout.lpi);
        EXPECT_EQ(one.layout.pageLines, two.layout.pageLines);
        EXPECT_EQ(one.layout.orientation, two.layout.orientation);
        EXPECT_EQ(one.layout.pitchChanged, two.layout.pitchChanged);
        EXPECT_EQ(one.layout.jobCommands, two.layout.jobCommands);
        EXPECT_EQ(one.encoding, two.encoding);
        EXPECT_EQ(one.detected, two.detected);
        EXPECT_EQ(one.shownInPart, two.shownInPart);
        EXPECT_EQ(one.opened, two.opened);
        EXPECT_EQ(one.messages, two.messages);
    }

    // A framed report of about `bytes` bytes in code page 866, a page of 22 lines at a time.
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

    // Where the head of a file ends when no look-alike frame decides it: just after the last
    // line feed of the first block.
    static std::size_t seam(const std::string& bytes) { return bytes.rfind('\n', kBlock - 1) + 1; }

    coretest::ScratchDir dir;
    test::MessageRecorder messages;
    test::FakePrinter printer;
    std::size_t lineLimit = kDocumentLineLimit;
    std::unique_ptr<Document> doc;
};

TEST_F(ProgressiveLoadTest, ABigReportShowsItsHeadAndEndsAsTheWholeLoad) {
    const std::string bytes = report(900 * 1024);
    EXPECT_TRUE(sameBothWays(bytes, EncodingChoice::Cp866));
    EXPECT_TRUE(sameBothWays(bytes, std::nullopt));  // detected as 866
    std::string utf8;
    while (utf8.size() < 700 * 1024)
        utf8 += "Строка ─┼─ <U>x</U> ☺ " + std::to_string(utf8.size()) + "\n";
    EXPECT_TRUE(sameBothWays(utf8, std::nullopt));
    // Printer styles set at the top and changed after the seam: the carry and the figures.
    std::string styled = "\033E\033M<B>" + report(700 * 1024);
    styled.insert(seam(styled) + 300, "\033F\033P\017</B>x\r\n");
    EXPECT_TRUE(sameBothWays(styled, EncodingChoice::Cp866));
}

TEST_F(ProgressiveLoadTest, AnEncodingThatTheHeadDoesNotShowIsTheWholeLoadsToo) {
    // The first block is plain ASCII: detection has nothing to go by there, and the Cyrillic
    // after it is read in the fallback the user's IsDos names, as by one load.
    std::string ascii;
    while (ascii.size() < 600 * 1024) ascii += "Item 12345 .... 678.90 +-----+\r\n";
    const std::string dos = report(300 * 1024);
    const std::string win = "\xD1\xF3\xEC\xEC\xE0 \xEF\xEE \xF1\xEA\xEB\xE0\xE4\xF3\r\n";
    for (const int isDos : {0, 1}) {
        SCOPED_TRACE(isDos);
        doc->record().setIsDos(isDos);
        EXPECT_TRUE(sameBothWays(ascii + dos, std::nullopt));
        std::string mixed = ascii;
        for (int i = 0; i < 2000; ++i) mixed += win;
        EXPECT_TRUE(sameBothWays(mixed, std::nullopt));
        EXPECT_TRUE(sameBothWays(ascii + "Строка в UTF-8 ═╬═\n", std::nullopt));
    }
    // UTF-16 is decoded whole, as before.
    std::string utf16 = "\xFF\xFE";
    for (int i = 0; i < 200000; ++i) utf16 += "a\0b\0\n\0"s;
    EXPECT_FALSE(sameBothWays(utf16, std::nullopt));
}

TEST_F(ProgressiveLoadTest, FormFeedsCarriageReturnsAndCommandsAtTheSeam) {
    const std::string base = report(700 * 1024);
    const std::size_t at = seam(base);
    struct Case {
        const char* what;
        std::size_t at;
        std::string bytes;
        bool progressive;
    };
    const Case cases[] = {
        {"a form feed just before the seam", at - 1, "\f", true},
        {"a form feed just after it", at, "\f", true},
        {"form feeds on both sides", at - 2, "\f\r\n\f\f", true},
        {"a form feed and a line of its own", at, "\f\r\n", true},
        {"a lone CR starting the rest", at, "\rxx\r\n", true},
        {"overstrikes at the seam", at - 2, "a\bb_\b", true},
        {"a tag opened in the head and closed after", at - 2, "<B>", true},
        {"a command whose parameter is the seam's line feed", at - 1, "\033C", false},
        {"a Ctrl-Z in the head", 100, "\x1A", false},
        {"a Ctrl-Z in the rest", at + 5000, "\x1A", true},
        {"NUL in the rest", at + 10, "ab\0cd"s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = base;
        bytes.insert(c.at, c.bytes);
        EXPECT_EQ(sameBothWays(bytes, EncodingChoice::Cp866), c.progressive);
        if (HasFailure()) break;
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
        for (int i = 0; i < between; ++i)
            s += i % 2 ? "\xC8\xF2\xEE\xE3\xEE 7\r\n"
                       : "\xD1\xF3\xEC\xEC\xE0 \xEF\xEE \xF1\xEA\xEB\xE0\xE4\xF3 7\r\n";
        if (table % 3 == 2) s += "\f";
    }
    return s;
}

TEST_F(ProgressiveLoadTest, LookalikeFramesEndAsOneWalkGivesThem) {
    // Text between the tables: the head ends at a quiet place and each side walks its own.
    // Tables one after another: the head ends inside a frame, walked again over the whole.
    for (const int between : {8, 0}) {
        SCOPED_TRACE(between);
        const std::string bytes = lookalikeReport(800 * 1024, between);
        EXPECT_TRUE(sameBothWays(bytes, EncodingChoice::Cp1251));
        ASSERT_TRUE(doc->record().lines.hasBoxCodes(0)) << "the look-alike frames were not found";
        std::string broken = bytes;
        broken.insert(seam(broken), "\xA6 x | y \xA6\r\n\f\r\n");
        EXPECT_TRUE(sameBothWays(broken, EncodingChoice::Cp1251));
    }
}

TEST_F(ProgressiveLoadTest, SmallFilesJobsAndTheLineLimitAreLoadedAsBefore) {
    // A file the first read holds whole has no rest to wait for.
    EXPECT_FALSE(sameBothWays(report(100 * 1024), EncodingChoice::Cp866));
    EXPECT_FALSE(sameBothWays(report(kBlock).substr(0, kBlock), EncodingChoice::Cp866));
    // Below the size where it pays, the whole file.
    doc->record().progressiveFrom = 4 << 20;
    EXPECT_FALSE(sameBothWays(report(900 * 1024), EncodingChoice::Cp866));
    doc->record().progressiveFrom = 0;
    // A head that positions its text is a printer job: its pages come from the whole file.
    EXPECT_FALSE(
        sameBothWays("\033$\x10\x00text\r\n"s + report(600 * 1024), EncodingChoice::Cp866));
    // The line limit, in the rest or in the head: a head cut short by it is not shown on its
    // own, the whole load reads the file and says where it stopped.
    const std::string bytes = report(700 * 1024);
    const std::size_t lines = std::count(bytes.begin(), bytes.end(), '\n');
    for (const std::size_t limit : {lines / 2, lines - 1, lines + 1, std::size_t(100)}) {
        SCOPED_TRACE(limit);
        lineLimit = limit;
        EXPECT_EQ(sameBothWays(bytes, EncodingChoice::Cp866), limit != 100);
    }
}

TEST_F(ProgressiveLoadTest, RandomBytesAroundTheSeam) {
    std::mt19937 rng(11);
    const std::string alphabet = "ab \xB3\xC4\xC5\xBA\xCD<B></B>\r\n\f\t\b\x1B\x1A\x0F\x12";
    const EncodingChoice encodings[] = {EncodingChoice::Cp866, EncodingChoice::Cp1251,
                                        EncodingChoice::Utf8, EncodingChoice::Koi8r};
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        std::string bytes = report(600 * 1024);
        const std::size_t at = seam(bytes);
        for (std::size_t where : {at - 1 - rng() % 2048, at + rng() % 2048}) {
            std::string noise(100 + rng() % 300, ' ');
            for (char& c : noise)
                c = rng() % 4 ? alphabet[rng() % alphabet.size()] : char(rng() % 256);
            noise.erase(std::remove(noise.begin(), noise.end(), '\x1A'), noise.end());
            bytes.insert(where, noise);
        }
        sameBothWays(bytes, encodings[round % 4]);
        if (HasFailure()) break;
    }
}

TEST_F(ProgressiveLoadTest, TheHookSaysWhenTheRestIsReadyAndTheCountFillsInOnce) {
    struct Recorder : DocumentListener {
        void documentChanged(unsigned changes) override { seen.push_back(changes); }
        void linesAboutToChange() override { ++replacing; }
        std::vector<unsigned> seen;
        int replacing = 0;
    } listener;
    std::atomic<int> told{0};
    doc->setLoadFinishedHook([&told] { ++told; });
    doc->addListener(&listener);
    const std::string path = dir.file("big.prn", report(2 << 20));
    doc->loadProgressive(path);
    ASSERT_TRUE(doc->loading());
    const std::int32_t headPages = doc->record().pageCount;
    for (int i = 0; i < 500 && told == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(told, 1);
    listener.seen.clear();
    listener.replacing = 0;
    doc->goToPage(2);
    doc->loadCompleted();
    EXPECT_FALSE(doc->loading());
    EXPECT_GT(doc->record().pageCount, headPages);
    EXPECT_EQ(doc->record().curPage, 2);  // the page shown stays
    EXPECT_EQ(listener.replacing, 1);
    ASSERT_EQ(listener.seen.size(), 2u);
    EXPECT_EQ(listener.seen[1],
              unsigned(kTextChanged | kLayoutChanged | kPageChanged | kLoadCompleted));
    doc->loadCompleted();  // nothing more to do
    EXPECT_EQ(listener.seen.size(), 2u);
    doc->removeListener(&listener);
}

TEST_F(ProgressiveLoadTest, AnotherLoadOrTheDocumentsEndStopsTheRest) {
    const std::string big = dir.file("big.prn", report(8 << 20));
    const std::string small = dir.file("small.prn", "one\r\ntwo\r\n");
    // Replaced by another document, by a reload of the same, by a settings edit that reads it
    // again: each ends with its own lines and nothing of the stopped rest.
    doc->loadProgressive(big);
    ASSERT_TRUE(doc->loading());
    doc->load(small);
    EXPECT_FALSE(doc->loading());
    EXPECT_EQ(coretest::texts(doc->record().lines), (std::vector<std::string>{"one", "two"}));
    doc->loadProgressive(big);
    doc->reload(small);
    EXPECT_FALSE(doc->loading());
    EXPECT_EQ(doc->record().lines.size(), 2u);
    doc->loadProgressive(big);
    doc->loadProgressive(big);
    doc->finishLoading();
    const std::size_t whole = doc->record().lines.size();
    doc->load(big);
    EXPECT_EQ(doc->record().lines.size(), whole);
    doc->loadProgressive(big);
    doc->settingsEdited(small);
    EXPECT_EQ(doc->record().lines.size(), 2u);
    // A font changed while the rest is read: every line's style follows it.
    doc->loadProgressive(big);
    doc->record().logFont.weight = 700;
    doc->fontChanged();
    doc->finishLoading();
    const Shown bold = shown();
    doc->load(big);
    doc->fontChanged();
    expectSame(shown(), bold);
    // Dropped while its rest is read.
    for (int i = 0; i < 3; ++i) {
        auto other = makeDocument();
        other->setLoadFinishedHook([] {});
        other->loadProgressive(big);
        EXPECT_TRUE(other->loading());
        if (i) std::this_thread::sleep_for(std::chrono::milliseconds(20 * i));
    }
}

TEST(LineStorePrepend, TheHeadGoesFirstWithItsStylesAndBoxCodes) {
    LineStore head, rest;
    rest.reserveLines(200);
    // Enough runs in the head to fill more than one of its chunks, then one line of its own.
    std::vector<std::uint8_t> many(1000);
    for (std::size_t i = 0; i < many.size(); ++i) many[i] = std::uint8_t(1 + i % 2);
    const std::string wide(many.size(), '=');
    for (int i = 0; i < 80; ++i) {
        head.append(wide.data(), wide.size());
        head.setBoxCodes(head.size() - 1, many.data(), many.size());
    }
    head.append("one", 3);
    head.setStyleAt(80, 1);
    const std::uint8_t a[] = {0, 5, 5, 0};
    head.append("x--y", 4);
    head.setBoxCodes(81, a, 4);
    rest.append("two", 3);
    rest.setStyleAt(0, 4);
    rest.append("+-+", 3);
    const std::uint8_t b[] = {9, 3, 9};
    rest.setBoxCodes(1, b, 3);
    rest.prependStore(head);
    EXPECT_TRUE(head.empty());
    head.swap(rest);
    EXPECT_TRUE(rest.empty());
    ASSERT_EQ(head.size(), 84u);
    EXPECT_STREQ(head.textAt(82), "two");
    EXPECT_EQ(head.styleAt(80), 1);
    EXPECT_EQ(head.styleAt(82), 4);
    std::vector<std::uint8_t> got(many.size());
    ASSERT_TRUE(head.boxCodes(79, 0, got.data(), got.size()));
    EXPECT_EQ(got, many);
    std::uint8_t out[4];
    ASSERT_TRUE(head.boxCodes(81, 0, out, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 4), std::vector<std::uint8_t>(a, a + 4));
    EXPECT_FALSE(head.hasBoxCodes(82));
    ASSERT_TRUE(head.boxCodes(83, 0, out, 3));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 3), std::vector<std::uint8_t>(b, b + 3));
    // The store goes on taking lines after them.
    head.append("z", 1);
    const std::uint8_t c[] = {7};
    head.setBoxCodes(84, c, 1);
    ASSERT_TRUE(head.boxCodes(84, 0, out, 1));
    EXPECT_EQ(out[0], 7);
    ASSERT_TRUE(head.boxCodes(83, 0, out, 3));
    EXPECT_EQ(out[2], 9);
    EXPECT_TRUE(head.last());
    EXPECT_STREQ(head.currentText(), "z");
}

}  // namespace
}  // namespace folvek
