// The quick scan that tells a job's printer family: each cue it looks for, and the data of
// pictures stepped over by their own counts, so that dots that happen to spell a command are
// never taken for one. Each picture below hides an ESC . (an ESC/P2 cue) in its data where a
// count one off would find it, or a cue right after it that a count one off would swallow.
#include <gtest/gtest.h>

#include <string>

#include "escp_scan.h"

using namespace folvek::printer;
using namespace std::string_literals;

namespace {

struct Cues {
    bool pins24, escp2;
};

Cues cuesOf(const std::string& job) {
    const JobScan s = scanJob(job);
    return {s.pins24, s.escp2};
}

}  // namespace

TEST(EscPScan, BitImageDataIsSteppedOverByItsDensity) {
    struct Case {
        const char* name;
        std::string job;
        bool pins24, escp2;
    };
    // Three bytes of data that end in an ESC, and a '.' after them: read short, "ESC ." is found.
    const std::string hidden3 = "\x00\x00\x1b."s;
    const std::string hidden6 = "\x00\x00\x00\x00\x00\x1b."s;
    const Case cases[] = {
        {"ESC * 0: a byte a column", "\x1b*\x00\x02\x00\x00\x00\x1b.\x01"s, true, true},
        {"ESC * 7: still one", "\x1b*\x07\x02\x00\x00\x00\x1b.\x01"s, true, true},
        {"ESC * 1: its three bytes hide a cue", "\x1b*\x01\x03\x00"s + hidden3, false, false},
        {"ESC * 32: three", "\x1b*\x20\x01\x00"s + hidden3, true, false},
        {"ESC * 33", "\x1b*\x21\x01\x00"s + hidden3, true, false},
        {"ESC * 38", "\x1b*\x26\x01\x00"s + hidden3, true, false},
        {"ESC * 40", "\x1b*\x28\x01\x00"s + hidden3, true, false},
        {"ESC * 71: six", "\x1b*\x47\x01\x00"s + hidden6, true, false},
        {"ESC * 73", "\x1b*\x49\x01\x00"s + hidden6, true, false},
        {"ESC * 8 is no Epson density", "\x1b*\x08\x01\x00xx"s, false, false},
        {"ESC * 34 neither", "\x1b*\x22\x01\x00xx"s, false, false},
        {"ESC * 41 neither", "\x1b*\x29\x01\x00xx"s, false, false},
        {"ESC * 74 neither", "\x1b*\x4a\x01\x00xx"s, false, false},
        {"ESC K", "\x1bK\x03\x00"s + hidden3, false, false},
        {"ESC L then a cue", "\x1bL\x01\x00\x00\x1b+"s, true, false},
        {"ESC Y", "\x1bY\x03\x00"s + hidden3, false, false},
        {"ESC Z", "\x1bZ\x03\x00"s + hidden3, false, false},
        {"ESC ^: two bytes a column", "\x1b^\x00\x03\x00"s + hidden6, false, false},
        // The data's last byte is an ESC: the byte after the data is text, no command.
        {"ESC K to its last byte", "\x1bK\x02\x00\x00\x1b."s, false, false},
        {"ESC Z to its last byte", "\x1bZ\x02\x00\x00\x1b+"s, false, false},
        {"ESC ^ to its last byte", "\x1b^\x00\x01\x00\x00\x1b."s, false, false},
    };
    for (const Case& c : cases) {
        const Cues got = cuesOf(c.job);
        EXPECT_EQ(got.pins24, c.pins24) << c.name;
        EXPECT_EQ(got.escp2, c.escp2) << c.name;
    }
}

TEST(EscPScan, RasterAndParenDataIsSteppedOver) {
    // ESC . c v h m nL nH: m rows of (n + 7) / 8 bytes; then ESC + is the cue to find.
    const JobScan plain = scanJob(
        "\x1b.\x00\x0a\x0a\x02\x09\x00\x1b+\x1b+\x1b"
        "F"s);
    EXPECT_TRUE(plain.escp2);
    EXPECT_TRUE(plain.boldOff);  // found right after 2 rows of 2 bytes
    // Run-length coded: 0xFE repeats the next byte three times, 0x02 copies three bytes.
    EXPECT_TRUE(scanJob("\x1b.\x01\x0a\x0a\x01\x30\x00\xfe\x1b\x02\x1b"
                        "F\x00\x1b"
                        "F"s)
                    .boldOff);
    EXPECT_FALSE(scanJob("\x1b.\x01\x0a\x0a\x01\x30\x00\xfe\x1b\x02\x1b"
                         "F\x00"s)
                     .boldOff);
    // ESC i is raster only in graphics mode (ESC ( G 1 or '1').
    const std::string lines =
        "\x1bi\x00\x00\x01\x02\x00\x01\x1b"
        "F"s;
    EXPECT_FALSE(scanJob("\x1b(G\x01\x00\x01"s + lines).boldOff);
    EXPECT_FALSE(scanJob("\x1b(G\x01\x00"
                         "1"s +
                         lines)
                     .boldOff);
    EXPECT_TRUE(scanJob("\x1b(G\x01\x00\x00"s + lines).boldOff);
    EXPECT_TRUE(scanJob(lines).boldOff);
    // ESC ( x nL nH: the n bytes are data; the ESC/P2 letters mark ESC/P2.
    for (const char c : std::string("GUCcVvDR")) {
        const JobScan s = scanJob("\x1b("s + c +
                                  "\x02\x00\x1b"
                                  "F");
        EXPECT_TRUE(s.escp2) << c;
        EXPECT_TRUE(s.pins24) << c;
        EXPECT_FALSE(s.boldOff) << c;
    }
    const JobScan t = scanJob(
        "\x1b(t\x03\x00\x01\x0e\x00\x1b"
        "F"s);
    EXPECT_FALSE(t.escp2);
    EXPECT_TRUE(t.pins24);
    EXPECT_TRUE(t.boldOff);
    // A high length byte of 0x10 or more is PCL text (ESC ( 10U), not a length.
    const JobScan pcl = scanJob("\x1b(s12H\x1b(10U\x1b&l1O"s);
    EXPECT_TRUE(pcl.pcl);
    EXPECT_FALSE(pcl.pins24);
    const JobScan high = scanJob(
        "\x1b(X\x00\x10\x1b"
        "F"s);
    EXPECT_FALSE(high.pins24);
    EXPECT_TRUE(high.boldOff);
    EXPECT_TRUE(scanJob("\x1b(X\x00\x0f\x1b"
                        "F"s)
                    .pins24);
}

TEST(EscPScan, EachCueOfAFamily) {
    EXPECT_TRUE(scanJob("\x11\x1bX"s).proprinter);
    EXPECT_FALSE(scanJob("\x12\x1bX"s).proprinter);
    EXPECT_TRUE(scanJob("a\x1b[@"s).proprinter);
    EXPECT_TRUE(scanJob("a\x1b_\x01"s).proprinter);
    EXPECT_TRUE(scanJob("\x1b"
                        "Ebold"s)
                    .startsWithReset);
    EXPECT_FALSE(scanJob(" \x1b"
                         "Ebold"s)
                     .startsWithReset);
    EXPECT_TRUE(scanJob("x\x1b%-12345X"s).pcl);
    EXPECT_TRUE(scanJob("\x1b&l1O"s).pcl);
    EXPECT_TRUE(scanJob("\x1b*t300R"s).pcl);
    EXPECT_TRUE(scanJob("\x1b&a-5R"s).pcl);
    EXPECT_TRUE(scanJob("\x1b*p+5X"s).pcl);
    EXPECT_FALSE(scanJob("\x1b&lO"s).pcl);
    EXPECT_TRUE(scanJob("\x1b&l9D"s).pcl);  // digits 0 to 9
    EXPECT_TRUE(scanJob("\x1b&l0E"s).pcl);
    EXPECT_TRUE(scanJob("\x1b(s9B"s).pcl);
    EXPECT_FALSE(scanJob("\x1b&l:D"s).pcl);
    EXPECT_FALSE(scanJob("\x1b&l/D"s).pcl);
    EXPECT_TRUE(scanJob("\x1c"
                        "3\x10"s)
                    .pins24);
    EXPECT_FALSE(scanJob("\x1c"
                         "4\x10"s)
                     .pins24);
    EXPECT_TRUE(scanJob("\x1c"
                        "3"s)
                    .pins24);  // cut off before its value
    EXPECT_TRUE(scanJob("\x1b+\x10"s).pins24);
    for (const char c : std::string("\x0e\x0f\x12\x14\x08"))
        EXPECT_TRUE(scanJob("ab"s + c + "cd").anyCommand) << int(c);
    for (const char c : std::string("\x07\x0a\x0c\x0d\x11\x13"))
        EXPECT_FALSE(scanJob("ab"s + c + "cd").anyCommand) << int(c);
    EXPECT_TRUE(scanJob("ab\x1b@"s).anyCommand);
}
