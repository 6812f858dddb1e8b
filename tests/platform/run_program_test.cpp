// Helper programs get their arguments byte for byte, and their end is told apart: not found,
// an exit code, killed after its time.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStringList>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>

#include "print_spooler.h"
#include "run_program.h"
#include "stdin_closed.h"

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
    // The timeout is kept to within the polling's short pauses, far from the program's 30 s.
    QElapsedTimer clock;
    clock.start();
    const ProgramRun slow = runProgram(
        {"sleep", "30"}, [&] { ++calls; }, 50);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(slow.started);
    EXPECT_EQ(slow.exitCode, -1);
    EXPECT_TRUE(slow.timedOut);
    EXPECT_GT(calls, 0);
    // The killed program was waited for: no child of ours is left, not even a dead one.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, 0), -1);
    EXPECT_EQ(errno, ECHILD);
    const ProgramRun killed = runProgram({"sh", "-c", "kill -TERM $$"});
    EXPECT_EQ(killed.signal, SIGTERM);
    EXPECT_FALSE(killed.timedOut);
}

// With SIGCHLD ignored the system reaps the child itself and the wait fails (ECHILD): the run
// ends there, not when its time is up.
TEST(RunProgram, AChildReapedByTheSystemEndsTheWait) {
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGCHLD, &ignore, &old);
    const ProgramRun run = runProgram({"true"}, {}, 2000);
    ::sigaction(SIGCHLD, &old, nullptr);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.signal, 0);
}

TEST(RunProgram, StandardStreamsGoWhereTheCallerSays) {
    const std::string dir = ::testing::TempDir();
    const std::string in = dir + "run_program_in", out = dir + "run_program_out",
                      err = dir + "run_program_err";
    std::ofstream(in) << "job";
    const int input = ::open(in.c_str(), O_RDONLY | O_CLOEXEC);
    const int output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int errors = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const ProgramRun run =
        runProgram({"sh", "-c", "cat; echo oops >&2"}, {}, -1, {input, output, errors});
    for (int fd : {input, output, errors}) ::close(fd);
    EXPECT_EQ(run.exitCode, 0);
    auto text = [](const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    EXPECT_EQ(text(out), "job");
    EXPECT_EQ(text(err), "oops\n");
    for (const std::string& f : {in, out, err}) std::remove(f.c_str());
}

// With standard input closed, the file the output goes to opens as descriptor 0: it is still
// where the program writes.
TEST(RunProgram, AnOutputOnDescriptorZeroIsUsed) {
    const std::string out = ::testing::TempDir() + "run_program_zero";
    int output = -1;
    ProgramRun run;
    {
        test::StdinClosed closed;
        output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        run = runProgram({"sh", "-c", "echo written"}, {}, -1, {-1, output, -1});
    }
    ASSERT_EQ(output, 0);
    EXPECT_EQ(run.exitCode, 0);
    std::ifstream f(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), "written\n");
    std::remove(out.c_str());
}

TEST(LpCommand, TheTitleKeepsTheDocumentsBytes) {
    const std::string title = "/data/\xCE\xF2\xF7\xE5\xF2.txt";
    const QString shown = QString::fromStdString(title);  // U+FFFD where the bytes were
    const auto argv = lpCommand({"-d", "queue", "-t", shown, "/tmp/job.spool"}, shown, title);
    EXPECT_EQ(argv, (std::vector<std::string>{"lp", "-d", "queue", "-t", title, "/tmp/job.spool"}));
}

}  // namespace
}  // namespace folvek
