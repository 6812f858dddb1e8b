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

}  // namespace
}  // namespace folvek
