// The CUPS options string as folvektopdf reads it: quoting, the shorthand forms, the options
// that shape the layout, and the settings names that are refused.
#include <gtest/gtest.h>

#include <string>

#include "cups_job.h"

namespace folvek {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

TEST(CupsOptions, QuotingEscapesAndBareNamesAsTheSchedulerWritesThem) {
    const Options o = parseCupsOptions(
        "  job-uuid=urn:uuid:1 title='Склад N 1' x=\"a b\" esc=a\\ b landscape nocollate  ");
    const Options want = {
        {"job-uuid", "urn:uuid:1"}, {"title", "Склад N 1"}, {"x", "a b"}, {"esc", "a b"},
        {"landscape", "true"},      {"collate", "false"}};
    EXPECT_EQ(o, want);
    EXPECT_TRUE(parseCupsOptions("").empty());
    EXPECT_EQ(parseCupsOptions("open='unterminated"), (Options{{"open", "unterminated"}}));
}

TEST(CupsOptions, FitIsOnOffOrAsTheSettingsSay) {
    EXPECT_EQ(readJobOptions(parseCupsOptions("")).job.fit, -1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("folvek-fit")).job.fit, 1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("folvek-fit=yes")).job.fit, 1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("nofolvek-fit")).job.fit, 0);
    EXPECT_EQ(readJobOptions(parseCupsOptions("folvek-fit=off")).job.fit, 0);
    EXPECT_TRUE(readJobOptions(parseCupsOptions("folvek-fit")).warnings.empty());
}

TEST(CupsOptions, LayoutOptionsAreRead) {
    const JobOptions r = readJobOptions(parseCupsOptions(
        "folvek-ini=WIDE.INI media=iso_a3_297x420mm,tray-1 cpi=12 lpi=8 page-left=36 "
        "page-right=54 page-top=72 page-bottom=18 folvek-encoding=866 page-ranges=1-3,5,7- "
        "copies=2 job-sheets=none"));
    ASSERT_TRUE(r.error.empty());
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
    EXPECT_EQ(r.job.settingsName, "WIDE.INI");
    EXPECT_EQ(r.job.paper, "A3");
    EXPECT_DOUBLE_EQ(r.job.cpi, 12);
    EXPECT_DOUBLE_EQ(r.job.lpi, 8);
    EXPECT_DOUBLE_EQ(r.job.marginPt[0], 36);
    EXPECT_DOUBLE_EQ(r.job.marginPt[1], 54);
    EXPECT_DOUBLE_EQ(r.job.marginPt[2], 72);
    EXPECT_DOUBLE_EQ(r.job.marginPt[3], 18);
    EXPECT_EQ(r.job.encoding, JobEncoding::Dos);
    EXPECT_EQ(r.job.pageRanges, "1-3,5,7-");
    EXPECT_EQ(r.job.orientation, -1);
}

TEST(CupsOptions, OrientationRequestedWinsOverTheLandscapeShorthand) {
    EXPECT_EQ(readJobOptions(parseCupsOptions("landscape")).job.orientation, 1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("nolandscape")).job.orientation, -1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("orientation-requested=4")).job.orientation, 1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("orientation-requested=5")).job.orientation, 1);
    EXPECT_EQ(readJobOptions(parseCupsOptions("orientation-requested=6")).job.orientation, 0);
    EXPECT_EQ(readJobOptions(parseCupsOptions("landscape orientation-requested=3")).job.orientation,
              0);
    const JobOptions bad = readJobOptions(parseCupsOptions("orientation-requested=9"));
    EXPECT_EQ(bad.job.orientation, -1);
    EXPECT_EQ(bad.warnings.size(), 1u);
}

TEST(CupsOptions, BadValuesWarnAndAreIgnoredUnknownOptionsOfOthersPassSilently) {
    const JobOptions r = readJobOptions(parseCupsOptions(
        "cpi=0 lpi=abc page-left=-5 media=B0 folvek-encoding=ebcdic page-ranges=3-x "
        "folvek-colour=red fit-to-page number-up=2 PageSize=Tabloid"));
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(r.warnings.size(), 8u);
    EXPECT_DOUBLE_EQ(r.job.cpi, 0);
    EXPECT_DOUBLE_EQ(r.job.lpi, 0);
    EXPECT_DOUBLE_EQ(r.job.marginPt[0], -1);
    EXPECT_TRUE(r.job.paper.empty());
    EXPECT_EQ(r.job.encoding, JobEncoding::Auto);
    EXPECT_TRUE(r.job.pageRanges.empty());
    // A media list that names only a tray and a type is no mistake.
    EXPECT_TRUE(readJobOptions(parseCupsOptions("media=tray-2,plain")).warnings.empty());
}

TEST(CupsOptions, SettingsNamesOutsideTheSettingsDirectoryAreRefused) {
    for (const char* bad :
         {"../etc/passwd", "/etc/passwd", "sub/A.INI", "..", "A..INI", ".hidden", ""}) {
        EXPECT_FALSE(isPlainSettingsName(bad)) << bad;
        const JobOptions r = readJobOptions({{"folvek-ini", bad}, {"landscape", "true"}});
        EXPECT_FALSE(r.error.empty()) << bad;
    }
    EXPECT_TRUE(isPlainSettingsName("FOLVK95.INI"));
    EXPECT_TRUE(isPlainSettingsName("Склад 1.ini"));
}

TEST(CupsOptions, MediaNamesBecomeThePapersWeLayOutOn) {
    EXPECT_EQ(paperFromMedia("A4"), "A4");
    EXPECT_EQ(paperFromMedia("na_letter_8.5x11in"), "Letter");
    EXPECT_EQ(paperFromMedia("Auto,na_legal_8.5x14in"), "Legal");
    EXPECT_EQ(paperFromMedia("iso_a5_148x210mm"), "A5");
    EXPECT_EQ(paperFromMedia("tabloid"), "");
    EXPECT_EQ(paperFromMedia(""), "");
}

TEST(CupsOptions, NumbersAndMarginsAtTheEndsOfTheirRanges) {
    struct Case {
        const char* options;
        double cpi, lpi, left, bottom;
        std::size_t warnings;
    };
    const Case cases[] = {
        {"cpi=1 lpi=100", 1, 100, -1, -1, 0},
        {"cpi=100 lpi=1", 100, 1, -1, -1, 0},
        {"cpi=0.99 lpi=100.5", 0, 0, -1, -1, 2},
        {"cpi=16.67 lpi=7.5", 16.67, 7.5, -1, -1, 0},
        {"cpi=12cpi lpi=", 0, 0, -1, -1, 2},
        {"page-left=0 page-bottom=1440", 0, 0, 0, 1440, 0},
        {"page-left=1440.5 page-bottom=-0.1", 0, 0, -1, -1, 2},
        {"Page-Left=7 PAGE-BOTTOM=9", 0, 0, 7, 9, 0},
    };
    for (const Case& c : cases) {
        const JobOptions r = readJobOptions(parseCupsOptions(c.options));
        EXPECT_DOUBLE_EQ(r.job.cpi, c.cpi) << c.options;
        EXPECT_DOUBLE_EQ(r.job.lpi, c.lpi) << c.options;
        EXPECT_DOUBLE_EQ(r.job.marginPt[0], c.left) << c.options;
        EXPECT_DOUBLE_EQ(r.job.marginPt[3], c.bottom) << c.options;
        EXPECT_EQ(r.warnings.size(), c.warnings) << c.options;
    }
    // The warning names the option as given, its value quoted, and the range.
    const JobOptions r = readJobOptions(parseCupsOptions("CPI=\"1\x01\" page-top=2000"));
    ASSERT_EQ(r.warnings.size(), 2u);
    EXPECT_EQ(r.warnings[0], "CPI=\"1\\x01\" is not a number from 1 to 100; ignored");
    EXPECT_EQ(r.warnings[1], "page-top=\"2000\" is not a number from 0 to 1440; ignored");
}

TEST(CupsOptions, SwitchesEncodingsLayoutsAndPageLists) {
    struct Switch {
        const char* value;
        bool on;
    };
    for (const Switch& s : {Switch{"true", true},
                            {"YES", true},
                            {"On", true},
                            {"", true},
                            {"false", false},
                            {"no", false},
                            {"1", false},
                            {"off", false}}) {
        const JobOptions r = readJobOptions({{"folvek-force", s.value}, {"landscape", s.value}});
        EXPECT_EQ(r.job.force, s.on) << s.value;
        EXPECT_EQ(r.job.orientation, s.on ? 1 : -1) << s.value;
    }
    const std::pair<const char*, JobEncoding> encodings[] = {
        {"auto", JobEncoding::Auto},
        {"CP866", JobEncoding::Dos},
        {"ibm866", JobEncoding::Dos},
        {"dos", JobEncoding::Dos},
        {"866", JobEncoding::Dos},
        {"1251", JobEncoding::Windows},
        {"Windows-1251", JobEncoding::Windows},
        {"windows", JobEncoding::Windows},
        {"cp1251", JobEncoding::Windows},
    };
    for (const auto& [value, encoding] : encodings) {
        const JobOptions r = readJobOptions({{"folvek-encoding", value}});
        EXPECT_EQ(r.job.encoding, encoding) << value;
        EXPECT_TRUE(r.warnings.empty()) << value;
    }
    EXPECT_EQ(readJobOptions({{"folvek-layout", "JOB"}}).job.layout, LayoutMode::Job);
    EXPECT_EQ(readJobOptions({{"folvek-layout", "report"}}).job.layout, LayoutMode::Report);
    const JobOptions unknown = readJobOptions({{"folvek-layout", "page"}});
    EXPECT_EQ(unknown.job.layout, LayoutMode::Auto);
    EXPECT_EQ(unknown.warnings.size(), 1u);

    for (const char* good : {"1", "1-3,5,7-", "-4", "2-", "123456789", "1,2,3"})
        EXPECT_TRUE(isPageRangeList(good)) << good;
    for (const char* bad :
         {"", "-", "1,", ",1", "1--2", "1-2-3", "1234567890", "a", "1 -2", "1-x", "x-1"})
        EXPECT_FALSE(isPageRangeList(bad)) << bad;
    // "no" alone is a name, not the negation of an empty one; NO in capitals negates.
    EXPECT_EQ(parseCupsOptions("no NOcollate x=\"a\\\"b\" y='c\\'d'"),
              (Options{{"no", "true"}, {"collate", "false"}, {"x", "a\"b"}, {"y", "c'd"}}));
}

TEST(CupsOptions, SettingsNamesAtTheirLongestAndWithControls) {
    EXPECT_TRUE(isPlainSettingsName(std::string(254, 'a')));
    EXPECT_FALSE(isPlainSettingsName(std::string(255, 'a')));
    EXPECT_FALSE(isPlainSettingsName("A\x1F.INI"));
    EXPECT_FALSE(isPlainSettingsName("A\n.INI"));
    EXPECT_TRUE(isPlainSettingsName("A .INI"));
    EXPECT_TRUE(isPlainSettingsName("A.B.INI"));
}

TEST(CupsOptions, SizesWeDoNotLayOutOnAreToldFromTraysAndTypes) {
    for (const char* size :
         {"b4", "C5", "a10", "iso_b5_176x250mm", "Ledger", "executive", "statement", "tray-1,b5"}) {
        const JobOptions r = readJobOptions({{"media", size}});
        EXPECT_EQ(r.warnings.size(), 1u) << size;
        EXPECT_TRUE(r.job.paper.empty()) << size;
    }
    for (const char* notASize : {"d4", "a", "a1000", "b4x", "tray_2", "photo", "plain_paper"})
        EXPECT_TRUE(readJobOptions({{"media", notASize}}).warnings.empty()) << notASize;
    // PageSize and media-size-name name a size, so any they give that we lack is told.
    EXPECT_EQ(readJobOptions({{"PageSize", "photo"}}).warnings.size(), 1u);
    EXPECT_EQ(readJobOptions({{"media-size-name", "Legal"}}).job.paper, "Legal");
    EXPECT_EQ(paperFromMedia("LETTER"), "Letter");
    EXPECT_EQ(paperFromMedia("tray-1,,a3"), "A3");
    EXPECT_EQ(paperFromMedia("a4x"), "");
}

TEST(CupsOptions, ThePpdsDefaultPageSize) {
    EXPECT_EQ(paperFromPpd("*PPD-Adobe: \"4.3\"\n*DefaultPageSize: Letter\n"), "Letter");
    EXPECT_EQ(paperFromPpd("*DefaultPageSize:\tA4.Transverse\r\n"), "A4");
    EXPECT_EQ(paperFromPpd("*DefaultPageSize:Legal"), "Legal");
    EXPECT_EQ(paperFromPpd("*%*DefaultPageSize: A3\n*DefaultPageSize: A5\n"), "A5")
        << "a comment's mention is not the default";
    EXPECT_EQ(paperFromPpd("*DefaultPageSize: Tabloid\n"), "");
    EXPECT_EQ(paperFromPpd("*PageSize A4: \"<<>>\"\n"), "");
    EXPECT_EQ(paperFromPpd(""), "");
}

TEST(CupsOptions, ControlsAreShownEscapedAndQuotesInValuesEscaped) {
    EXPECT_EQ(escapeControls("a\nb\rc\td\x1b\x7F\x1F "), "a\\nb\\rc\\td\\x1B\\x7F\\x1F ");
    EXPECT_EQ(escapeControls("Склад ~"), "Склад ~");
    EXPECT_EQ(quotedValue("say \"hi\"\n"), "\"say \\\"hi\\\"\\n\"");
    EXPECT_EQ(quotedValue(""), "\"\"");
}

}  // namespace
}  // namespace folvek
