// The job's pages as the document sees them: their text in reading order for find and copy,
// and the reader's verdict on which layout a job gets.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "job_text.h"
#include "printed_job.h"

namespace folvek::printer {
namespace {

JobTextRun run(JobUnits x, JobUnits y, std::u32string text) {
    JobTextRun r;
    r.x = x;
    r.y = y;
    r.advance = 100;
    r.cellHeight = 400;
    r.text = std::move(text);
    return r;
}

TEST(PrintedJobText, RunsOnOneBaselineMakeALineInReadingOrder) {
    JobPage p;
    p.runs.push_back(run(1000, 2000, U"second line"));
    p.runs.push_back(run(600, 1000, U"right"));  // printed after, stands to the right
    p.runs.push_back(run(0, 1010, U"left"));     // a little lower: the same line
    p.runs.push_back(run(0, 2000, U"   "));
    p.runs.push_back(run(300, 3000, U"indented"));
    // Each line keeps its distance from the page's left edge, in blanks of its own pitch.
    EXPECT_EQ(jobPageText(p), u"left  right\n          second line\n   indented");
}

TEST(PrintedJobText, OverstruckCharactersAndControlsAddNothingOdd) {
    JobPage p;
    p.runs.push_back(run(0, 500, U"=x"));
    p.runs.push_back(run(0, 500, U"/"));  // overstrike of the first cell
    p.runs.push_back(run(0, 900, U"a\u0007b"));
    PrintedJob job(JobDocument{JobLanguage::EscP, {}, {p}, {}});
    EXPECT_EQ(job.pageCount(), 1);
    EXPECT_EQ(job.pageText(1), u"=x\na b");
    EXPECT_EQ(job.pageText(2), u"");
}

TEST(PrintedJobVerdict, OnlyMovesPicturesAndFormLengthsLayAJobOut) {
    std::string why;
    JobFeatures f;
    f.widthsMixed = true;
    EXPECT_FALSE(laysItselfOut(f, why));
    f.graphics = true;
    EXPECT_TRUE(laysItselfOut(f, why));
    EXPECT_NE(why.find("pictures"), std::string::npos);
}

TEST(PrintedJobReader, APclJobIsReadAndAPlainFileIsLeftAlone) {
    const std::string dir = ::testing::TempDir();
    const std::string pcl = dir + "folvek-printed-job.pcl", txt = dir + "folvek-printed-job.txt";
    std::ofstream(pcl, std::ios::binary) << "\x1b"
                                            "E\x1b&l0O\x1b&a5R\x1b&a10C"
                                            "Placed\x0c\x1b"
                                            "E";
    std::ofstream(txt, std::ios::binary) << "only text\r\n";
    PrinterJobReader reader;
    JobVerdict v;
    auto pages = reader.read(pcl, LayoutMode::Auto, true, v);
    ASSERT_TRUE(pages);
    EXPECT_EQ(v.language, "PCL 5");
    EXPECT_GE(pages->pageCount(), 1);
    EXPECT_NE(pages->pageText(1).find(u"Placed"), std::u16string::npos);
    EXPECT_GT(v.formHeightInches, 10);

    JobVerdict plain;
    EXPECT_FALSE(reader.read(txt, LayoutMode::Auto, false, plain));
    EXPECT_FALSE(plain.reason.empty());
    JobVerdict missing;
    EXPECT_FALSE(reader.read(dir + "no-such-job.prn", LayoutMode::Job, false, missing));
    std::remove(pcl.c_str());
    std::remove(txt.c_str());
}

}  // namespace
}  // namespace folvek::printer

namespace folvek::printer {
namespace {

TEST(PrintedJobText, LinesAtTheirLimits) {
    // The same line while the baselines differ by up to a quarter of the cell (400 / 4).
    JobPage p;
    p.runs.push_back(run(0, 1000, U"a"));
    p.runs.push_back(run(200, 1100, U"b"));
    p.runs.push_back(run(400, 1101, U"c"));  // 101 below "a": a line of its own
    EXPECT_EQ(jobPageText(p), u"a b\n    c");
    // A gap is as many blanks as whole advances fit in it, at most 400.
    p.runs.clear();
    p.runs.push_back(run(0, 1000, U"a"));
    p.runs.push_back(run(100 + 299, 1000, U"b"));  // 2.99 advances: two blanks
    EXPECT_EQ(jobPageText(p), u"a  b");
    p.runs.clear();
    p.runs.push_back(run(0, 1000, U"a"));
    p.runs.push_back(run(100 + 100 * 1000, 1000, U"b"));
    EXPECT_EQ(jobPageText(p), u"a" + std::u16string(400, u' ') + u"b");
    // A run that starts inside the one before it on its line is an overstrike: left out.
    p.runs.clear();
    p.runs.push_back(run(0, 1000, U"abc"));
    p.runs.push_back(run(299, 1000, U"X"));
    p.runs.push_back(run(300, 1000, U"d"));
    EXPECT_EQ(jobPageText(p), u"abcd");
}

TEST(PrintedJobText, CharactersOutsideTheBasicPlaneAndBrokenOnes) {
    JobPage p;
    p.runs.push_back(run(0, 1000, U"a\U0001F600b\U0010FFFF"));
    p.runs.push_back(run(0, 2000, std::u32string(1, char32_t(0xD800)) + U"\u2500\x1F"));
    const std::vector<JobTextLine> lines = jobTextLines(p);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, u"a\U0001F600b\U0010FFFF");
    ASSERT_EQ(lines[0].places.size(), lines[0].text.size());  // a place for each unit
    EXPECT_EQ(lines[0].places[1].index, 1);
    EXPECT_EQ(lines[0].places[2].index, 1);  // both halves are the same character
    EXPECT_EQ(lines[0].places[3].index, 2);
    // A lone surrogate is no character; a control prints as a blank (trimmed at the end).
    EXPECT_EQ(lines[1].text, u"?\u2500");
    EXPECT_EQ(lines[1].places.size(), 2u);
    p.runs.clear();
    p.runs.push_back(run(0, 1000, {char32_t(0xD7FF), char32_t(0xDFFF), char32_t(0xE000)}));
    p.runs.push_back(run(0, 2000, {char32_t(0xFFFF), char32_t(0x110000), U'\x20', U'\x1F', U'z'}));
    EXPECT_EQ(jobPageText(p), u"\uD7FF?\uE000\n\uFFFF?  z");
}

TEST(PrintedJobVerdict, LanguagesByName) {
    EXPECT_STREQ(languageName(JobLanguage::EscP), "ESC/P");
    EXPECT_STREQ(languageName(JobLanguage::EscP2), "ESC/P2");
    EXPECT_STREQ(languageName(JobLanguage::Proprinter), "Proprinter");
    EXPECT_STREQ(languageName(JobLanguage::Pcl5), "PCL 5");
    EXPECT_STREQ(languageName(JobLanguage::PclXl), "PCL XL");
}

}  // namespace
}  // namespace folvek::printer

namespace folvek::printer {
namespace {

TEST(PrintedJobVerdict, TheReasonNamesEveryFeatureInTurn) {
    std::string reason;
    JobFeatures f;
    EXPECT_FALSE(laysItselfOut(f, reason));
    EXPECT_EQ(reason, "its commands only set styles, pitch and spacing");
    f.positions = true;
    EXPECT_TRUE(laysItselfOut(f, reason));
    EXPECT_EQ(reason, "the job positions text");
    f.graphics = f.formLength = true;
    EXPECT_TRUE(laysItselfOut(f, reason));
    EXPECT_EQ(reason, "the job draws pictures, positions text, sets the form length");
    f = JobFeatures{};
    f.formLength = true;
    EXPECT_TRUE(laysItselfOut(f, reason));
    EXPECT_EQ(reason, "the job sets the form length");
    f.widthsMixed = true;  // mixed widths alone lay nothing out
    f.formLength = false;
    EXPECT_FALSE(laysItselfOut(f, reason));
}

}  // namespace
}  // namespace folvek::printer

namespace folvek::printer {
namespace {

TEST(PrintedJobReader, AFileLargerThanAnyJobIsNotRead) {
    // 512 MiB and one byte, sparse: refused by its size before anything is read.
    const std::string path = ::testing::TempDir() + "folvek_huge_job.prn";
    {
        std::ofstream f(path, std::ios::binary);
        f << "\x1b@text";
    }
    std::filesystem::resize_file(path, (std::uintmax_t{512} << 20) + 1);
    PrinterJobReader reader;
    JobVerdict verdict;
    EXPECT_EQ(reader.read(path, LayoutMode::Job, true, verdict), nullptr);
    EXPECT_EQ(verdict.reason, "the file could not be read as a job");
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace folvek::printer

namespace folvek::printer {
namespace {

// Which files the reader keeps as a printer job, by the layout mode asked for: a job that lays
// itself out always, one that only styles its text or a file in no printer language only when
// the user chose the job layout, a job with no page never.
TEST(PrintedJobReader, EachModeAndKindOfJobGetsItsVerdict) {
    const std::string placed =
        "\x1b"
        "E\x1b&a5R\x1b&a10CPlaced\f";
    const std::string styled =
        "\x1b"
        "E\x1b(s3BBold\f";
    struct Case {
        const char* name;
        std::string bytes;
        LayoutMode mode;
        bool kept;
        const char* reason;
        const char* language;
    };
    const Case cases[] = {
        {"placed, auto", placed, LayoutMode::Auto, true, "the job positions text", "PCL 5"},
        {"placed, job", placed, LayoutMode::Job, true, "job layout chosen by the user", "PCL 5"},
        {"styled, auto", styled, LayoutMode::Auto, false,
         "its commands only set styles, pitch and spacing", "PCL 5"},
        {"styled, job", styled, LayoutMode::Job, true, "job layout chosen by the user", "PCL 5"},
        {"plain text, auto", "only text\r\n", LayoutMode::Auto, false, "no printer language found",
         ""},
        {"a reset and nothing printed",
         "\x1b"
         "E\x1b"
         "E",
         LayoutMode::Job, false, "the job prints no page", "PCL 5"},
    };
    const std::string path = ::testing::TempDir() + "folvek-reader-verdict.prn";
    PrinterJobReader reader;
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        JobVerdict v;
        const auto pages = reader.read(path, c.mode, false, v);
        EXPECT_EQ(pages != nullptr, c.kept) << c.name;
        EXPECT_EQ(v.reason, c.reason) << c.name;
        EXPECT_EQ(v.language, c.language) << c.name;
    }
    // The form is the job's paper (A4 after a PCL reset); DOS files read upper bytes in 866.
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << placed.substr(0, placed.size() - 1) + " \x80\f";
    for (const bool dos : {true, false}) {
        JobVerdict v;
        const auto pages = reader.read(path, LayoutMode::Auto, dos, v);
        ASSERT_TRUE(pages) << dos;
        EXPECT_NEAR(v.formWidthInches, 210 / 25.4, 0.01);
        EXPECT_NEAR(v.formHeightInches, 297 / 25.4, 0.01);
        EXPECT_NE(pages->pageText(1).find(dos ? u"\u0410" : u"\u0402"), std::u16string::npos)
            << dos;
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace folvek::printer
