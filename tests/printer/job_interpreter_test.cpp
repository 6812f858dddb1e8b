// Which language a job speaks, and the one entry point reading it.
#include <gtest/gtest.h>

#include "escp_job.h"

using namespace folvek::printer;
using namespace std::string_literals;

TEST(JobLanguageDetection, EachLanguageIsKnownByItsOwnCommands) {
    EXPECT_EQ(detectLanguage("plain report\r\n\x0cpage 2\r\n"), JobLanguage::None);
    EXPECT_EQ(detectLanguage("\x0f"
                             "condensed\x12"),
              JobLanguage::EscP);
    EXPECT_EQ(detectLanguage("a=\b/"), JobLanguage::EscP);  // overstrike is a printer's trick
    EXPECT_EQ(detectLanguage("\x1b@\x1b"
                             "EBold\x1b"
                             "F\r\n"),
              JobLanguage::EscP);
    EXPECT_EQ(detectLanguage("\x1b@\x1b(G\x01\x00\x01"s), JobLanguage::EscP2);
    EXPECT_EQ(detectLanguage("\x1b.\x01\x0a\x0a\x18\x08\x00"s), JobLanguage::EscP2);
    EXPECT_EQ(detectLanguage("\x11\x1b"
                             "30\x1bJ\x10"),
              JobLanguage::Proprinter);
    EXPECT_EQ(detectLanguage("\x1b[@\x04\x00\x00\x00\x02\x02"s), JobLanguage::Proprinter);
    EXPECT_EQ(detectLanguage("\x1b%-12345X@PJL ENTER LANGUAGE=PCL\r\n"), JobLanguage::Pcl5);
    EXPECT_EQ(detectLanguage("\x1b"
                             "E\x1b&l1O\x1b*t300R"),
              JobLanguage::Pcl5);
    // HP asks every PCL job to start and end with its reset; text between stays PCL.
    EXPECT_EQ(detectLanguage("\x1b"
                             "EHello\r\n\x1b"
                             "E"),
              JobLanguage::Pcl5);
}

TEST(JobLanguageDetection, BytesOfAPictureAreNeverTakenForCommands) {
    // A 9-pin bit image whose dots happen to spell ESC/P2, 24-pin and PCL commands.
    const std::string job =
        "\x1bK\x12\x00\x1b(G\x01\x00\x01\x1b+\x1b.\x1b&l1O\x1b*\x27\x01\x00"
        "\x1bJ\x6c"
        "A"s;
    EXPECT_EQ(detectLanguage(job), JobLanguage::EscP);
    const JobDocument doc = interpretJob(job);
    // ESC J counts in 1/216 inch, as on 9 pins.
    EXPECT_EQ(folvek::printer::test::find(doc, U'A').y, kUnitsPerInch / 2 + 2100);
}

TEST(JobLanguageDetection, InterpretJobReadsPlainTextAndEpsonJobs) {
    const JobDocument plain = interpretJob("one\r\ntwo\r\n");
    EXPECT_EQ(plain.language, JobLanguage::None);
    EXPECT_EQ(folvek::printer::test::allText(plain), U"onetwo");
    const JobDocument escp2 = interpretJob("\x1b(G\x01\x00\x01\x1b.\x00\x0a\x0a\x01\x08\x00\xff"s);
    EXPECT_EQ(escp2.language, JobLanguage::EscP2);
    EXPECT_TRUE(escp2.features.graphics);
}
