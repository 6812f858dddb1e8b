// The viewer's own command-line requests, read before Qt sees the arguments: --help (-h, -?)
// and --version anywhere, but not as the value of one of Qt's options that takes one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_info.h"

namespace folvek {
namespace {

InfoRequest requestOf(std::vector<const char*> args) {
    args.insert(args.begin(), "folvek");
    return infoRequested(static_cast<int>(args.size()), args.data());
}

TEST(InfoRequested, HelpAndVersionAnywhereButAfterAQtOptionThatTakesAValue) {
    struct Case {
        std::vector<const char*> args;
        InfoRequest want;
    } cases[] = {
        {{}, InfoRequest::None},
        {{"report.txt"}, InfoRequest::None},
        {{"--help"}, InfoRequest::Help},
        {{"-h"}, InfoRequest::Help},
        {{"-?"}, InfoRequest::Help},
        {{"report.txt", "--version"}, InfoRequest::Version},
        {{"--version", "--help"}, InfoRequest::Version},  // the first one asked
        {{"-help"}, InfoRequest::None},
        {{"-version"}, InfoRequest::None},
        // Qt's options with a value, with one dash or two: the value is skipped.
        {{"-platform", "--help"}, InfoRequest::None},
        {{"--platform", "--help"}, InfoRequest::None},
        {{"-display", "--version"}, InfoRequest::None},
        {{"-dialogs", "-h", "--version"}, InfoRequest::Version},
        {{"-qwindowtitle", "-?"}, InfoRequest::None},
        // With the value after '=', or an option that takes none, the next argument counts.
        {{"-platform=offscreen", "--help"}, InfoRequest::Help},
        {{"-reverse", "--help"}, InfoRequest::Help},
        {{"platform", "--help"}, InfoRequest::Help},
        {{"---platform", "--help"}, InfoRequest::Help},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* a : c.args) line += std::string(a) + " ";
        EXPECT_EQ(requestOf(c.args), c.want) << line;
    }
}

}  // namespace
}  // namespace folvek
