// Helper programs get their arguments byte for byte, and their end is told apart: not found,
// an exit code, killed after its time.
#include <gtest/gtest.h>

#include <QStringList>
#include <fstream>
#include <iterator>

#include "print_spooler.h"
#include "run_program.h"

namespace folvek {
namespace {

TEST(RunProgram, ArgumentsArriveByteForByte) {
    const std::string out = ::testing::TempDir() + "run_program_test.out";
    const std::string cp1251 = "/data/\xCE\xF2\xF7\xE5\xF2.txt";
    const ProgramRun run =
        runProgram({"sh", "-c", "printf '%s' \"$1\" > \"$2\"; exit 4", "sh", cp1251, out});
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 4);
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), cp1251);
    std::remove(out.c_str());
}

TEST(RunProgram, MissingProgramAndTimeout) {
    EXPECT_FALSE(runProgram({"folvek-no-such-program"}).started);
    int calls = 0;
    const ProgramRun slow = runProgram(
        {"sleep", "30"}, [&] { ++calls; }, 50);
    EXPECT_TRUE(slow.started);
    EXPECT_EQ(slow.exitCode, -1);
    EXPECT_GT(calls, 0);
}

TEST(LpCommand, TheTitleKeepsTheDocumentsBytes) {
    const std::string title = "/data/\xCE\xF2\xF7\xE5\xF2.txt";
    const QString shown = QString::fromStdString(title);  // U+FFFD where the bytes were
    const auto argv = lpCommand({"-d", "queue", "-t", shown, "/tmp/job.spool"}, shown, title);
    EXPECT_EQ(argv, (std::vector<std::string>{"lp", "-d", "queue", "-t", title, "/tmp/job.spool"}));
}

}  // namespace
}  // namespace folvek
