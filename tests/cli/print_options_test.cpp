// The folvek-print command line parsed case by case: each number's range at both ends and one
// past, page ranges, queue names and lp options, the value forms (--name=value, a missing
// value), and the options that go only with others.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "print_options.h"

namespace folvek {
namespace {

struct Parsed {
    bool ok = false;
    PrintOptions o;
    std::string error;
};

Parsed parse(std::vector<std::string> args) {
    Parsed p;
    p.ok = parsePrintOptions(args, &p.o, &p.error);
    return p;
}

TEST(PrintOptions, NumbersAtBothEndsOfTheirRanges) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
    };
    const Case cases[] = {
        {{"--lp", "-n", "1"}, true},
        {{"--lp", "-n", "999"}, true},
        {{"--lp", "-n", "0"}, false},
        {{"--lp", "-n", "1000"}, false},
        {{"--lp", "--copies=2x"}, false},
        {{"a", "--png", "d", "--dpi", "10"}, true},
        {{"a", "--dpi", "2400"}, true},
        {{"a", "--dpi", "9"}, false},
        {{"a", "--dpi", "2401"}, false},
        {{"--watch", "w", "--settle", "0"}, true},
        {{"--watch", "w", "--settle", "3600000"}, true},
        {{"--watch", "w", "--settle", "-1"}, false},
        {{"--watch", "w", "--settle", "3600001"}, false},
        {{"--watch", "w", "--max-wait", "1"}, true},
        {{"--watch", "w", "--max-wait", "86400"}, true},
        {{"--watch", "w", "--max-wait", "0"}, false},
        {{"--watch", "w", "--max-wait", "86401"}, false},
        {{"a", "--margin", "0"}, true},
        {{"a", "--margin", "50"}, true},
        {{"a", "--margin", "12.5"}, true},
        {{"a", "--margin", "-0.1"}, false},
        {{"a", "--margin", "50.01"}, false},
        {{"a", "--margin", "5mm"}, false},
        {{"a", "--margin", ""}, false},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.ok, c.ok) << line << p.error;
        EXPECT_EQ(p.error.empty(), c.ok) << line;
    }
    EXPECT_EQ(parse({"--lp", "-n", "999"}).o.copies, 999);
    EXPECT_EQ(parse({"a", "--dpi", "2400"}).o.dpi, 2400);
    EXPECT_EQ(parse({"--watch", "w", "--settle", "3600000"}).o.settleMs, 3600000);
    EXPECT_EQ(parse({"--watch", "w", "--max-wait", "86400"}).o.maxWaitS, 86400);
    EXPECT_DOUBLE_EQ(parse({"a", "--margin", "12.5"}).o.marginMm, 12.5);
}

TEST(PrintOptions, PageRanges) {
    struct Case {
        const char* text;
        bool ok;
        int first, last;
    };
    const Case cases[] = {
        {"3", true, 3, 3},   {"2-5", true, 2, 5},  {"4-", true, 4, 0},   {"-7", true, 1, 7},
        {"2-2", true, 2, 2}, {"1", true, 1, 1},    {"1-1", true, 1, 1},  {"0", false, 0, 0},
        {"-", false, 0, 0},  {"5-4", false, 0, 0}, {"0-2", false, 0, 0}, {"2-0", false, 0, 0},
        {"", false, 0, 0},   {"a", false, 0, 0},   {"2-x", false, 0, 0}, {"-0", false, 0, 0},
    };
    for (const Case& c : cases) {
        int first = -5, last = -5;
        EXPECT_EQ(parsePageRange(c.text, &first, &last), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(first, c.first) << c.text;
            EXPECT_EQ(last, c.last) << c.text;
        } else {
            EXPECT_EQ(first, -5) << "left alone on a refusal: " << c.text;
        }
    }
    const Parsed p = parse({"a", "--pages=2-5"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.firstPage, 2);
    EXPECT_EQ(p.o.lastPage, 5);
}

TEST(PrintOptions, QueueNamesAndLpOptions) {
    for (const char* queue : {"lp", "hp/draft", "Office_2nd-floor", "a.b"}) {
        const Parsed p = parse({"--lp", "-P", queue});
        EXPECT_TRUE(p.ok) << queue << p.error;
        EXPECT_EQ(p.o.printer, queue);
    }
    for (const char* queue : {"", "-x", "/dev/lp0", "a b", "a#b", "a\\b", "a\x7F", "a\tb"})
        EXPECT_FALSE(parse({"--lp", "-d", queue}).ok) << queue;
    for (const char* option : {"sides=two-sided-long-edge", "landscape", "media=A4"}) {
        const Parsed p = parse({"--lp", "-o", option});
        ASSERT_TRUE(p.ok) << option << p.error;
        EXPECT_EQ(p.o.lpOptions, std::vector<std::string>{option});
        EXPECT_TRUE(p.o.pdfFile.empty());
    }
    for (const char* option : {"", "-x", "=x", "a\nb", "a\x1F", "a\x7F"})
        EXPECT_FALSE(parse({"--lp", "--lp-option", option}).ok) << option;
    // Before --lp, -o is the PDF; after it, lp's option.
    Parsed p = parse({"-o", "out.pdf", "a.txt"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.pdfFile, "out.pdf");
    EXPECT_TRUE(p.o.lpOptions.empty());
    p = parse({"--lp", "--lp-option=a=b", "-o", "c"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.lpOptions, (std::vector<std::string>{"a=b", "c"}));
    EXPECT_EQ(p.o.inputs, std::vector<std::string>{"-"}) << "--lp without FILE reads stdin";
}

TEST(PrintOptions, ValueFormsAndSwitches) {
    Parsed p = parse({"--output=x.pdf", "--encoding=koi8-r", "--layout=job", "--paper=Letter",
                      "--landscape", "--fit", "-q", "--force", "--ini=my.ini", "r.prn"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.pdfFile, "x.pdf");
    EXPECT_EQ(p.o.encoding, "koi8-r");
    EXPECT_EQ(p.o.dos, -1);
    EXPECT_EQ(p.o.layout, "job");
    EXPECT_EQ(p.o.paper, "Letter");
    EXPECT_EQ(p.o.orientation, 1);
    EXPECT_EQ(p.o.fit, 1);
    EXPECT_TRUE(p.o.quiet);
    EXPECT_TRUE(p.o.force);
    EXPECT_EQ(p.o.iniFile, "my.ini");
    EXPECT_TRUE(p.o.iniGiven);
    EXPECT_EQ(p.o.inputs, std::vector<std::string>{"r.prn"});
    EXPECT_FALSE(parse({"r.prn"}).o.iniGiven);
    EXPECT_EQ(parse({"r.prn"}).o.iniFile, "FOLVK95.INI");

    p = parse({"--encoding", "cp866", "--dos", "--portrait", "--no-fit", "r.prn"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.dos, 1);
    EXPECT_TRUE(p.o.encoding.empty()) << "the later option wins";
    EXPECT_EQ(p.o.orientation, 0);
    EXPECT_EQ(p.o.fit, 0);
    p = parse({"--windows", "--engine", "qt", "--tables", "t.CSV", "--svg", "s", "r.prn"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.dos, 0);
    EXPECT_TRUE(p.o.qtEngine);
    EXPECT_EQ(p.o.tablesFile, "t.CSV");
    EXPECT_EQ(p.o.svgDir, "s");
    EXPECT_TRUE(parse({"-h"}).o.help);
    EXPECT_TRUE(parse({"--version"}).o.version);
    EXPECT_EQ(parse({"-"}).o.inputs, std::vector<std::string>{"-"}) << "a lone dash is stdin";

    // Refused: unknown names and values, and an option whose value is missing at the end.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--encoding", "cp437", "r"},
          {"--layout", "page", "r"},
          {"--engine", "pdf", "r"},
          {"--paper", "B5", "r"},
          {"--tables", "t.xls", "r"},
          {"--bogus", "r"},
          {"-x"},
          {"r", "--ini"},
          {"r", "--ini="},
          {"r", "--title="},
          {"--watch="},
          {"--watch", "w", "--pdf-dir="},
          {"r", "-o"},
          {"r", "--pages"}}) {
        std::string line;
        for (const auto& a : bad) line += a + " ";
        const Parsed q = parse(bad);
        EXPECT_FALSE(q.ok) << line;
        EXPECT_FALSE(q.error.empty()) << line;
    }
}

TEST(PrintOptions, OptionsThatGoOnlyWithOthers) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
    };
    const Case cases[] = {
        {{"--watch", "w", "--pdf-dir", "p", "--delete"}, true},
        {{"--watch", "w", "--printer", "q"}, true},
        {{"--watch", "w", "--pdf-dir", "p", "--printer", "q"}, false},
        {{"--watch", "w", "--pdf-dir", "p", "--lp"}, false},
        {{"--watch", "w", "r"}, false},
        {{"--watch", "w", "-o", "x.pdf"}, false},
        {{"--watch", "w", "--png", "d"}, false},
        {{"--watch", "w", "--svg", "d"}, false},
        {{"--watch", "w", "--tables", "t.ods"}, false},
        {{"--watch", "w", "--info"}, false},
        {{"--watch", "w", "--title", "t"}, false},
        {{"r", "--pdf-dir", "p"}, false},
        {{"r", "--delete"}, false},
        {{"r", "--settle", "1000"}, true},  // the default is no change
        {{"r", "--settle", "999"}, false},
        {{"r", "--max-wait", "60"}, true},
        {{"r", "--max-wait", "61"}, false},
        {{"r", "--printer", "q"}, false},
        {{"r", "-n", "1"}, true},
        {{"r", "-n", "2"}, false},
        {{"r", "--lp-option", "x"}, false},
        {{"r", "--title", "t"}, false},
        {{"r", "-o", "x.pdf", "--title", "t"}, true},
        {{"--lp", "r", "--title", "t"}, true},
        {{"r", "-o", "-", "--info"}, false},
        {{"r", "-o", "x.pdf", "--info"}, true},
        {{"-", "-"}, false},
        {{"a", "b", "-o", "x.pdf"}, false},
        {{"a", "b", "--png", "d"}, false},
        {{"a", "b", "--svg", "d"}, false},
        {{"a", "b", "--info"}, true},
        {{"--lp", "a", "b"}, true},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.ok, c.ok) << line << p.error;
    }
}

}  // namespace
}  // namespace folvek

namespace folvek {
namespace {

// Each job of a watched folder gets the layout options of the watching command line, and
// only those: read back, they give the same layout.
TEST(PrintOptions, TheWatchHandsItsLayoutOptionsToEachJob) {
    using Args = std::vector<std::string>;
    const Args always{"-q", "--paper=A4", "--margin=5.000000"};
    struct Case {
        Args given;
        Args handed;  // after the three always handed on
    };
    const Case cases[] = {
        {{}, {}},
        {{"--windows"}, {"--windows"}},
        {{"--dos"}, {"--dos"}},
        {{"--ini=x.ini"}, {"--ini=x.ini"}},
        {{"--encoding=cp866"}, {"--encoding=cp866"}},
        {{"--portrait"}, {"--portrait"}},
        {{"--landscape"}, {"--landscape"}},
        {{"--pages=2-5"}, {"--pages=2-5"}},
        {{"--pages=3-"}, {"--pages=3-"}},
        {{"--pages=-7"}, {"--pages=1-7"}},
        {{"--pages=1-"}, {}},
        {{"--no-fit"}, {"--no-fit"}},
        {{"--fit"}, {"--fit"}},
        {{"--engine=qt"}, {"--engine=qt"}},
        {{"--engine=direct"}, {}},
        {{"--layout=report"}, {"--layout=report"}},
        {{"--force"}, {"--force"}},
        {{"--delete", "--settle=500"}, {}},  // the watch's own options stay with it
    };
    for (const Case& c : cases) {
        Args args{"--watch", "in"};
        args.insert(args.end(), c.given.begin(), c.given.end());
        const Parsed p = parse(args);
        ASSERT_TRUE(p.ok) << testing::PrintToString(c.given) << ": " << p.error;
        Args want = always;
        want.insert(want.end(), c.handed.begin(), c.handed.end());
        const Args handed = layoutArguments(p.o);
        EXPECT_EQ(handed, want) << testing::PrintToString(c.given);
        Args job = handed;
        job.push_back("report.prn");
        const Parsed back = parse(job);
        ASSERT_TRUE(back.ok) << testing::PrintToString(handed);
        EXPECT_EQ(back.o.dos, p.o.dos);
        EXPECT_EQ(back.o.orientation, p.o.orientation);
        EXPECT_EQ(back.o.fit, p.o.fit);
        EXPECT_EQ(back.o.firstPage, p.o.firstPage);
        EXPECT_EQ(back.o.lastPage, p.o.lastPage);
        EXPECT_EQ(back.o.iniFile, p.o.iniFile);
        EXPECT_EQ(back.o.qtEngine, p.o.qtEngine);
        EXPECT_TRUE(back.o.quiet);
    }
    Args all{"--watch", "in",           "--paper=Letter", "--margin=12.5",
             "--force", "--layout=job", "--windows"};
    EXPECT_EQ(layoutArguments(parse(all).o), (Args{"-q", "--paper=Letter", "--margin=12.500000",
                                                   "--windows", "--layout=job", "--force"}));
}

}  // namespace
}  // namespace folvek
