// Which files lay themselves out: a job whose commands position text, draw pictures or set the
// form length goes to the job reader; a report whose codes only set styles, pitch and spacing
// is never read a second time; the user's choice wins either way.
#include <gtest/gtest.h>

#include <string>

#include "document_record.h"
#include "layout_fakes.h"
#include "test_support.h"

namespace folvek::test {
namespace {

using namespace std::string_literals;

class Pages : public JobLayout {
  public:
    explicit Pages(int n) : n_(n) {}
    std::int32_t pageCount() const override { return n_; }
    std::u16string pageText(std::int32_t) const override { return u"page"; }

  private:
    int n_;
};

class CountingReader : public JobReader {
  public:
    std::shared_ptr<const JobLayout> read(const std::string&, LayoutMode mode, bool dos,
                                          JobVerdict& verdict) override {
        ++reads;
        lastMode = mode;
        lastDos = dos;
        verdict.language = "ESC/P";
        verdict.reason = "the job positions text";
        return pages > 0 ? std::make_shared<Pages>(pages) : nullptr;
    }
    int reads = 0;
    int pages = 3;
    LayoutMode lastMode = LayoutMode::Auto;
    bool lastDos = false;
};

struct JobChoice : ::testing::Test {
    TestRecord t;
    coretest::ScratchDir dir;
    CountingReader reader;
    void SetUp() override { t->jobReader = &reader; }
    void load(const std::string& bytes) {
        t->freeText();
        ASSERT_EQ(t->loadText(dir.file("job.prn", bytes)), 1);
        t->paginate();
    }
};

TEST_F(JobChoice, StylesPitchAndSpacingKeepTheReportLayoutWithoutASecondRead) {
    load(
        "\x1b"
        "E"
        "bold\x1b"
        "F\r\n\x0f"
        "condensed\x12\r\n\x1b"
        "M\x1b"
        "0elite\r\n\x1b-1u\r\n");
    EXPECT_EQ(reader.reads, 0);
    EXPECT_FALSE(t->jobLaidOut());
    EXPECT_FALSE(t->jobVerdict.reason.empty());
    EXPECT_EQ(t->pageCount, 1);
}

TEST_F(JobChoice, MovesPicturesAndFormLengthsGoToTheReader) {
    const std::string jobs[] = {
        "\x1b$\x10\x00"
        "at one inch\r\n"s,                // absolute move
        "\x1b*\x00\x02\x00\xff\xff\r\n"s,  // bit image
        "\x1b"
        "C\x14"
        "twenty lines\r\n"s,  // form length
        "\x1b"
        "E\x1b&a10C\x1b*p300YPCL\r\n"s,  // PCL cursor
    };
    for (const std::string& job : jobs) {
        reader.reads = 0;
        load(job);
        EXPECT_EQ(reader.reads, 1) << job;
        EXPECT_TRUE(t->jobLaidOut());
        EXPECT_EQ(t->pageCount, 3);  // the job's own sheets
        EXPECT_EQ(t->jobVerdict.language, "ESC/P");
    }
    // A job the reader keeps as a report stays one.
    reader.pages = 0;
    load(jobs[0]);
    EXPECT_FALSE(t->jobLaidOut());
    EXPECT_EQ(t->pageCount, 1);
}

TEST_F(JobChoice, TheUsersChoiceWins) {
    t->layoutMode = LayoutMode::Report;
    load("\x1b$\x10\x00moved\r\n"s);
    EXPECT_EQ(reader.reads, 0);
    EXPECT_FALSE(t->jobLaidOut());

    t->layoutMode = LayoutMode::Job;
    load("plain text\r\n");
    EXPECT_EQ(reader.reads, 1);
    EXPECT_EQ(reader.lastMode, LayoutMode::Job);
    EXPECT_TRUE(t->jobLaidOut());

    t->freeText();  // the pages go with the text
    EXPECT_FALSE(t->jobLaidOut());
}

TEST_F(JobChoice, ACommandInEitherHalfOfAFileCutOnTwoCoresCounts) {
    t->splitLoadFrom = 4096;
    std::string plain;
    while (plain.size() < 20000) plain += "0123456789 a line of a plain report\r\n";
    load(plain +
         "\x1b$\x10\x00"
         "at the end\r\n"s);
    EXPECT_EQ(reader.reads, 1);
    load(
        "\x1b$\x10\x00"
        "at the start\r\n"s +
        plain);
    EXPECT_EQ(reader.reads, 2);
    load(plain + plain);
    EXPECT_EQ(reader.reads, 2);
}

TEST(LayoutModeNames, ReadAndWritten) {
    LayoutMode m = LayoutMode::Auto;
    EXPECT_TRUE(layoutModeFromName("job", m));
    EXPECT_EQ(m, LayoutMode::Job);
    EXPECT_STREQ(layoutModeName(m), "job");
    EXPECT_TRUE(layoutModeFromName("report", m));
    EXPECT_EQ(m, LayoutMode::Report);
    EXPECT_FALSE(layoutModeFromName("JOB ", m));
    EXPECT_EQ(m, LayoutMode::Report);
}

}  // namespace
}  // namespace folvek::test
