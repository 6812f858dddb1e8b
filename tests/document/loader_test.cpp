// Loading: the byte-level rules, code-page conversion while loading, files that cannot be
// opened, and random byte strings checked against a direct model of the chunked reading.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "codepage.h"
#include "string_table.h"
#include "style_tags.h"
#include "test_support.h"

namespace folvek {
namespace {

using namespace std::string_literals;
using coretest::texts;
using V = std::vector<std::string>;

// The reading rules written out the slow, obvious way.
struct Model {
    V lines;
    std::int32_t maxLen = 0;
};
Model modelLoad(const std::string& bytes) {
    std::string s;
    for (char c : bytes) {
        if (c == '\x1a') break;
        if (c != '\r') s += c;
    }
    Model m;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t n = 0;
        while (pos + n < s.size() && n < 1023) {
            ++n;
            if (s[pos + n - 1] == '\n') break;
        }
        std::string chunk = s.substr(pos, n);
        pos += n;
        std::size_t nul = chunk.find('\0');
        if (nul != std::string::npos) chunk.resize(nul);
        m.maxLen = std::max<std::int32_t>(m.maxLen, static_cast<std::int32_t>(chunk.size()));
        if (!chunk.empty() && chunk.back() == '\n') chunk.pop_back();
        std::size_t start = 0, ff;
        while ((ff = chunk.find('\f', start)) != std::string::npos) {
            m.lines.push_back(chunk.substr(start, ff - start));
            m.lines.push_back("\f");
            start = ff + 1;
        }
        m.lines.push_back(chunk.substr(start));
    }
    return m;
}

class LoaderTest : public ::testing::Test {
  protected:
    V load(const std::string& bytes) {
        doc->freeText();
        EXPECT_EQ(doc->loadText(dir.file("doc.txt", bytes)), 1);
        return texts(doc->lines);
    }
    coretest::ScratchDir dir;
    coretest::MessageRecorder messages;
    std::unique_ptr<DocumentRecord> doc = coretest::makeRecord(dir, messages);
};

TEST_F(LoaderTest, LineEndsAndTextMode) {
    EXPECT_EQ(load(""), V{});
    EXPECT_EQ(load("\n"), V{""});
    EXPECT_EQ(load("abc\r\ndef"), (V{"abc", "def"}));
    // A lone CR returns to the start of the line: what follows strikes over it.
    EXPECT_EQ(load("a\rb\n"), V{"b"});
    EXPECT_EQ(load("a\r\r\r\nb\r"), (V{"a", "b"}));
    EXPECT_EQ(load("one\ntwo\n"), (V{"one", "two"}));  // no empty line after the last LF
    EXPECT_EQ(load("\r\r"), V{});
    EXPECT_EQ(load("ab\x1a"
                   "cd\nef\n"),
              V{"ab"});
    EXPECT_EQ(load("\x1a"
                   "abc"),
              V{});
    EXPECT_EQ(load("ab\0cd\nef\n"s), (V{"ab", "ef"}));
    EXPECT_EQ(load("\0abc\n"s), V{""});
    EXPECT_EQ(load("\t<B>\xff\x01\n"), V{"\t<B>\xff\x01"});
}

TEST_F(LoaderTest, FormFeedsBecomePageBreakLines) {
    EXPECT_EQ(load("x\fy\n"), (V{"x", "\f", "y"}));
    EXPECT_EQ(load("\f\n"), (V{"", "\f", ""}));
    EXPECT_EQ(load("a\f\fb\n"), (V{"a", "\f", "", "\f", "b"}));
    // The usual DOS report: the form feed at the start of the next page's first line.
    EXPECT_EQ(load("end\r\n\fhead\r\n"), (V{"end", "", "\f", "head"}));
    // A form feed after a NUL is dropped with the rest of the piece.
    EXPECT_EQ(load("a\0\fb\nc\n"s), (V{"a", "c"}));
}

TEST_F(LoaderTest, LongLinesAndMaxLineLength) {
    load(std::string(2500, 'x'));
    ASSERT_EQ(doc->lines.size(), 3u);
    EXPECT_EQ(std::strlen(doc->lines.textAt(0)), 1023u);
    EXPECT_EQ(std::strlen(doc->lines.textAt(1)), 1023u);
    EXPECT_EQ(std::strlen(doc->lines.textAt(2)), 454u);
    EXPECT_EQ(doc->maxLineLength, 1023);

    load("abcd\n");
    EXPECT_EQ(doc->maxLineLength, 5);  // the LF counts
    load("ab\0cdefgh\n"s);
    EXPECT_EQ(doc->maxLineLength, 2);  // counted up to the NUL

    // Exactly 1023 bytes: the LF that follows is a chunk of its own, an empty line.
    EXPECT_EQ(load(std::string(1023, 'y') + "\n"), (V{std::string(1023, 'y'), ""}));
    // CRs do not count towards the 1023.
    EXPECT_EQ(load(std::string(1022, 'z') + "\r\r\r\nq\n").size(), 2u);
    // A 1023-byte piece cut by a NUL still ends its chunk at 1023 bytes.
    EXPECT_EQ(load("a"s + '\0' + std::string(1021, 'b') + "cd\n"), (V{"a", "cd"}));
}

TEST_F(LoaderTest, LoadAppendsAndCursorEndsOnLastLine) {
    load("a\nb\n");
    EXPECT_EQ(doc->loadText(dir.file("more.txt", "c\n")), 1);
    EXPECT_EQ(texts(doc->lines), (V{"a", "b", "c"}));
    EXPECT_STREQ(doc->lines.currentText(), "c");
    EXPECT_EQ(doc->freeText(), 1);
    EXPECT_TRUE(doc->lines.empty());
    EXPECT_EQ(doc->freeText(), 1);
}

TEST_F(LoaderTest, DosTextIsConvertedWhileLoading) {
    doc->IsDos = 1;
    // "Итог" in 866, a single frame corner and a form feed.
    EXPECT_EQ(
        load("\x88\xe2\xae\xa3 \xda\f\n"),
        (V{std::string("\xc8\xf2\xee\xe3 ") + static_cast<char>(boxLookalike(0xDA)), "\f", ""}));
}

TEST_F(LoaderTest, StylesAreScannedWhileLoading) {
    load("<U>abc\ndef</U>\n\f<B>x\ny\n");
    ASSERT_EQ(doc->lines.size(), 6u);
    const std::uint16_t want[] = {0, kUnderline, 0, 0, 0, kBold};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(doc->lines.styleAt(i), want[i]) << i;
    doc->logFont.weight = 700;
    load("a\n</B>b\nc\n");
    EXPECT_EQ(doc->lines.styleAt(0), kBold);
    EXPECT_EQ(doc->lines.styleAt(1), kBold);
    EXPECT_EQ(doc->lines.styleAt(2), 0);
}

TEST_F(LoaderTest, UnopenableFilesAreReported) {
    load("keep\n");
    doc->maxLineLength = 77;
    const std::string fifo = dir.dir() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The fixed text, then the path and the reason on a line of their own.
    const std::string notAFile = "это не обычный файл";
    const std::pair<std::string, std::string> cases[] = {
        {dir.dir() + "missing.txt", "Нет такого файла или каталога"},
        {dir.path(), "Это каталог, а не файл"},
        {fifo, notAFile},
        {"/dev/null", notAFile},
        {"", "Нет такого файла или каталога"},
        {dir.dir() + std::string(300, 'x') + ".txt", "Слишком длинное имя файла"}};
    for (const auto& [path, reason] : cases) {
        messages.shown.clear();
        EXPECT_EQ(doc->loadText(path), 0) << path;
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        EXPECT_EQ(messages.shown[0].text, "Не могу открыть файл!\n" + path + ": " + reason);
        EXPECT_EQ(messages.shown[0].caption, "!!!");
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    }
    EXPECT_EQ(texts(doc->lines), V{"keep"});
    EXPECT_EQ(doc->maxLineLength, 77);
}

TEST_F(LoaderTest, UnreadableFileIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::string path = dir.file("secret.txt", "x\n");
    ::chmod(path.c_str(), 0);
    EXPECT_EQ(doc->loadText(path), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Не могу открыть файл!\n" + path + ": Нет доступа");
}

// Random byte strings: no crash, and the same lines, lengths, conversion and styles as the
// model, both when the store starts empty and when lines are already there.
TEST_F(LoaderTest, RandomBytesMatchTheModel) {
    std::mt19937 rng(12345);
    const std::string alphabet = "\r\n\f\x1a<>/BIUab\xb3\xc4\xda\x80"s + '\0';
    for (int round = 0; round < 3000; ++round) {
        const bool dos = round % 3 == 0;
        const bool prefilled = round % 7 == 0;
        std::size_t len = rng() % (round % 10 == 0 ? 5000 : 300);
        std::string bytes(len, ' ');
        for (char& c : bytes)
            c = rng() % 3 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng() % 256);
        if (rng() % 5 == 0)
            bytes.erase(std::remove(bytes.begin(), bytes.end(), '\x1a'), bytes.end());
        // Printer codes, backspaces and lone CRs have tests of their own; here every CR ends a
        // line, which is what the model knows.
        const auto printerByte = [](char c) {
            return std::string("\x07\x08\x0e\x0f\x11\x12\x13\x14\x18\x1b").find(c) !=
                   std::string::npos;
        };
        bytes.erase(std::remove_if(bytes.begin(), bytes.end(), printerByte), bytes.end());
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
                bytes.insert(i + 1, 1, '\n');

        doc->freeText();
        doc->IsDos = dos;
        doc->encodingOverride = dos ? EncodingChoice::Cp866 : EncodingChoice::Cp1251;
        V expected;
        if (prefilled) {
            doc->lines.append("<B>pre", 6);
            expected.push_back("<B>pre");
        }
        ASSERT_EQ(doc->loadText(dir.file("r.bin", bytes)), 1);
        Model m = modelLoad(bytes);
        expected.insert(expected.end(), m.lines.begin(), m.lines.end());
        if (dos)
            for (std::string& s : expected) oemToAnsi(s.data(), s.size());
        ASSERT_EQ(texts(doc->lines), expected) << "round " << round;
        ASSERT_EQ(doc->maxLineLength, m.maxLen) << "round " << round;
        std::uint16_t flags = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(doc->lines.styleAt(i), flags) << "round " << round << " line " << i;
            for (const char* p = expected[i].c_str(); *p; ++p) applyTag(p, flags);
        }
    }
}

TEST_F(LoaderTest, SampleReportsLoad) {
    doc->IsDos = 1;
    EXPECT_EQ(doc->loadText(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn"), 1);
    int breaks = 0;
    for (std::size_t i = 0; i < doc->lines.size(); ++i) breaks += doc->lines.textAt(i)[0] == '\f';
    EXPECT_GE(breaks, 2);
    EXPECT_LE(doc->maxLineLength, 134);
}

}  // namespace
}  // namespace folvek
